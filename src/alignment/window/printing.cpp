// The window's printed pages, painted by report.h (the tables) and plan_print.cpp (the sheet).
#include "alignment/window/printing.h"

#include <QPrintPreviewDialog>
#include <QPrinter>

#include "alignment/output_guard.h"
#include "alignment/window/grid_models.h"
#include "alignment/window/plan_view.h"
#include "alignment/window/section_tabs.h"
#include "alignment/window/window_seam.h"
#include "platform/qt_host.h"
#include "platform/text_printing.h"

namespace survey::alignment::window {

namespace {

RunKind RunOf(ReportKind kind) { return kind == ReportKind::Stakes ? RunKind::Stakes : RunKind::Curves; }

}  // namespace

std::string WindowPrinting::Title(Printout printout) {
  switch (printout) {
    case Printout::Stakes: return "逐桩坐标表";
    case Printout::Curves: return "直线、曲线及转角表";
    case Printout::Plan: return "路线平面图";
    case Printout::Sections: return "路基设计表";
    case Printout::Check: return "偏差报表";
  }
  return {};
}

void WindowPrinting::Print(Printout printout, bool preview) {
  switch (printout) {
    case Printout::Stakes:
    case Printout::Curves: {
      const ReportKind kind = printout == Printout::Stakes ? ReportKind::Stakes : ReportKind::Curves;
      if (!ReportReady(kind)) return;
      const ReportTable table = Report(kind);
      if (table.rows.empty()) {
        window_.ShowRefusal(QStringLiteral("还没有计算结果，请先计算。"));
        return;
      }
      PrintTable(table, preview);
      return;
    }
    case Printout::Plan: {
      const PlanView& plan = *window_.Plan();
      if (!plan.CurrentRoute()) {
        window_.ShowRefusal(QStringLiteral("还没有平面图，请先计算。"));
        return;
      }
      PlanSheet sheet;
      sheet.project = window_.ReportProjectName();
      PrintPages(preview, true, [&](QPagedPaintDevice* device) { return PaintPlanSheet(plan, device, sheet); });
      return;
    }
    case Printout::Sections:
      if (const std::optional<ReportTable> table = SectionsReport()) PrintTable(*table, preview);
      return;
    case Printout::Check:
      if (const std::optional<ReportTable> table = window_.CheckReport()) PrintTable(*table, preview);
      return;
  }
}

bool WindowPrinting::ExportPdf(Printout printout, const QString& path) {
  switch (printout) {
    case Printout::Stakes: return ExportReportPdf(ReportKind::Stakes, path);
    case Printout::Curves: return ExportReportPdf(ReportKind::Curves, path);
    case Printout::Plan: return ExportPlanPdf(path);
    case Printout::Sections: return ExportSectionsPdf(path);
    case Printout::Check: {
      const std::optional<ReportTable> table = window_.CheckReport();
      return table && WritePdf(*table, path);
    }
  }
  return false;
}

void WindowPrinting::AskExportPdf(Printout printout) {
  const std::string title = Title(printout);
  const bool table = printout == Printout::Stakes || printout == Printout::Curves || printout == Printout::Check;
  FileRequest request;
  request.title = "导出 PDF：" + title;
  request.initialName = table ? window_.InProjectFolder(title + ".pdf") : title + ".pdf";
  request.filters = {{"PDF (*.pdf)", "*.pdf"}};
  request.defaultSuffix = "pdf";
  if (const auto path = window_.Host().AskSaveFile(request)) ExportPdf(printout, platform::ToQString(*path));
}

ReportTable WindowPrinting::Report(ReportKind kind) {
  return MakeReportTable(kind, window_.Result(RunOf(kind)).Table(), window_.ReportProjectName(), window_.Form().degrees);
}

// A printed report takes at most kMaxReportRows rows, as in the other programs; the check
// comes before the table is laid out, which for a million stakes would take minutes.
bool WindowPrinting::ReportReady(ReportKind kind) {
  if (!window_.ResultsCurrent(RunOf(kind))) return false;
  const int rows = window_.Result(RunOf(kind)).rowCount();
  if (static_cast<std::size_t>(rows) <= kMaxReportRows) return true;
  window_.ShowRefusal(platform::ToQString(ReportTooLongText(static_cast<std::size_t>(rows))));
  return false;
}

bool WindowPrinting::ExportReportPdf(ReportKind kind, const QString& path) {
  return ReportReady(kind) && WritePdf(Report(kind), path);
}

bool WindowPrinting::ExportPlanPdf(const QString& path) {
  PlanSheet sheet;
  sheet.project = window_.ReportProjectName();
  QString error;
  if (!WritePlanPdf(*window_.Plan(), path, sheet, &error)) {
    window_.ShowRefusal(error);
    return false;
  }
  return true;
}

// The same table as `report --table sections`, made by the section library from the form's
// route, tables and stake list.
std::optional<ReportTable> WindowPrinting::SectionsReport() {
  window_.PullFields();
  if (!window_.Form().section.HasSection()) {
    window_.ShowRefusal(QStringLiteral("没有标准横断面：请先在“横断面”页填写。"));
    return std::nullopt;
  }
  const std::optional<section::SubgradeTable> table = window_.Sections()->SubgradeTable();
  if (!table) return std::nullopt;
  if (table->rows.size() > kMaxReportRows) {
    window_.ShowRefusal(platform::ToQString(ReportTooLongText(table->rows.size())));
    return std::nullopt;
  }
  return SubgradeReportTable(*table, window_.ReportProjectName());
}

bool WindowPrinting::ExportSectionsPdf(const QString& path) {
  const std::optional<ReportTable> table = SectionsReport();
  return table && WritePdf(*table, path);
}

bool WindowPrinting::WritePdf(const ReportTable& table, const QString& path) {
  QString error;
  if (!WriteReportPdf(table, path, &error)) {
    window_.ShowRefusal(error);
    return false;
  }
  return true;
}

void WindowPrinting::PrintTable(const ReportTable& table, bool preview) {
  PrintPages(preview, table.landscape, [&table](QPagedPaintDevice* device) { return PaintReport(table, device); });
}

void WindowPrinting::PrintPages(bool preview, bool landscape, const std::function<bool(QPagedPaintDevice* device)>& paint) {
  const auto setUp = [landscape](QPrinter& printer) {
    if (landscape) printer.setPageOrientation(QPageLayout::Landscape);
  };
  if (preview) {
    QPrinter printer(QPrinter::HighResolution);
    setUp(printer);
    QPrintPreviewDialog dialog(&printer, window_.DialogParent());
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&paint](QPrinter* p) { paint(p); });
    dialog.exec();
    return;
  }
  // As every program of the suite prints: a PDF chosen in the dialog is written whole or not at all.
  const survey::Outcome outcome = platform::PrintWithDialog(
      window_.DialogParent(), false, [&paint](QPagedPaintDevice* device, int) { return paint(device); }, nullptr, setUp);
  if (outcome == survey::Outcome::Status::Failed) window_.ShowRefusal(platform::ToQString(outcome.error));
}

}  // namespace survey::alignment::window
