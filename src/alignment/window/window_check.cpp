// The 偏差检查 page in the window: its check run through the run controller like the other runs,
// and its printed report (偏差报表), the same pages as `report --table check --pdf`.
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>

#include "alignment/alignment_error.h"
#include "alignment/output_guard.h"
#include "alignment/window/check_form.h"
#include "alignment/window/check_plot.h"
#include "alignment/window/check_tab.h"
#include "alignment/window/main_window.h"
#include "platform/qt_host.h"
#include "platform/text_printing.h"

namespace survey::alignment::window {

QWidget* AlignmentWindow::BuildCheckTab() {
  check_ = new CheckPanel(Field(QStringLiteral("toleranceXy"), &AlignmentForm::toleranceXyText),
                          Field(QStringLiteral("toleranceZ"), &AlignmentForm::toleranceZText));
  check_->setObjectName(QStringLiteral("checkPanel"));
  check_->compute = [this] { ComputeCheck(); };
  check_->editPoints = [this] {
    QTableView* points = sourceViews_[static_cast<int>(TableId::Points)];
    leftTabs_->setCurrentWidget(resultViews_.at(RunKind::LocatePoint)->parentWidget());
    points->setFocus();
  };
  AddTransferActions(check_->Grid(), RunKind::Check, [this](bool on) { check_->Model()->SetTransferAsShown(on); });
  return check_;
}

std::optional<std::string> AlignmentWindow::CheckCsv() {
  if (!check_->Table()) {
    ShowRefusal(QStringLiteral("还没有偏差检查的结果：请先在“偏差检查”页检查。"));
    return std::nullopt;
  }
  return check_->Model()->CsvWithTitles();
}

bool AlignmentWindow::ComputeCheck() {
  PullFields();
  // A tolerance that cannot be read is refused before anything runs.
  try {
    CheckTolerancesFromFields(form_);
  } catch (const AlignmentError& e) {
    ShowRefusal(platform::ToQString(e.what()));
    return false;
  }
  return StartRun({RunKind::Check});
}

void AlignmentWindow::ApplyCheck(const RunResult& result) {
  check_->SetTable(result.check, ReportProjectName());
  staleKinds_.erase(RunKind::Check);
  if (result.check) {
    statusBar()->showMessage(QStringLiteral("偏差检查完成：") +
                                 platform::ToQString(check::CheckSummaryText(result.check->run, result.check->decimals)),
                             8000);
  }
}

QString AlignmentWindow::ReportProjectName() const {
  QString name = platform::ToQString(form_.projectName);
  if (name.isEmpty()) name = document_.Path().isEmpty() ? QStringLiteral("未命名") : document_.BaseName();
  return name;
}

std::optional<ReportTable> AlignmentWindow::CheckReport() {
  if (!check_->Table()) {
    ShowRefusal(QStringLiteral("还没有偏差检查的结果：请先在“偏差检查”页检查。"));
    return std::nullopt;
  }
  if (!ResultsCurrent(RunKind::Check)) return std::nullopt;
  const check::CheckTable& table = *check_->Table();
  if (table.rows.size() > kMaxReportRows) {
    ShowRefusal(platform::ToQString(ReportTooLongText(table.rows.size())));
    return std::nullopt;
  }
  return CheckReportTable(CheckReportDataOf(table, true), ReportProjectName());
}

}  // namespace survey::alignment::window
