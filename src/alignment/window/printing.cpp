// The window's printed tables: the stake and curve tables of the last run, to a PDF file, the
// print dialog or its preview, painted by report.h.
#include <QMenu>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <functional>
#include <string>

#include "alignment/output_guard.h"
#include "alignment/window/main_window.h"
#include "platform/qt_host.h"
#include "platform/text_printing.h"

namespace survey::alignment::window {

ReportTable AlignmentWindow::Report(ReportKind kind) const {
  const ResultGridModel* model = results_.at(kind == ReportKind::Stakes ? RunKind::Stakes : RunKind::Curves);
  QString name = platform::ToQString(form_.projectName);
  if (name.isEmpty()) name = document_.Path().isEmpty() ? QStringLiteral("未命名") : document_.BaseName();
  return MakeReportTable(kind, model->Table(), name, form_.degrees);
}

bool AlignmentWindow::ExportReportPdf(ReportKind kind, const QString& path) {
  if (!ResultsCurrent(kind == ReportKind::Stakes ? RunKind::Stakes : RunKind::Curves)) return false;
  if (!ReportWithinCap(kind)) return false;
  QString error;
  if (!WriteReportPdf(Report(kind), path, &error)) {
    ShowRefusal(error);
    return false;
  }
  return true;
}

// A printed report takes at most kMaxReportRows rows, as in the other programs; the check
// comes before the table is laid out, which for a million stakes would take minutes.
bool AlignmentWindow::ReportWithinCap(ReportKind kind) {
  const int rows = results_.at(kind == ReportKind::Stakes ? RunKind::Stakes : RunKind::Curves)->rowCount();
  if (static_cast<std::size_t>(rows) <= kMaxReportRows) return true;
  ShowRefusal(platform::ToQString(ReportTooLongText(static_cast<std::size_t>(rows))));
  return false;
}

void AlignmentWindow::PrintReport(ReportKind kind, bool preview) {
  if (!ResultsCurrent(kind == ReportKind::Stakes ? RunKind::Stakes : RunKind::Curves)) return;
  if (!ReportWithinCap(kind)) return;
  const ReportTable table = Report(kind);
  if (table.rows.empty()) {
    ShowRefusal(QStringLiteral("还没有计算结果，请先计算。"));
    return;
  }
  QPrinter printer(QPrinter::HighResolution);
  if (preview) {
    QPrintPreviewDialog dialog(&printer, this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [&table](QPrinter* p) { PaintReport(table, p); });
    dialog.exec();
    return;
  }
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  // As every program of the suite prints: a PDF chosen in the dialog is written whole or not at all.
  const survey::Outcome outcome =
      platform::PaintOnPrinter(printer, [&table](QPagedPaintDevice* device) { return PaintReport(table, device); });
  if (!outcome.ok()) ShowRefusal(platform::ToQString(outcome.error));
}

// The 文件 menu's printed tables and drawings: preview, print and PDF of each.
void AlignmentWindow::BuildPrintMenus(QMenu* file) {
  // The tables offer their PDF in the project's folder, the drawings by name alone.
  const auto addPrintMenu = [this, file](const std::string& title, bool inProjectFolder,
                                         const std::function<void(bool preview)>& print,
                                         const std::function<void(const QString& path)>& exportPdf) {
    QMenu* menu = file->addMenu(QString::fromStdString(title));
    menu->addAction(QStringLiteral("打印预览…"), this, [print] { print(true); });
    menu->addAction(QStringLiteral("打印…"), this, [print] { print(false); });
    menu->addAction(QStringLiteral("导出 PDF…"), this, [this, title, inProjectFolder, exportPdf] {
      FileRequest request;
      request.title = "导出 PDF：" + title;
      request.initialName = inProjectFolder ? InProjectFolder(title + ".pdf") : title + ".pdf";
      request.filters = {{"PDF (*.pdf)", "*.pdf"}};
      request.defaultSuffix = "pdf";
      if (const auto path = host_.AskSaveFile(request)) exportPdf(platform::ToQString(*path));
    });
  };
  for (auto [kind, title] : {std::pair{ReportKind::Stakes, "逐桩坐标表"}, std::pair{ReportKind::Curves, "直线、曲线及转角表"}}) {
    addPrintMenu(
        title, true, [this, kind = kind](bool preview) { PrintReport(kind, preview); },
        [this, kind = kind](const QString& path) { ExportReportPdf(kind, path); });
  }
  addPrintMenu(
      "路线平面图", false, [this](bool preview) { PrintPlan(preview); },
      [this](const QString& path) { ExportPlanPdf(path); });
  addPrintMenu(
      "路基设计表", false, [this](bool preview) { PrintSections(preview); },
      [this](const QString& path) { ExportSectionsPdf(path); });
}

}  // namespace survey::alignment::window
