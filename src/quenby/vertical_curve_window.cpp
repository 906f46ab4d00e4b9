#include "quenby/vertical_curve_window.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>

#include "common/twips.h"
#include "platform/enter_as_tab.h"
#include "platform/single_instance.h"
#include "platform/field_binding.h"
#include "platform/text_printing.h"
#include "platform/twips_rect.h"

namespace quenby {

namespace {

// Object names (found by stored layouts, automation and the window tests) -> form fields.
constexpr platform::FieldBinding<VerticalCurveFields> kFieldObjects[] = {
    {"Text1", &VerticalCurveFields::radius}, {"Text2", &VerticalCurveFields::i1},
    {"Text3", &VerticalCurveFields::i2},     {"Text4", &VerticalCurveFields::jd},
    {"Text5", &VerticalCurveFields::elevation}, {"Text6", &VerticalCurveFields::spacing},
    {"Text7", &VerticalCurveFields::extra},
};

// The captions of Label1 .. Label6, beside Text1 .. Text6 in the input frame.
constexpr const char* kFrameCaptions[] = {"竖曲线半径：", "第一纵坡i1：", "第二纵坡i2：",
                                          "交点桩号JD：", "交点桩高程：", "待测点间距："};

// Object names of the buttons -> commands, left to right.
using ButtonControl = platform::ButtonBinding<void (VerticalCurveWindow::*)()>;
constexpr ButtonControl kButtons[] = {
    {"Command1", "计  算", &VerticalCurveWindow::ComputeListing},
    {"Command2", "加桩计算", &VerticalCurveWindow::AddExtraStake},
    {"Command3", "打  印", &VerticalCurveWindow::PrintListing},
};

// The layout is kept in twips, as the window was drawn.
using platform::Twips;

QString ToDisplay(const std::string& text) {
  QString s = platform::ToQString(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return s;
}

}  // namespace

QFont ListingFont() { return platform::CjkFont(QStringLiteral("SimSun"), 10.5, true); }

survey::Outcome DialogListingPrinter::Print(const std::string& listing) {
  // The copies go into the one document ourselves, back to back without a page break.
  bool toPdfFile = false;
  const survey::Outcome o = platform::PrintWithDialog(
      parent_, true,
      [&](QPagedPaintDevice* device, int copies) {
        return platform::PaintTextPages(device, ToDisplay(PrintedText(listing, copies)), ListingFont(), 1);
      },
      &toPdfFile);
  // A file that could not be written is told, since the user would otherwise take the old or
  // missing file for the printed one.
  if (o == survey::Outcome::Status::Failed && !toPdfFile) return survey::Outcome::Refused(o.error);
  return o;
}

VerticalCurveWindow::VerticalCurveWindow(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("sqxform1"));
  setWindowTitle(QStringLiteral("Quenby"));
  setFont(platform::CjkFont(QStringLiteral("SimSun"), 9));

  auto* frame = new QGroupBox(QStringLiteral("输入原始数据"), this);
  frame->setObjectName(QStringLiteral("Frame1"));
  frame->setGeometry(Twips(120, 120, 3135, 3255));
  auto* enter = new platform::EnterAsTab(this);
  for (int i = 0; i < 6; ++i) {
    const int top = 240 + 480 * i;
    auto* label = new QLabel(platform::ToQString(kFrameCaptions[i]), frame);
    label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
    label->setGeometry(Twips(120, top + 120, 1200, 255));
    auto* field = new QLineEdit(frame);
    field->setObjectName(QLatin1String(kFieldObjects[i].objectName));
    field->setGeometry(Twips(1320, top, 1455, 375));
    // Enter moves on from the six fields of the frame, not from the extra stake.
    enter->Add(field);
  }
  auto* extraStationLabel = new QLabel(QStringLiteral("加桩桩号："), this);
  extraStationLabel->setObjectName(QStringLiteral("Label7"));
  extraStationLabel->setGeometry(Twips(240, 3600, 1200, 255));
  auto* extra = new QLineEdit(this);
  extra->setObjectName(QLatin1String(kFieldObjects[6].objectName));
  extra->setGeometry(Twips(1440, 3480, 1455, 375));

  for (std::size_t i = 0; i < std::size(kButtons); ++i) {
    auto* button = new QPushButton(platform::ToQString(kButtons[i].caption), this);
    button->setObjectName(QLatin1String(kButtons[i].objectName));
    button->setGeometry(Twips(120 + 1080 * static_cast<int>(i), 4080, 975, 375));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, kButtons[i].handler);
  }

  listing_ = new QPlainTextEdit(this);
  listing_->setObjectName(QStringLiteral("RichTextBox1"));
  listing_->setGeometry(Twips(3360, 120, 6255, 4455));
  listing_->setFont(ListingFont());
  listing_->setTabChangesFocus(true);
  // Lines wrap at the box's width; the rule lines' fallback glyphs otherwise make the text
  // engine offer a useless horizontal scroll bar.
  listing_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ShowListing();
  platform::PushFields<VerticalCurveFields>(*this, kFieldObjects, form_.fields());

  setFixedSize(survey::TwipsToPixels(9720), survey::TwipsToPixels(4575));
}

void VerticalCurveWindow::ListingToForm() {
  // Whatever the user typed into the listing belongs to it, as in any text box, and the next
  // extra stake goes where the user left the cursor.
  if (listing_->document()->isModified()) {
    form_.SetListingFromBox(platform::ToUtf8(listing_->toPlainText()));
    listing_->document()->setModified(false);
  }
  form_.SetCursorFromBox(static_cast<std::size_t>(listing_->textCursor().position()));
}

void VerticalCurveWindow::ShowListing() {
  listing_->setPlainText(ToDisplay(form_.Listing()));
  listing_->document()->setModified(false);
  // The cursor stands just after the lines last written; keep them in view.
  QTextCursor c = listing_->textCursor();
  c.setPosition(static_cast<int>(form_.InsertionCharacters()));
  listing_->setTextCursor(c);
  listing_->ensureCursorVisible();
}

void VerticalCurveWindow::RunOnListing(survey::Outcome (VerticalCurveForm::*command)()) {
  platform::PullFields<VerticalCurveFields>(*this, kFieldObjects, form_.fields());
  ListingToForm();
  const std::string before = form_.Listing();
  const std::size_t cursor = form_.InsertionPoint();
  (form_.*command)();
  if (form_.Listing() != before || form_.InsertionPoint() != cursor) ShowListing();
}

void VerticalCurveWindow::ComputeListing() { RunOnListing(&VerticalCurveForm::ComputeListing); }

void VerticalCurveWindow::AddExtraStake() { RunOnListing(&VerticalCurveForm::AddExtraStake); }

void VerticalCurveWindow::PrintListing() {
  ListingToForm();
  form_.PrintListing();
}

int RunWindow(QApplication& app) {
  return platform::RunWindow(app, QStringLiteral("quenby"), platform::Instances::Any,
                             [] { return std::make_unique<VerticalCurveWindow>(); });
}

}  // namespace quenby
