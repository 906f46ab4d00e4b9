// The window's project: title and modified mark, save, open, new, the recent files.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QStyle>
#include <QLabel>
#include <QStatusBar>
#include <QTableView>
#include <QTabWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QCloseEvent>
#include <algorithm>

#include "alignment/text_format.h"
#include "alignment/window/check_tab.h"
#include "alignment/window/main_window.h"
#include "platform/qt_host.h"

namespace survey::alignment::window {

// --- Files -------------------------------------------------------------------------------------

bool AlignmentWindow::IsModified() const { return document_.IsModified(); }

void AlignmentWindow::MarkModified() {
  if (pushing_) return;
  document_.MarkModified();
  MarkStale();
  UpdateTitle();
}

// --- Stale results -------------------------------------------------------------------------------

bool AlignmentWindow::IsStale(RunKind kind) const {
  if (kind == RunKind::LocateTable) kind = RunKind::LocatePoint;
  return staleKinds_.count(kind) != 0;
}

void AlignmentWindow::MarkStale() {
  if (pushing_) return;
  for (const auto& [kind, model] : results_) {
    if (model->RowCountLarge() > 0) staleKinds_.insert(kind);
  }
  if (check_->HasRows()) staleKinds_.insert(RunKind::Check);
  ShowStaleness();
}

void AlignmentWindow::ShowStaleness() {
  staleBanner_->setVisible(!staleKinds_.empty());
  // A move worked out on inputs changed since is no direction to walk in: greyed like its row.
  moveLabel_->setEnabled(!IsStale(RunKind::LocatePoint));
  for (const auto& [kind, view] : resultViews_) {
    QPalette palette = view->style()->standardPalette();
    if (IsStale(kind)) palette.setColor(QPalette::Text, palette.color(QPalette::Disabled, QPalette::Text));
    view->setPalette(palette);
  }
  check_->SetStale(IsStale(RunKind::Check));
}

bool AlignmentWindow::ResultsCurrent(RunKind kind) {
  if (!IsStale(kind)) return true;
  Message m;
  m.text = "数据已修改，结果已过期。是否先重新计算？";
  m.title = "路线平面计算";
  m.icon = MessageIcon::Question;
  m.buttons = MessageButtons::YesNo;
  if (host_.ShowMessage(m) != MessageAnswer::Yes) return false;
  const bool started = kind == RunKind::Check      ? ComputeCheck()
                       : kind == RunKind::Stakeout ? ComputeStakeout()
                       : kind == RunKind::LocatePoint || kind == RunKind::LocateTable
                           ? (lastLocate_ == RunKind::LocatePoint ? ComputeLocatePoint() : ComputeLocateTable())
                                                                                     : ComputeAll();
  if (!started) return false;
  // A long run finishes on the worker thread; the export is asked for again once it has.
  if (Running()) {
    statusBar()->showMessage(QStringLiteral("正在重新计算，完成后请再导出。"), 8000);
    return false;
  }
  return !IsStale(kind);
}

std::string AlignmentWindow::InProjectFolder(const std::string& name) const {
  if (document_.Path().isEmpty()) return name;
  return (QFileInfo(document_.Path()).absoluteDir().filePath(platform::ToQString(name))).toStdString();
}

void AlignmentWindow::UpdateTitle() {
  setWindowTitle(document_.FileName() + QStringLiteral("[*] - 路线平面计算"));
  setWindowModified(IsModified());
}

QStringList AlignmentWindow::RecentFiles() const { return document_.RecentFiles(); }

void AlignmentWindow::RebuildRecentMenu() {
  recentMenu_->clear();
  const QStringList list = RecentFiles();
  for (const QString& path : list) {
    recentMenu_->addAction(path, this, [this, path] {
      if (AskToSave()) OpenFrom(path);
    });
  }
  recentMenu_->setEnabled(!list.isEmpty());
}

bool AlignmentWindow::SaveTo(const QString& path) {
  PullFields();
  QString error;
  if (!document_.Save(form_, path, &error)) {
    ShowRefusal(error);
    return false;
  }
  RebuildRecentMenu();
  UpdateTitle();
  return true;
}

bool AlignmentWindow::OpenFrom(const QString& path) {
  QString error;
  std::optional<AlignmentForm> opened = document_.Open(path, &error);
  if (!opened) {
    ShowRefusal(error);
    return false;
  }
  form_ = std::move(*opened);
  PushFields();
  ClearResults();
  RebuildRecentMenu();
  UpdateTitle();
  // A project opens with its results computed, never with another project's left on screen;
  // one that cannot be computed yet opens with none.
  if (form_.FirstProblemMessage(RunKind::Stakes).empty()) {
    std::string designError;
    if (form_.Design(false, &designError)) ComputeAll();
  }
  return true;
}

void AlignmentWindow::ClearResults() {
  for (auto& [kind, model] : results_) model->SetTable(nullptr);
  check_->Clear();
  lastLocate_ = RunKind::LocateTable;
  NameShownRun();
  staleKinds_.clear();
  ShowStaleness();
  plan_->SetRoute(std::nullopt);
  plan_->SetStakes(nullptr);
  plan_->SetLocated(nullptr);
  ShowMove(nullptr);
  plan_->SetStakeoutStations(std::nullopt, std::nullopt);
  profileView_->SetProfile(std::nullopt, std::nullopt);
}

bool AlignmentWindow::Save() { return document_.Path().isEmpty() ? SaveAs() : SaveTo(document_.Path()); }

bool AlignmentWindow::SaveAs() {
  FileRequest request;
  request.title = "项目另存为";
  request.initialName = document_.Path().isEmpty() ? "路线.alnproj" : document_.Path().toStdString();
  request.filters = {{"路线项目 (*.alnproj)", "*.alnproj"}};
  request.defaultSuffix = "alnproj";
  const auto path = host_.AskSaveFile(request);
  return path && SaveTo(platform::ToQString(*path));
}

void AlignmentWindow::OpenDialog() {
  if (!AskToSave()) return;
  FileRequest request;
  request.title = "打开项目";
  request.initialName = InProjectFolder("");
  request.filters = {{"路线项目 (*.alnproj)", "*.alnproj"}, {"所有文件 (*)", "*"}};
  if (const auto path = host_.AskOpenFile(request)) OpenFrom(platform::ToQString(*path));
}

void AlignmentWindow::NewProject() {
  if (!AskToSave()) return;
  form_ = AlignmentForm();
  PushFields();
  document_.Reset();
  ClearResults();
  UpdateTitle();
}

bool AlignmentWindow::AskToSave() {
  if (!IsModified()) return true;
  Message m;
  m.text = "项目已修改，是否保存？";
  m.title = "路线平面计算";
  m.icon = MessageIcon::Question;
  m.buttons = MessageButtons::YesNoCancel;
  switch (host_.ShowMessage(m)) {
    case MessageAnswer::Yes: return Save();
    case MessageAnswer::No: return true;
    default: return false;
  }
}

void AlignmentWindow::closeEvent(QCloseEvent* event) {
  if (AskToSave()) {
    CancelRun();
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace survey::alignment::window
