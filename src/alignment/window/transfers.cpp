// The window's transfers: tables and LandXML in, LandXML and result tables out, results to the
// clipboard. A table's import is undone as one step; a LandXML route starts a new project; a
// refused file changes nothing.
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableView>
#include <algorithm>

#include "alignment/alignment_error.h"
#include "alignment/cli/command.h"
#include "alignment/window/main_window.h"
#include "platform/qt_host.h"
#include "platform/text_files.h"

namespace survey::alignment::window {

bool AlignmentWindow::ImportTable(TableId id, const QString& path) {
  try {
    const std::string bytes = cli::ReadFileFromDisk(path.toStdString());
    Grid grid = ReadGridFromCsv(id, bytes);
    models_[static_cast<int>(id)]->ReplaceAll(std::move(grid), QStringLiteral("导入") + platform::ToQString(AlignmentForm::TableTitle(id)));
    if (id == TableId::Jd || id == TableId::Elements) {
      (id == TableId::Jd ? jdKind_ : elementKind_)->setChecked(true);
    }
    return true;
  } catch (const AlignmentError& e) {
    ShowRefusal(QStringLiteral("无法导入“%1”：%2").arg(path, platform::ToQString(e.what())));
    return false;
  }
}

// A LandXML route is a project of its own: it starts untitled, so that saving it can never
// overwrite the project that was open before (Ctrl+S asks for a name).
bool AlignmentWindow::ImportLandXml(const QString& path) {
  if (!AskToSave()) return false;
  AlignmentForm imported;
  std::vector<std::string> notes;
  try {
    notes = ImportLandXmlIntoForm(imported, cli::ReadFileFromDisk(path.toStdString()));
  } catch (const AlignmentError& e) {
    ShowRefusal(QStringLiteral("无法导入“%1”：%2").arg(path, platform::ToQString(e.what())));
    return false;
  }
  form_ = std::move(imported);
  document_.Reset();
  PushFields();
  ClearResults();
  MarkModified();
  // The import's notes (the largest end-point difference) where the window tells what it did.
  QString said;
  for (const std::string& note : notes) said += platform::ToQString(note);
  statusBar()->showMessage(said, 15000);
  return true;
}

bool AlignmentWindow::ExportLandXml(const QString& path) {
  PullFields();
  if (const std::string problem = form_.FirstProblemMessage(RunKind::Stakes); !problem.empty()) {
    ShowRefusal(platform::ToQString(problem));
    return false;
  }
  try {
    const std::string text = ExportLandXmlText(form_);
    const survey::Outcome outcome = platform::WriteFileAtomically(path.toStdString(), text);
    if (!outcome.ok()) {
      ShowRefusal(QStringLiteral("无法写入“%1”：%2").arg(path, platform::ToQString(outcome.error)));
      return false;
    }
    return true;
  } catch (const AlignmentError& e) {
    ShowRefusal(platform::ToQString(e.what()));
    return false;
  }
}

bool AlignmentWindow::ExportResultCsv(RunKind kind, const QString& path, bool gbk) {
  if (!ResultsCurrent(kind)) return false;
  const std::string text = Result(kind).CsvWithTitles();
  const survey::Outcome outcome =
      gbk ? platform::WriteGbkFile(path.toStdString(), text) : platform::WriteFileAtomically(path.toStdString(), text);
  if (!outcome.ok()) {
    ShowRefusal(QStringLiteral("无法写入“%1”：%2").arg(path, platform::ToQString(outcome.error)));
    return false;
  }
  return true;
}

void AlignmentWindow::CopyResult(RunKind kind) {
  std::vector<int> rows;
  if (QTableView* view = resultViews_.count(kind) ? resultViews_[kind] : nullptr) {
    for (const QModelIndex& index : view->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
  }
  QApplication::clipboard()->setText(Result(kind).TsvText(rows));
}

}  // namespace survey::alignment::window
