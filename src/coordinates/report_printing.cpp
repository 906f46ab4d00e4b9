#include "coordinates/report_printing.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>

#include "platform/qt_host.h"
#include "platform/paths.h"
#include "platform/text_printing.h"

namespace coordinates {

namespace {

PreviewPresenter& Presenter() {
  static PreviewPresenter presenter;
  return presenter;
}

QString Utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Lays the rows out in a ruled table, seven equal columns, headings repeated on every page.
class ReportPainter {
 public:
  ReportPainter(QPainter& painter, QPagedPaintDevice* device)
      : painter_(painter),
        device_(device),
        font_(platform::CjkFont(QStringLiteral("宋体"), 9)),
        bold_(font_),
        page_(0, 0, device->width(), device->height()) {
    bold_.setBold(true);
    const QFontMetricsF metrics(font_, device);
    rowHeight_ = metrics.height() * 1.6;
    columnWidth_ = page_.width() / static_cast<double>(kStakeFieldCount);
  }

  void Header(const QString& html) {
    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(device_);
    doc.setDefaultFont(platform::CjkFont(QStringLiteral("宋体"), 10));
    doc.setHtml(html);
    doc.setTextWidth(page_.width());
    painter_.save();
    doc.drawContents(&painter_, QRectF(0, 0, page_.width(), doc.size().height()));
    painter_.restore();
    y_ = doc.size().height() + rowHeight_ * 0.5;
    Headings();
  }

  void Row(const StakeRecord& row) {
    if (y_ + rowHeight_ > page_.height() - rowHeight_) {
      Footer();
      device_->newPage();
      ++pageNumber_;
      y_ = 0;
      Headings();
    }
    painter_.setFont(font_);
    for (std::size_t i = 0; i < kStakeFieldCount; ++i) Cell(i, Utf8(CellText(row.Field(i))), false);
    y_ += rowHeight_;
  }

  void Footer() {
    painter_.setFont(font_);
    painter_.setPen(Qt::black);
    const QRectF at(0, page_.height() - rowHeight_, page_.width(), rowHeight_);
    painter_.drawText(at, Qt::AlignCenter, QStringLiteral("第 %1 页").arg(pageNumber_));
  }

 private:
  void Headings() {
    painter_.setFont(bold_);
    for (std::size_t i = 0; i < kStakeFieldCount; ++i) Cell(i, Utf8(kStakeHeadings[i]), true);
    y_ += rowHeight_;
  }

  void Cell(std::size_t column, const QString& text, bool heading) {
    const QRectF cell(columnWidth_ * static_cast<double>(column), y_, columnWidth_, rowHeight_);
    if (heading) painter_.fillRect(cell, QColor(230, 230, 230));
    painter_.setPen(Qt::black);
    painter_.drawRect(cell);
    const double pad = columnWidth_ * 0.04;
    painter_.drawText(cell.adjusted(pad, 0, -pad, 0), (heading ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter,
                      text);
  }

  QPainter& painter_;
  QPagedPaintDevice* device_;
  QFont font_;
  QFont bold_;
  QRectF page_;
  double rowHeight_ = 0;
  double columnWidth_ = 0;
  double y_ = 0;
  int pageNumber_ = 1;
};

}  // namespace

QString ReportLayoutPath(const QString& program, const QString& fileName) {
  return platform::SharedDataFile(program + QLatin1Char('/') + fileName);
}

bool PaintStakeReport(QPagedPaintDevice* device, const QString& headerHtml, const std::vector<StakeRecord>& rows) {
  QPainter painter;
  if (!painter.begin(device)) return false;
  ReportPainter report(painter, device);
  report.Header(headerHtml);
  for (const StakeRecord& row : rows) report.Row(row);
  report.Footer();
  painter.end();
  return true;
}

void SetPreviewPresenter(PreviewPresenter presenter) { Presenter() = std::move(presenter); }

void QtReportPrinter::SetPdfFile(const std::string& path) { pdfPath_ = platform::ToQString(path); }

bool QtReportPrinter::ShowReport(const ReportData& report, std::string* error) {
  QFile file(layoutPath_);
  if (!file.open(QIODevice::ReadOnly)) {
    if (error) *error = (QStringLiteral("无法读取报表格式文件 ") + layoutPath_ + QStringLiteral("：") + file.errorString()).toStdString();
    return false;
  }
  const QByteArray layout = file.readAll();
  const QString html = Utf8(FillReportLayout(std::string_view(layout.constData(), static_cast<std::size_t>(layout.size())),
                                            report.values));
  if (!pdfPath_.isEmpty()) {
    const survey::Outcome o = platform::WritePdfFile(pdfPath_, [&](QPdfWriter& writer) {
      writer.setPageSize(QPageSize(QPageSize::A4));
      writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
      writer.setResolution(300);
      writer.setTitle(QStringLiteral("坐标计算表"));
      return PaintStakeReport(&writer, html, report.rows);
    });
    if (!o.ok() && error) *error = (QStringLiteral("无法写入 PDF 文件 ") + pdfPath_).toStdString() + "\r\n" + o.error;
    return o.ok();
  }
  // Printing from the preview to a file goes through the same PDF writer; its failure is told
  // once the preview closes.
  QString printError;
  const auto paint = [&](QPrinter* printer) {
    const survey::Outcome o =
        platform::PaintOnPrinter(*printer, [&](QPagedPaintDevice* device) { return PaintStakeReport(device, html, report.rows); });
    if (!o.ok()) printError = platform::ToQString(o.error);
  };
  const auto told = [&] {
    if (printError.isEmpty()) return true;
    if (error) *error = printError.toStdString();
    return false;
  };
  if (Presenter()) {
    Presenter()(parent_, paint);
    return told();
  }
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
  QPrintPreviewDialog dialog(&printer, parent_);
  dialog.setWindowTitle(QStringLiteral("打印预览"));
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, paint);
  dialog.exec();
  return told();
}

}  // namespace coordinates
