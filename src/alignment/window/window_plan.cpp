// The window's plan sheet: printed, previewed or saved as PDF.
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "alignment/window/main_window.h"
#include "platform/qt_host.h"
#include "platform/text_printing.h"

namespace survey::alignment::window {

namespace {
PlanSheet SheetOf(const AlignmentForm& form, const ProjectDocument& document) {
  PlanSheet sheet;
  sheet.project = platform::ToQString(form.projectName);
  if (sheet.project.isEmpty()) sheet.project = document.Path().isEmpty() ? QStringLiteral("未命名") : document.BaseName();
  return sheet;
}
}  // namespace

bool AlignmentWindow::ExportPlanPdf(const QString& path) {
  QString error;
  if (!WritePlanPdf(*plan_, path, SheetOf(form_, document_), &error)) {
    ShowRefusal(error);
    return false;
  }
  return true;
}

void AlignmentWindow::PrintPlan(bool preview) {
  if (!plan_->CurrentRoute()) {
    ShowRefusal(QStringLiteral("还没有平面图，请先计算。"));
    return;
  }
  const PlanSheet sheet = SheetOf(form_, document_);
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Landscape);
  if (preview) {
    QPrintPreviewDialog dialog(&printer, this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [&](QPrinter* p) { PaintPlanSheet(*plan_, p, sheet); });
    dialog.exec();
    return;
  }
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const survey::Outcome outcome =
      platform::PaintOnPrinter(printer, [&](QPagedPaintDevice* device) { return PaintPlanSheet(*plan_, device, sheet); });
  if (!outcome.ok()) ShowRefusal(platform::ToQString(outcome.error));
}

}  // namespace survey::alignment::window
