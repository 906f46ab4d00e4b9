#include "quenby/window.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>

#include "common/report_lines.h"
#include "platform/enter_as_tab.h"
#include "platform/qt_host.h"
#include "platform/text_printing.h"
#include "quenby/vertical_curve.h"

namespace quenby {

namespace {

// The layout is kept in twips, as the window was drawn: 15 twips to a pixel at 96 dpi.
QRect Twips(int left, int top, int width, int height) { return {left / 15, top / 15, width / 15, height / 15}; }

PrintDialogRunner& Runner() {
  static PrintDialogRunner runner;
  return runner;
}

QString ToDisplay(const std::string& text) {
  QString s = platform::ToQString(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return s;
}

}  // namespace

void SetPrintDialogRunner(PrintDialogRunner runner) { Runner() = std::move(runner); }

QFont ListingFont() { return platform::CjkFont(QStringLiteral("SimSun"), 10.5, true); }

bool PrintListing(QWidget* parent, const std::string& listing, const QFont& font) {
  QPrinter printer(QPrinter::HighResolution);
  bool accepted = false;
  if (Runner()) {
    accepted = Runner()(printer, parent);
  } else {
    QPrintDialog dialog(&printer, parent);
    accepted = dialog.exec() == QDialog::Accepted;
  }
  if (!accepted) return false;
  // The copies go into the one document ourselves, back to back without a page break, so
  // the printer must not multiply them again.
  const int copies = std::max(1, printer.copyCount());
  printer.setCopyCount(1);
  const QString text = ToDisplay(PrintedText(listing, copies));
  const survey::Outcome o =
      platform::PaintOnPrinter(printer, [&](QPagedPaintDevice* device) { return platform::PaintTextPages(device, text, font, 1); });
  // A printer that will not start stays silent; a file that could not be written is told, since
  // the user would otherwise take the old or missing file for the printed one.
  if (!o.ok() && printer.outputFormat() == QPrinter::PdfFormat) {
    survey::Message m;
    m.text = o.error;
    m.title = "Quenby";
    m.icon = survey::MessageIcon::Exclamation;
    m.refusal = true;
    platform::PresentMessage(parent, m);
  }
  return o.ok();
}

bool PrintTextToPdf(const std::string& pdfPath, const std::string& text, std::string& reason) {
  return platform::PrintTextToPdf(platform::ToQString(pdfPath), ToDisplay(text), ListingFont(), 1, &reason);
}

SqxForm1Window::SqxForm1Window(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("sqxform1"));
  setWindowTitle(QStringLiteral("Quenby"));
  setFont(platform::CjkFont(QStringLiteral("SimSun"), 9));

  auto* frame = new QGroupBox(QStringLiteral("输入原始数据"), this);
  frame->setObjectName(QStringLiteral("Frame1"));
  frame->setGeometry(Twips(120, 120, 3135, 3255));
  const char* captions[] = {"竖曲线半径：", "第一纵坡i1：", "第二纵坡i2：", "交点桩号JD：", "交点桩高程：", "待测点间距："};
  for (int i = 0; i < 6; ++i) {
    const int top = 240 + 480 * i;
    auto* label = new QLabel(QString::fromUtf8(captions[i]), frame);
    label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
    label->setGeometry(Twips(120, top + 120, 1200, 255));
    auto* field = new QLineEdit(frame);
    field->setObjectName(QStringLiteral("Text%1").arg(i + 1));
    field->setGeometry(Twips(1320, top, 1455, 375));
    fields_.at(static_cast<std::size_t>(i)) = field;
  }
  auto* label7 = new QLabel(QStringLiteral("加桩桩号："), this);
  label7->setObjectName(QStringLiteral("Label7"));
  label7->setGeometry(Twips(240, 3600, 1200, 255));
  fields_[6] = new QLineEdit(this);
  fields_[6]->setObjectName(QStringLiteral("Text7"));
  fields_[6]->setGeometry(Twips(1440, 3480, 1455, 375));

  const char* buttons[][2] = {{"Command1", "计  算"}, {"Command2", "加桩计算"}, {"Command3", "打  印"}};
  QPushButton* commands[3] = {};
  for (int i = 0; i < 3; ++i) {
    commands[i] = new QPushButton(QString::fromUtf8(buttons[i][1]), this);
    commands[i]->setObjectName(QString::fromLatin1(buttons[i][0]));
    commands[i]->setGeometry(Twips(120 + 1080 * i, 4080, 975, 375));
    commands[i]->setAutoDefault(false);
  }

  listing_ = new QPlainTextEdit(this);
  listing_->setObjectName(QStringLiteral("RichTextBox1"));
  listing_->setGeometry(Twips(3360, 120, 6255, 4455));
  listing_->setFont(ListingFont());
  listing_->setTabChangesFocus(true);
  // Lines wrap at the box's width, as in the original box; the rule lines' fallback glyphs
  // otherwise make the text engine offer a useless horizontal scroll bar.
  listing_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ShowListing();

  auto* enter = new platform::EnterAsTab(this);
  for (int n = 1; n <= 6; ++n) enter->Add(Field(n));
  Field(6)->setText(platform::ToQString(form_.Text(6)));

  connect(commands[0], &QPushButton::clicked, this, [this] { Run(&SqxForm1::Command1_Click); });
  connect(commands[1], &QPushButton::clicked, this, [this] { Run(&SqxForm1::Command2_Click); });
  connect(commands[2], &QPushButton::clicked, this, [this] { Print(); });

  setFixedSize(9720 / 15, 4575 / 15);
}

void SqxForm1Window::ListingToForm() {
  // Whatever the user typed into the listing belongs to it, as in any text box, and the next
  // extra stake goes where the user left the cursor.
  if (listing_->document()->isModified()) {
    form_.listing = survey::LfToCrLf(platform::ToUtf8(listing_->toPlainText()));
    listing_->document()->setModified(false);
  }
  form_.insertionPoint =
      survey::ByteOffsetOfBoxPosition(form_.listing, static_cast<std::size_t>(listing_->textCursor().position()));
}

void SqxForm1Window::ShowListing() {
  listing_->setPlainText(ToDisplay(form_.listing));
  listing_->document()->setModified(false);
  // The cursor stands just after the lines last written; keep them in view.
  QTextCursor c = listing_->textCursor();
  c.setPosition(static_cast<int>(survey::BoxPositionOfByteOffset(form_.listing, form_.insertionPoint)));
  listing_->setTextCursor(c);
  listing_->ensureCursorVisible();
}

void SqxForm1Window::Run(void (SqxForm1::*handler)(survey::Host&)) {
  for (int n = 1; n <= 7; ++n) form_.Text(n) = platform::ToUtf8(Field(n)->text());
  ListingToForm();
  const std::string before = form_.listing;
  const std::size_t cursor = form_.insertionPoint;
  platform::QtHost host(this);
  (form_.*handler)(host);
  // A refusal leaves the box alone, scroll position included.
  if (form_.listing != before || form_.insertionPoint != cursor) ShowListing();
}

void SqxForm1Window::Print() {
  ListingToForm();
  PrintListing(this, form_.listing, ListingFont());
}

}  // namespace quenby
