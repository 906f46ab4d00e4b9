#include "platform/text_printing.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QIODevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <cmath>

#include "common/atomic_file.h"
#include "platform/pdf_text_layer.h"
#include "platform/qt_host.h"

namespace platform {

survey::Outcome WritePdfFile(const QString& path, const std::function<bool(QPdfWriter& writer)>& paint) {
  survey::AtomicFileWriter file(ToUtf8(path));
  if (!file.Open()) return survey::Outcome::Failed(file.Reason());
  // The document is made in memory first: its character maps are put right before a byte of
  // it reaches the file (platform/pdf_text_layer.h).
  QByteArray document;
  bool painted = false;
  {
    QBuffer buffer(&document);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    painted = paint(writer);
  }
  if (!painted) {
    file.Abort();
    return survey::Outcome::Failed("无法生成 PDF 文档 (the PDF could not be painted)");
  }
  std::string bytes(document.constData(), static_cast<std::size_t>(document.size()));
  document.clear();
  RepairToUnicodeMaps(bytes);
  if (!file.Write(bytes) || file.Failed()) return survey::Outcome::Failed(file.Reason());
  if (!file.Commit()) return survey::Outcome::Failed(file.Reason());
  return survey::Outcome::Done();
}

QFont Unshaped(QFont font) {
  font.setStyleStrategy(static_cast<QFont::StyleStrategy>(font.styleStrategy() | QFont::PreferNoShaping));
  return font;
}

bool PaintTextPages(QPagedPaintDevice* device, const QString& text, const QFont& font, int copies) {
  QPainter painter;
  if (!painter.begin(device)) return false;
  painter.setFont(Unshaped(font));
  painter.setPen(Qt::black);
  const QFontMetricsF metrics(font, device);
  const double lineHeight = metrics.lineSpacing();
  const QRectF page = QRectF(QPointF(0, 0), QSizeF(device->width(), device->height()));
  QString normalised = text;
  normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  const QStringList lines = normalised.split(QLatin1Char('\n'));
  double y = metrics.ascent();
  bool first = true;
  for (int copy = 0; copy < std::max(1, copies); ++copy) {
    if (!first) {
      device->newPage();
      y = metrics.ascent();
    }
    first = false;
    for (const QString& line : lines) {
      if (y + metrics.descent() > page.height() && y > metrics.ascent()) {
        device->newPage();
        y = metrics.ascent();
      }
      painter.drawText(QPointF(0, y), line);
      y += lineHeight;
    }
  }
  painter.end();
  return true;
}

bool PrintTextToPdf(const QString& pdfPath, const QString& text, const QFont& font, int copies, std::string* error) {
  const survey::Outcome o = WritePdfFile(pdfPath, [&](QPdfWriter& writer) {
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    writer.setResolution(300);
    return PaintTextPages(&writer, text, font, copies);
  });
  if (!o.ok() && error) *error = o.error;
  return o.ok();
}

survey::Outcome PaintOnPrinter(QPrinter& printer, const std::function<bool(QPagedPaintDevice* device)>& paint) {
  // The print preview paints its pages on a picture engine of the same printer: that is not a file.
  const bool preview = printer.paintEngine() && printer.paintEngine()->type() == QPaintEngine::Picture;
  if (!preview && printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
    const survey::Outcome o = WritePdfFile(printer.outputFileName(), [&](QPdfWriter& writer) {
      writer.setPageLayout(printer.pageLayout());
      writer.setResolution(printer.resolution());
      writer.setCreator(printer.creator());
      writer.setTitle(printer.docName());
      return paint(&writer);
    });
    if (!o.ok()) return survey::Outcome::Failed(ToUtf8(printer.outputFileName()) + "：" + o.error);
    return survey::Outcome::Done();
  }
  if (!paint(&printer)) return survey::Outcome::Failed(ToUtf8(QObject::tr("打印机无法开始打印")));
  return survey::Outcome::Done();
}

namespace {

PrintDialogRunner& DialogRunner() {
  static PrintDialogRunner runner;
  return runner;
}

}  // namespace

ScopedPrintDialog::ScopedPrintDialog(PrintDialogRunner runner) { DialogRunner() = std::move(runner); }
ScopedPrintDialog::~ScopedPrintDialog() { DialogRunner() = nullptr; }

survey::Outcome PrintWithDialog(QWidget* parent, bool useDialogCopies,
                                const std::function<bool(QPagedPaintDevice* device, int copies)>& paint,
                                bool* toPdfFile, const std::function<void(QPrinter& printer)>& setUp) {
  QPrinter printer(QPrinter::HighResolution);
  if (setUp) setUp(printer);
  bool accepted = false;
  if (DialogRunner()) {
    accepted = DialogRunner()(printer, parent);
  } else {
    QPrintDialog dialog(&printer, parent);
    if (useDialogCopies) dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, false);
    accepted = dialog.exec() == QDialog::Accepted;
  }
  if (!accepted) return survey::Outcome::Cancelled();
  int copies = 1;
  if (useDialogCopies) {
    // We print the copies ourselves, into the one document.
    copies = std::max(1, printer.copyCount());
    printer.setCopyCount(1);
  }
  if (toPdfFile) *toPdfFile = printer.outputFormat() == QPrinter::PdfFormat;
  return PaintOnPrinter(printer, [&](QPagedPaintDevice* device) { return paint(device, copies); });
}

survey::Outcome PrintTextWithDialog(QWidget* parent, const QString& text, const QFont& font, bool useDialogCopies) {
  return PrintWithDialog(parent, useDialogCopies,
                         [&](QPagedPaintDevice* device, int copies) { return PaintTextPages(device, text, font, copies); });
}

survey::Outcome DialogTextPrinter::Print(const std::string& text) {
  const survey::Outcome o = PrintTextWithDialog(parent_, ToQString(text), font_);
  if (o == survey::Outcome::Status::Failed) return survey::Outcome::Failed(o.error, 1);
  return o;
}

survey::Outcome PdfTextFileWriter::Write(const std::string& pdfPath, const std::string& text) {
  std::string reason;
  if (PrintTextToPdf(ToQString(pdfPath), ToQString(text), font_, 1, &reason)) return survey::Outcome::Done();
  return survey::Outcome::Failed(reason);
}

QFont CjkFont(const QString& family, double pointSize, bool monospaced) {
  const QStringList installed = QFontDatabase::families();
  QString chosen = family;
  if (!installed.contains(family)) {
    const QStringList candidates = monospaced
        ? QStringList{QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("WenQuanYi Zen Hei Mono")}
        : QStringList{QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei"),
                      QStringLiteral("Noto Sans Mono CJK SC")};
    for (const QString& c : candidates) {
      if (installed.contains(c)) {
        chosen = c;
        break;
      }
    }
  }
  QFont font(chosen);
  font.setPointSizeF(pointSize);
  if (monospaced) font.setStyleHint(QFont::Monospace);
  return Unshaped(font);
}

bool HasHalfWidthLatin(const QFont& font) {
  const auto holds = [&](const QFontMetricsF& m) {
    const double latin = m.horizontalAdvance(QStringLiteral("0"));
    const double cjk = m.horizontalAdvance(QStringLiteral("桩"));
    const double blank = m.horizontalAdvance(QStringLiteral(" "));
    // A 64th of a pixel is the finest step the font engines position glyphs at.
    constexpr double kStep = 1.0 / 64;
    return latin > 0 && std::abs(cjk - 2 * latin) < kStep && std::abs(blank - latin) < kStep;
  };
  if (!holds(QFontMetricsF(font))) return false;
  for (const int dpi : {300, 1200}) {
    QImage page(1, 1, QImage::Format_Mono);
    const int dotsPerMetre = static_cast<int>(dpi / 0.0254 + 0.5);
    page.setDotsPerMeterX(dotsPerMetre);
    page.setDotsPerMeterY(dotsPerMetre);
    if (!holds(QFontMetricsF(font, &page))) return false;
  }
  return true;
}

QStringList ColumnPrintFamilies() {
  return {QStringLiteral("黑体"), QStringLiteral("SimHei"), QStringLiteral("Noto Sans Mono CJK SC"),
          QStringLiteral("WenQuanYi Zen Hei Mono")};
}

QFont ColumnPrintFont(double pointSize) {
  const QStringList installed = QFontDatabase::families();
  for (const QString& family : ColumnPrintFamilies()) {
    if (!installed.contains(family)) continue;
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(false);
    font.setStyleHint(QFont::Monospace);
    font = Unshaped(font);
    if (HasHalfWidthLatin(font)) return font;
  }
  // None installed: the best the system has, marked monospaced so that matching prefers one.
  QFont font = CjkFont(QStringLiteral("黑体"), pointSize, true);
  font.setBold(false);
  return font;
}

}  // namespace platform
