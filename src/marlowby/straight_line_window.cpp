#include "marlowby/straight_line_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QResizeEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

#include "common/twips.h"
#include "fennick/factory.h"
#include "platform/enter_as_tab.h"
#include "platform/single_instance.h"
#include "platform/field_binding.h"
#include "platform/text_printing.h"
#include "platform/twips_rect.h"

namespace marlowby {

namespace {

using survey::TwipsToPixels;

using platform::Twips;

// Object names (found by stored layouts, automation and the window tests) -> form fields, in
// tab order. Enter moves on from the first eight; a double click empties all but the skew.
constexpr platform::FieldBinding<StraightLineFields> kFieldObjects[] = {
    {"Text1", &StraightLineFields::startX},        {"Text2", &StraightLineFields::startY},
    {"Text3", &StraightLineFields::forwardX},      {"Text4", &StraightLineFields::forwardY},
    {"Text5", &StraightLineFields::interval},      {"Text6", &StraightLineFields::offset},
    {"Text7", &StraightLineFields::startStation},  {"Text8", &StraightLineFields::endStation},
    {"Text9", &StraightLineFields::extraStation},  {"Text10", &StraightLineFields::skew}};
constexpr std::size_t kEnterMovesOn = 8;
constexpr std::size_t kDoubleClickEmpties = 9;

// Where each field of kFieldObjects stands (twips: left, top, width).
constexpr int kFieldPlaces[][3] = {{120, 360, 1335},  {1560, 360, 1335},  {120, 960, 1335},  {1560, 960, 1335},
                                   {120, 1560, 1335}, {1560, 1560, 1335}, {1560, 2400, 1335}, {1560, 2880, 1335},
                                   {1560, 3240, 1335}, {2400, 1950, 495}};

// Object names of the floating buttons -> the handlers they run, in the order they are made.
using ButtonHandler = void (*)(StraightLineForm& form, const coordinates::Progress& progress);
// Places in twips: left, top, width.
constexpr platform::ButtonBinding<ButtonHandler> kButtons[] = {
    {"KestrelCommand1", "计  算", [](StraightLineForm& f, const coordinates::Progress& p) { f.ComputeStraightLine(p); }, {240, 3720, 795}},
    {"KestrelCommand4", "加  桩", [](StraightLineForm& f, const coordinates::Progress&) { f.AddExtraStake(); }, {1200, 3720, 795}},
    {"KestrelCommand5", "打  开", [](StraightLineForm& f, const coordinates::Progress&) { f.OpenParameters(); }, {2160, 3720, 735}},
    {"KestrelCommand3", "导  出", [](StraightLineForm& f, const coordinates::Progress&) { f.ExportGrid(); }, {240, 4200, 795}},
    {"KestrelCommand2", "打  印", [](StraightLineForm& f, const coordinates::Progress&) { f.PrintReport(); }, {1200, 4200, 795}},
    {"KestrelCommand6", "保  存", [](StraightLineForm& f, const coordinates::Progress&) { f.SaveParameters(); }, {2160, 4200, 735}},
};

}  // namespace

StraightLineWindow::StraightLineWindow(QWidget* parent, const QString& databasePath)
    : QWidget(parent),
      table_(databasePath.isEmpty() ? coordinates::SqliteStakeTable::UserFile(QString::fromLatin1(coordinates::kStraightLineDatabase))
                                    : databasePath),
      printer_(this, coordinates::ReportLayoutPath(QStringLiteral("marlowby"), QStringLiteral("zxzb.html"))),
      form_(host_, table_, files_, printer_) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("公路直线段中边桩坐标计算"));
  // The fields and buttons keep their places; the grid takes whatever room the window gives it.
  setMinimumSize(TwipsToPixels(9915), TwipsToPixels(4635));
  resize(minimumSize());
  BuildControls();
  platform::PushFields<StraightLineFields>(*this, kFieldObjects, form_.fields());
  // The window opens on the table as stored.
  Run([](StraightLineForm& f) { f.ReloadGrid(); });
}

StraightLineWindow::~StraightLineWindow() {
  if (!tableCleared_) form_.ClearStakeTable();
}

void StraightLineWindow::BuildControls() {
  const QFont labelFont = platform::CjkFont(QStringLiteral("宋体"), 9);
  QFont boldFont = labelFont;
  boldFont.setBold(true);
  const auto label = [&](const char* name, const QString& caption, int left, int top, int width, bool bold = false) {
    auto* l = new QLabel(caption, this);
    l->setObjectName(QString::fromLatin1(name));
    l->setFont(bold ? boldFont : labelFont);
    l->setGeometry(Twips(left, top, width, 255));
    return l;
  };
  label("Label1", QStringLiteral("直线起点坐标"), 840, 120, 1215);
  label("Label2", QStringLiteral("X"), 480, 120, 255, true);
  label("Label3", QStringLiteral("Y"), 2280, 120, 255, true);
  label("Label4", QStringLiteral("前进方向坐标"), 840, 720, 1215);
  label("Label5", QStringLiteral("X"), 480, 720, 255, true);
  label("Label6", QStringLiteral("Y"), 2280, 720, 255, true);
  label("Label7", QStringLiteral("点间距离(m)"), 120, 1320, 1335);
  label("Label8", QStringLiteral("边桩距离(m)"), 1560, 1320, 1335);
  label("Label9", QStringLiteral("（顺+）、（逆-）交角（度）"), 0, 2040, 2400);
  label("Label10", QStringLiteral("起点坐标桩号"), 120, 2400, 1335);
  label("Label11", QStringLiteral("计算结束桩号"), 120, 2880, 1335);
  label("Label12", QStringLiteral("中 间 加 桩"), 120, 3240, 1335);

  auto* enter = new platform::EnterAsTab(this);
  QWidget* previous = nullptr;
  for (std::size_t i = 0; i < std::size(kFieldObjects); ++i) {
    auto* field = new QLineEdit(this);
    field->setObjectName(QString::fromLatin1(kFieldObjects[i].objectName));
    field->setFont(labelFont);
    field->setTextMargins(0, 0, 0, 0);
    field->setGeometry(Twips(kFieldPlaces[i][0], kFieldPlaces[i][1], kFieldPlaces[i][2], 270));
    if (i < kEnterMovesOn) enter->Add(field);
    if (i < kDoubleClickEmpties) field->installEventFilter(this);
    if (previous) setTabOrder(previous, field);
    previous = field;
  }

  for (const auto& b : kButtons) {
    fennick::KestrelCommand* button = fennick::CreateControl(fennick::KestrelCommandClassId(), this);
    if (!button) continue;  // the control library is not registered: the window still opens
    button->setObjectName(QString::fromLatin1(b.objectName));
    button->SetCaption(QString::fromUtf8(b.caption));
    button->SetFont(labelFont);
    button->setGeometry(Twips(b.place.x, b.place.y, b.place.width, 375));
    // Tab reaches the buttons after the fields, row by row as they stand.
    setTabOrder(previous, button);
    previous = button;
    const ButtonHandler handler = b.handler;
    connect(button, &fennick::KestrelCommand::Click, this, [this, handler] {
      Run([&](StraightLineForm& f) { handler(f, [this](std::size_t done, std::size_t total) { return progress_.Report(done, total); }); });
    });
  }

  const int headingLefts[7] = {3240, 4080, 5040, 5880, 6720, 7560, 8520};
  std::vector<QLabel*> headings;
  for (std::size_t i = 0; i < coordinates::kStakeFieldCount; ++i) {
    const std::string name = "Label" + std::to_string(13 + i);
    headings.push_back(label(name.c_str(), platform::ToQString(coordinates::kStakeHeadings[i]), headingLefts[i], 120, 855));
  }

  grid_ = new QTableView(this);
  grid_->setObjectName(QStringLiteral("MSFlexGrid1"));
  PlaceGrid();
  coordinates::ConfigureStakeGrid(grid_, &model_);
  // The CASS export has no button of its own (the window's buttons keep their places): it is
  // on the grid's context menu.
  auto* exportCass = new QAction(QStringLiteral("导出 CASS 点文件(*.dat)…"), grid_);
  exportCass->setObjectName(QStringLiteral("exportCassAction"));
  grid_->addAction(exportCass);
  grid_->setContextMenuPolicy(Qt::ActionsContextMenu);
  connect(exportCass, &QAction::triggered, this, [this] { Run([](StraightLineForm& f) { f.ExportGridAsCass(); }); });
  // Columns under their heading labels: each runs from one label's left to the next one's.
  // Those are the narrowest the columns get; a longer number widens its column, and the
  // headings move along.
  std::vector<int> widths;
  int previousEdge = 3120;
  for (std::size_t i = 1; i < coordinates::kStakeFieldCount; ++i) {
    const int edge = headingLefts[i] - 120;
    widths.push_back(TwipsToPixels(edge - previousEdge));
    previousEdge = edge;
  }
  widths.push_back(TwipsToPixels(1200));
  const int headingInset = TwipsToPixels(headingLefts[0]) - TwipsToPixels(3120) - grid_->frameWidth();
  coordinates::KeepStakeColumnsWhole(grid_, widths, headings, headingInset);
}

void StraightLineWindow::PlaceGrid() {
  const QPoint topLeft(TwipsToPixels(3120), TwipsToPixels(360));
  grid_->setGeometry(QRect(topLeft, QPoint(width() - 1, height() - 1)));
}

void StraightLineWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (grid_) PlaceGrid();
}

void StraightLineWindow::RefreshGrid() {
  if (form_.GridVersion() == shownVersion_) return;
  shownVersion_ = form_.GridVersion();
  model_.ShowRows(form_.GridRows());
}

template <typename Handler>
void StraightLineWindow::Run(Handler handler) {
  platform::PullFields<StraightLineFields>(*this, kFieldObjects, form_.fields());
  handler(form_);
  progress_.Finish();
  platform::PushFields<StraightLineFields>(*this, kFieldObjects, form_.fields());
  RefreshGrid();
}

void StraightLineWindow::closeEvent(QCloseEvent* event) {
  if (!tableCleared_) {
    form_.ClearStakeTable();
    tableCleared_ = true;
  }
  event->accept();
}

bool StraightLineWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    if (auto* field = qobject_cast<QLineEdit*>(watched)) {
      field->clear();
      field->setFocus(Qt::MouseFocusReason);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

int RunWindow(QApplication& app) {
  return platform::RunWindow(app, QStringLiteral("marlowby"), platform::Instances::Any,
                             [] { return std::make_unique<StraightLineWindow>(); });
}

}  // namespace marlowby
