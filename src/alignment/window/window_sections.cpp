// The 路基设计表 from the window's print menu: the same table as `report --table sections`,
// made by the section library from the form's route, tables and stake list.
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "alignment/output_guard.h"
#include "alignment/window/main_window.h"
#include "platform/qt_host.h"
#include "platform/text_printing.h"

namespace survey::alignment::window {

std::optional<ReportTable> AlignmentWindow::SectionsReport() {
  PullFields();
  if (!form_.section.HasSection()) {
    ShowRefusal(QStringLiteral("没有标准横断面：请先在“横断面”页填写。"));
    return std::nullopt;
  }
  const std::optional<section::SubgradeTable> table = sections_->SubgradeTable();
  if (!table) return std::nullopt;
  if (table->rows.size() > kMaxReportRows) {
    ShowRefusal(platform::ToQString(ReportTooLongText(table->rows.size())));
    return std::nullopt;
  }
  ReportTable report;
  report.title = platform::ToQString(table->title) +
                 (table->relative ? QStringLiteral("（无纵断面：高程相对设计线）") : QString());
  QString name = platform::ToQString(form_.projectName);
  if (name.isEmpty()) name = document_.Path().isEmpty() ? QStringLiteral("未命名") : document_.BaseName();
  report.projectName = name;
  for (const std::string& h : table->headers) report.headers << platform::ToQString(h);
  report.rows.reserve(table->rows.size());
  for (const std::vector<std::string>& cells : table->rows) {
    QStringList row;
    for (const std::string& c : cells) row << platform::ToQString(c);
    report.rows.push_back(std::move(row));
  }
  report.landscape = true;
  return report;
}

bool AlignmentWindow::ExportSectionsPdf(const QString& path) {
  const std::optional<ReportTable> table = SectionsReport();
  if (!table) return false;
  QString error;
  if (!WriteReportPdf(*table, path, &error)) {
    ShowRefusal(error);
    return false;
  }
  return true;
}

void AlignmentWindow::PrintSections(bool preview) {
  const std::optional<ReportTable> table = SectionsReport();
  if (!table) return;
  QPrinter printer(QPrinter::HighResolution);
  if (preview) {
    QPrintPreviewDialog dialog(&printer, this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [&table](QPrinter* p) { PaintReport(*table, p); });
    dialog.exec();
    return;
  }
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const survey::Outcome outcome =
      platform::PaintOnPrinter(printer, [&table](QPagedPaintDevice* device) { return PaintReport(*table, device); });
  if (!outcome.ok()) ShowRefusal(platform::ToQString(outcome.error));
}

}  // namespace survey::alignment::window
