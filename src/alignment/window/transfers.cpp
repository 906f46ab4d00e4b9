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
#include <functional>

#include "alignment/alignment_error.h"
#include "alignment/cli/command.h"
#include "alignment/cli/plan_output.h"
#include "alignment/cli/point_output.h"
#include "exchange/exchange_error.h"
#include "exchange/exchange_files.h"
#include "exchange/route_plan.h"
#include "exchange/station_names.h"
#include "alignment/window/main_window.h"
#include "platform/qt_host.h"
#include "platform/text_files.h"

namespace survey::alignment::window {

namespace {

// The file exports the engine may refuse: a refusal or a failed write is shown and leaves any
// earlier file as it was; a file written is named in the status bar.
bool ExportFile(const QString& path, const std::function<survey::WriteOutcome()>& write,
                const std::function<void(const QString&)>& refuse, QStatusBar* status) {
  try {
    const survey::WriteOutcome written = write();
    if (!written.ok) {
      refuse(QStringLiteral("无法写入“%1”：%2").arg(path, platform::ToQString(written.reason)));
      return false;
    }
  } catch (const AlignmentError& e) {
    refuse(platform::ToQString(e.what()));
    return false;
  } catch (const exchange::ExchangeError& e) {
    refuse(platform::ToQString(e.what()));
    return false;
  }
  status->showMessage(QStringLiteral("已导出“%1”。").arg(path), 8000);
  return true;
}

}  // namespace

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
  const std::optional<std::string> text = kind == RunKind::Check ? CheckCsv() : Result(kind).CsvWithTitles();
  if (!text) return false;
  const survey::Outcome outcome =
      gbk ? platform::WriteGbkFile(path.toStdString(), *text) : platform::WriteFileAtomically(path.toStdString(), *text);
  if (!outcome.ok()) {
    ShowRefusal(QStringLiteral("无法写入“%1”：%2").arg(path, platform::ToQString(outcome.error)));
    return false;
  }
  return true;
}

bool AlignmentWindow::ExportStakePoints(PointFile kind, const QString& path) {
  if (Result(RunKind::Stakes).RowCountLarge() == 0) {
    ShowRefusal(QStringLiteral("还没有逐桩坐标，请先计算。"));
    return false;
  }
  if (!ResultsCurrent(RunKind::Stakes)) return false;
  return ExportFile(
      path,
      [&] {
        // The rows on screen, named and ordered as the command line writes them.
        const std::shared_ptr<const ResultTable> table = Result(RunKind::Stakes).SharedTable();
        const CellFormat format = form_.OutputFormat();
        const StakeQuery query = form_.StakeQueryFromFields(format);
        std::vector<exchange::PointRecord> points;
        const cli::PointSink add = [&](const std::string& name, double x, double y, std::optional<double> z) {
          exchange::PointRecord p;
          p.name = kind == PointFile::Gsi16 ? exchange::AsciiStakeName(name) : name;
          p.x = x;
          p.y = y;
          p.z = z;
          points.push_back(std::move(p));
        };
        for (const StakeRow& row : table->stakes) cli::ForEachStakePoint(row, query.offsets, add);
        return exchange::SavePointFile(
            path.toStdString(), std::move(points),
            kind == PointFile::Gsi16 ? exchange::PointFileKind::kGsi16 : exchange::PointFileKind::kCass,
            std::clamp(format.decimals, 0, 6));
      },
      [this](const QString& text) { ShowRefusal(text); }, statusBar());
}

bool AlignmentWindow::ExportPlanDxf(const QString& path) {
  PullFields();
  if (const std::string problem = form_.FirstProblemMessage(RunKind::Stakes); !problem.empty()) {
    ShowRefusal(platform::ToQString(problem));
    return false;
  }
  std::string error;
  const std::shared_ptr<const RouteDesign> design = form_.Design(false, &error);
  if (!design) {
    ShowRefusal(platform::ToQString(error));
    return false;
  }
  return ExportFile(
      path,
      [&] {
        // The drawing of what the stake tab asks for, as `alignment plan` draws it.
        const StakeQuery query = form_.StakeQueryFromFields(form_.OutputFormat());
        return exchange::SavePlanDxf(path.toStdString(), exchange::RoutePlan(design->route, cli::PlanOptionsFor(query)));
      },
      [this](const QString& text) { ShowRefusal(text); }, statusBar());
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
