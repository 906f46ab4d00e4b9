// Printing plain text through the platform's print dialog, to a printer or a PDF file.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

#include "common/services.h"
#include "platform/text_files.h"

class QPagedPaintDevice;
class QPdfWriter;
class QPrinter;
class QWidget;

namespace platform {

// Lays the lines of `text` (LF or CR LF) top to bottom in `font`, `copies` times back to
// back, starting a new page when a page is full. Returns false when painting cannot start.
bool PaintTextPages(QPagedPaintDevice* device, const QString& text, const QFont& font, int copies = 1);

// Every PDF the suite writes goes through here: `paint` sets the page up and paints (false
// when painting cannot start); the document is streamed to a temporary file beside `path`
// and renamed over it only when every byte reached the disk (common/atomic_file.h). On
// failure `path` is untouched and the error is the reason.
survey::Outcome WritePdfFile(const QString& path, const std::function<bool(QPdfWriter& writer)>& paint);

// Writes the text as a PDF file (used by tests and batch modes); the reason of a failure goes
// to *error.
bool PrintTextToPdf(const QString& pdfPath, const QString& text, const QFont& font, int copies = 1,
                    std::string* error = nullptr);

// Paints on a printer set up by a print dialog (Failed with the reason when it cannot). When the user chose to print to a PDF file,
// the file is written by WritePdfFile with the printer's page layout and resolution.
survey::Outcome PaintOnPrinter(QPrinter& printer, const std::function<bool(QPagedPaintDevice* device)>& paint);

// Shows the print dialog for `printer`; false when cancelled.
using PrintDialogRunner = std::function<bool(QPrinter& printer, QWidget* parent)>;

// Replaces the print dialog for its lifetime (window tests, which cannot close a modal
// dialog); the platform's dialog afterwards.
class ScopedPrintDialog {
 public:
  explicit ScopedPrintDialog(PrintDialogRunner runner);
  ~ScopedPrintDialog();
  ScopedPrintDialog(const ScopedPrintDialog&) = delete;
  ScopedPrintDialog& operator=(const ScopedPrintDialog&) = delete;
};

// Every print command's dialog: shows it, then paints with `paint(device, copies)` on the
// printer or PDF file chosen there (PaintOnPrinter). When `useDialogCopies` is true `copies` is
// the dialog's number of copies, which the caller prints into the one document, and the
// printer is told to print one; otherwise it is 1. *toPdfFile tells whether a file was chosen.
// `setUp` prepares the printer before the dialog shows it (a drawing's landscape page).
survey::Outcome PrintWithDialog(QWidget* parent, bool useDialogCopies,
                                const std::function<bool(QPagedPaintDevice* device, int copies)>& paint,
                                bool* toPdfFile = nullptr, const std::function<void(QPrinter& printer)>& setUp = {});

// Shows the print dialog and prints the text. When `useDialogCopies` is true the number of
// copies of the dialog is printed back to back in one document, each from a new page.
survey::Outcome PrintTextWithDialog(QWidget* parent, const QString& text, const QFont& font, bool useDialogCopies = false);

// The print command of the report windows: the print dialog, the text in `font`; a failure
// carries the code 1, which their message shows after the reason.
class DialogTextPrinter final : public survey::TextPrinter {
 public:
  DialogTextPrinter(QWidget* parent, QFont font) : parent_(parent), font_(std::move(font)) {}
  survey::Outcome Print(const std::string& text) override;

 private:
  QWidget* parent_;
  QFont font_;
};

// The batch modes' --pdf: the text in `font`, one copy, as the print command prints it.
class PdfTextFileWriter final : public survey::PdfTextWriter {
 public:
  explicit PdfTextFileWriter(QFont font) : font_(std::move(font)) {}
  survey::Outcome Write(const std::string& pdfPath, const std::string& text) override;

 private:
  QFont font_;
};

// `font` drawn glyph for character from the face's character map, without shaping. Shaped, a
// CJK face (Noto Sans CJK) swaps the digits after a Latin letter for variant glyphs that no
// character maps to, and a PDF then reads "K10+000" as "K   +"; for the Latin, digits and CJK
// of the reports shaping changes neither the glyph shapes nor the advances. Every face the
// suite prints in goes through here.
QFont Unshaped(QFont font);

// A font of the given CJK family for printing or showing, unshaped; when the family is not installed,
// the first installed CJK family that fits ("黑体" falls back to a CJK sans face).
QFont CjkFont(const QString& family, double pointSize, bool monospaced = false);

// True when in `font` a Latin character advances exactly half as far as a CJK one and a blank
// as far as a digit, at screen, PDF (300 dpi) and printer (1200 dpi) resolution: the report
// layouts count a CJK character as two columns, so only such a face keeps their columns.
bool HasHalfWidthLatin(const QFont& font);

// The face a report prints in with its columns aligned, `pointSize` points, not bold: Hei
// (黑体 / SimHei) where installed, else a monospaced CJK face (Noto Sans Mono CJK SC, WenQuanYi
// Zen Hei Mono; the set-up script installs both). A face is taken only when HasHalfWidthLatin
// holds for it; a proportional face never is, since its columns would run ragged.
QFont ColumnPrintFont(double pointSize);
// The faces ColumnPrintFont tries, in order.
QStringList ColumnPrintFamilies();

}  // namespace platform
