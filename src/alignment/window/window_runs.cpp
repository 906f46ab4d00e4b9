// The window's runs: checks before a run, the run controller started, its outcome shown.
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>
#include <QTableView>
#include <QTabWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QAction>
#include <QMenu>
#include <QCloseEvent>
#include <algorithm>

#include "alignment/text_format.h"
#include "alignment/window/check_form.h"
#include "alignment/window/check_tab.h"
#include "alignment/window/main_window.h"
#include "platform/qt_host.h"

namespace survey::alignment::window {

// --- Runs --------------------------------------------------------------------------------------

void AlignmentWindow::ShowRefusal(const QString& text) {
  Message m;
  m.text = text.toStdString();
  m.title = "路线计算";
  m.icon = MessageIcon::Exclamation;
  m.refusal = true;
  host_.ShowMessage(m);
}

bool AlignmentWindow::ComputeAll() {
  return StartRun({RunKind::Curves, RunKind::Stakes, RunKind::Profile});
}
bool AlignmentWindow::ComputeLocatePoint() { return StartRun({RunKind::LocatePoint}); }
bool AlignmentWindow::ComputeLocateTable() { return StartRun({RunKind::LocateTable}); }
bool AlignmentWindow::ComputeStakeout() { return StartRun({RunKind::Stakeout}); }

RunKind AlignmentWindow::ShownRun() const {
  QWidget* shown = leftTabs_->currentWidget();
  if (shown == check_) return RunKind::Check;
  for (RunKind kind : {RunKind::Stakeout, RunKind::LocatePoint}) {
    if (resultViews_.count(kind) && shown == resultViews_.at(kind)->parentWidget()) {
      return kind == RunKind::LocatePoint ? lastLocate_ : kind;
    }
  }
  return RunKind::Stakes;
}

// The banner's F5 must clear the grey of the results in sight: on the 偏差检查 page re-running
// the stakes would leave its rows stale, so each result tab repeats its own run.
bool AlignmentWindow::ComputeShown() {
  switch (ShownRun()) {
    case RunKind::Check: return ComputeCheck();
    case RunKind::Stakeout: return ComputeStakeout();
    case RunKind::LocatePoint: return ComputeLocatePoint();
    case RunKind::LocateTable: return ComputeLocateTable();
    default: break;
  }
  // On the 横断面 page the section rows of the same stake list come with the stakes, so that
  // F5 there clears the grey of what the page shows too.
  const bool sectionsShown = leftTabs_->currentWidget() == sections_ && form_.section.HasSection();
  const bool computed = ComputeAll();
  return sectionsShown ? sections_->Compute() && computed : computed;
}

void AlignmentWindow::NameShownRun() {
  if (!computeShown_) return;
  switch (ShownRun()) {
    case RunKind::Check: computeShown_->setText(QStringLiteral("偏差检查")); break;
    case RunKind::Stakeout: computeShown_->setText(QStringLiteral("计算放样")); break;
    case RunKind::LocatePoint: computeShown_->setText(QStringLiteral("反算此点")); break;
    case RunKind::LocateTable: computeShown_->setText(QStringLiteral("反算点表")); break;
    default:
      computeShown_->setText(leftTabs_->currentWidget() == sections_ ? QStringLiteral("计算逐桩坐标与横断面")
                                                                     : QStringLiteral("计算曲线要素与逐桩坐标"));
      break;
  }
}

void AlignmentWindow::CancelRun() { runs_.Cancel(); }

bool AlignmentWindow::StartRun(std::vector<RunKind> kinds) {
  if (runs_.Running()) {
    ShowRefusal(QStringLiteral("上一次计算还在进行，请等它完成或先取消。"));
    return false;
  }
  PullFields();
  if (const std::string problem = form_.FirstProblemMessage(kinds.front()); !problem.empty()) {
    ShowRefusal(platform::ToQString(problem));
    // Show the first bad cell.
    for (const CellProblem& p : form_.Problems()) {
      QTableView* view = sourceViews_[static_cast<int>(p.table)];
      leftTabs_->setCurrentWidget(view);
      view->setCurrentIndex(view->model()->index(p.row, p.column));
      break;
    }
    return false;
  }
  std::string error;
  std::shared_ptr<const RouteDesign> design = form_.Design(false, &error);
  if (!design) {
    ShowRefusal(platform::ToQString(error));
    return false;
  }
  const bool stakes = std::find(kinds.begin(), kinds.end(), RunKind::Stakes) != kinds.end() ||
                      std::find(kinds.begin(), kinds.end(), RunKind::Stakeout) != kinds.end();
  const bool check = std::find(kinds.begin(), kinds.end(), RunKind::Check) != kinds.end();
  const std::size_t expected = stakes ? form_.ExpectedStakeRows(design->route) : check ? CheckPointRows(form_) : 0;
  const bool threaded = runs_.Threaded(expected);
  runningCheck_ = check && !stakes;
  if (!threaded) host_.SetBusy(true);
  runs_.Start(form_, std::move(kinds), expected, std::move(design));
  if (!threaded) host_.SetBusy(false);
  return true;
}

void AlignmentWindow::Apply(RunOutcome& outcome) {
  if (outcome.cancelled) {
    statusBar()->showMessage(QStringLiteral("计算已取消，保留原来的结果。"), 8000);
    return;
  }
  for (auto& [kind, result] : outcome.results) {
    if (!result.ok) {
      ShowRefusal(platform::ToQString(result.error));
      return;
    }
  }
  for (auto& [kind, result] : outcome.results) {
    if (kind == RunKind::Check) {
      ApplyCheck(result);
      continue;
    }
    Result(kind).SetTable(result.table);
    staleKinds_.erase(kind == RunKind::LocateTable ? RunKind::LocatePoint : kind);
  }
  if (outcome.results.count(RunKind::Stakes)) staleKinds_.erase(RunKind::Curves);
  ShowStaleness();
  // The plan shows where the last located points and stake-out stations are.
  for (RunKind k : {RunKind::LocatePoint, RunKind::LocateTable}) {
    if (!outcome.results.count(k)) continue;
    lastLocate_ = k;
    NameShownRun();
    plan_->SetLocated(outcome.results[k].table);
    ShowMove(outcome.results[k].table);
  }
  if (outcome.results.count(RunKind::Stakeout)) {
    const auto point = [](const std::string& x, const std::string& y) -> std::optional<QPointF> {
      const std::optional<double> px = ReadNumber(x), py = ReadNumber(y);
      if (!px || !py) return std::nullopt;
      return QPointF(*px, *py);
    };
    plan_->SetStakeoutStations(point(form_.setupXText, form_.setupYText), point(form_.backsightXText, form_.backsightYText));
  }
  if (outcome.results.count(RunKind::Stakes)) {
    const Route& route = outcome.design->route;
    std::optional<Profile> profile;
    if (const std::shared_ptr<const RouteDesign> design = form_.Design(true, nullptr); design && design->profile) {
      profile = design->profile->profile;
    }
    profileView_->SetProfile(std::move(profile), route.Stations());
    profileView_->SetCurrent(std::nullopt);
    plan_->SetRoute(route);
    plan_->SetStakes(outcome.results[RunKind::Stakes].table);
    // Measuring the columns reads a thousand rows; past that size the window keeps its widths
    // so that showing a large result stays quick.
    for (RunKind k : {RunKind::Stakes, RunKind::Curves}) {
      if (resultViews_.count(k) && Result(k).RowCountLarge() < 50'000) resultViews_[k]->resizeColumnsToContents();
    }
  }
  if (outcome.results.count(RunKind::Check)) return;  // ApplyCheck said how it went
  statusBar()->showMessage(QStringLiteral("计算完成：%1 个桩。").arg(Result(RunKind::Stakes).RowCountLarge()), 8000);
}

void AlignmentWindow::OnCursor(double x, double y) {
  QString text = QStringLiteral("X=%1  Y=%2").arg(x, 0, 'f', 3).arg(y, 0, 'f', 3);
  if (const auto& route = plan_->CurrentRoute()) {
    const Location at = route->Locate(x, y);
    if (at.inside) {
      text += QStringLiteral("  桩号 %1  偏距 %2 m").arg(platform::ToQString(StationKText(route->StationAt(at.chainage), 3))).arg(at.offset, 0, 'f', 3);
    } else {
      text += QStringLiteral("  （路线范围外）");
    }
  }
  cursorLabel_->setText(text);
}

void AlignmentWindow::ShowResultRow(RunKind kind, int row) {
  QTableView* view = resultViews_.at(kind);
  leftTabs_->setCurrentWidget(view->parentWidget());
  view->selectRow(row);
  view->scrollTo(view->model()->index(row, 0), QAbstractItemView::PositionAtCenter);
  OnResultRow(kind, row);
}

void AlignmentWindow::OnResultRow(RunKind kind, int row) {
  // A located point shows the section at its station, with the measured points about it.
  if ((kind == RunKind::LocatePoint || kind == RunKind::LocateTable) && form_.section.HasSection()) {
    const int column = Result(kind).KeyColumn("station");
    const std::vector<std::string> cells = Result(kind).RowCells(static_cast<std::size_t>(row));
    if (column >= 0 && static_cast<std::size_t>(column) < cells.size()) {
      if (const std::optional<double> station = ReadNumber(cells[static_cast<std::size_t>(column)])) sections_->ShowStation(*station);
    }
    return;
  }
  if (kind != RunKind::Stakes) return;
  plan_->MarkStake(row);
  const std::vector<std::string> cells = Result(kind).RowCells(static_cast<std::size_t>(row));
  const auto& route = plan_->CurrentRoute();
  if (!route || cells.size() < 2) return;
  const std::optional<double> station = ReadNumber(cells[1]);
  if (!station) return;
  const StationLine::Found found = route->Stations().Find(*station);
  profileView_->SetCurrent(found.where == StationLine::Where::Inside ? std::optional<double>(found.chainage) : std::nullopt);
  if (form_.section.HasSection()) sections_->ShowStation(*station);
}

}  // namespace survey::alignment::window
