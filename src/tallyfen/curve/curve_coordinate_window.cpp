#include "tallyfen/curve/curve_coordinate_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

#include "common/project_info.h"
#include "coordinates/stake_grid.h"
#include "fennick/factory.h"
#include "platform/enter_as_tab.h"
#include "platform/field_binding.h"

namespace tallyfen {

namespace {

constexpr int kGridColumnWidth = 92;

// Object names (found by stored layouts, automation and the window tests) -> form fields.
constexpr platform::FieldBinding<CurveFields> kFieldObjects[] = {
    {"Text1", &CurveFields::zhX},           {"Text2", &CurveFields::zhY},
    {"Text3", &CurveFields::jdX},           {"Text4", &CurveFields::jdY},
    {"Text5", &CurveFields::zhStation},     {"Text6", &CurveFields::alpha},
    {"Text7", &CurveFields::radius},        {"Text8", &CurveFields::ls},
    {"Text9", &CurveFields::extraStation},  {"Text10", &CurveFields::offset},
    {"Text11", &CurveFields::projectName},  {"Text12", &CurveFields::tabulator}};

// The turn buttons, each with the value of CurveFields::turnLeft it stands for.
struct TurnObject {
  const char* objectName;
  const char* caption;
  bool turnLeft;
};
constexpr TurnObject kTurnObjects[] = {{"Option1", "路线左转", true}, {"Option2", "路线右转", false}};

// The command buttons: object name, caption, handler, cell in the button grid (column, row,
// columns).
using ButtonObject = platform::ButtonBinding<void (*)(CurveCoordinateForm&)>;
constexpr ButtonObject kButtonObjects[] = {
    {"KestrelCommand1", "打  开", [](CurveCoordinateForm& f) { f.OpenParameters(); }, {0, 0, 1}},
    {"bCommand1", "保  存", [](CurveCoordinateForm& f) { f.SaveParameters(); }, {1, 0, 1}},
    {"Command6", "导  出", [](CurveCoordinateForm& f) { f.ExportGrid(); }, {2, 0, 1}},
    {"Command4", "打  印", [](CurveCoordinateForm& f) { f.PrintReport(); }, {3, 0, 1}},
    {"Command2", "清  空", [](CurveCoordinateForm& f) { f.ClearInputs(); }, {0, 1, 1}},
    {"Command3", "加  桩", [](CurveCoordinateForm& f) { f.AddExtraStake(); }, {1, 1, 1}},
    {"Command1", "计  算", [](CurveCoordinateForm& f) { f.ComputeCurve(); }, {2, 1, 2}}};

// The field bound to `member`.
QLineEdit* FieldOf(const QWidget& window, std::string CurveFields::*member) {
  for (const auto& binding : kFieldObjects) {
    if (binding.text == member) return platform::FieldNamed(window, binding.objectName);
  }
  return nullptr;
}

QRadioButton* TurnButton(const QWidget& window, const TurnObject& turn) {
  return window.findChild<QRadioButton*>(QLatin1String(turn.objectName));
}

QLabel* MakeLabel(const QString& name, const QString& caption, QWidget* parent) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(name);
  return label;
}

// Text is the field's own: any character may be typed, nothing is filtered.
QLineEdit* MakeField(const QString& name, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(name);
  return field;
}

fennick::KestrelCommand* MakeButton(const QString& name, const QString& caption, QWidget* parent) {
  fennick::KestrelCommand* button = fennick::CreateControl(fennick::KestrelCommandClassId(), parent);
  // The class registers itself when the library loads; should a host have unregistered it,
  // the window still gets working buttons.
  if (button == nullptr) button = new fennick::KestrelCommand(parent);
  button->setObjectName(name);
  button->SetCaption(caption);
  button->setMinimumSize(84, 30);
  return button;
}

}  // namespace

CurveCoordinateWindow::CurveCoordinateWindow(QWidget* parent)
    : QWidget(parent),
      table_(coordinates::SqliteStakeTable::UserFile(QString::fromLatin1(coordinates::kCurveDatabase))),
      printer_(this, coordinates::ReportLayoutPath(QStringLiteral("tallyfen"), QStringLiteral("zb.html"))) {
  setObjectName(QStringLiteral("qxForm1"));
  setWindowTitle(QStringLiteral("曲线坐标计算"));
  form_.SetProgress([this](std::size_t done, std::size_t total) { return progress_.Report(done, total); });
  BuildControls();
  PushFields();
}

CurveCoordinateWindow::~CurveCoordinateWindow() = default;

void CurveCoordinateWindow::BuildControls() {
  auto* root = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  root->addLayout(left);

  // Input frame.
  auto* inputBox = new QGroupBox(QStringLiteral("请输入原始数据"), this);
  inputBox->setObjectName(QStringLiteral("Frame1"));
  inputBox->setToolTip(QStringLiteral(
      "先输入ZH点坐标，再输入JD点或ZH→JD方向上任一点的坐标（用于求该切线的方位角；有缓和曲线时须为真实的JD点），"
      "然后输入偏角等数据；5°8′9″输入为5.0809。选择方位角转向（与曲线偏向不同）：第一切线方位角小于第二切线方位角时"
      "为顺时针（路线右转），否则为逆时针（路线左转）。计算从ZH点开始，ZH栏中不要输入HZ点。全曲线算完后，输入桩号"
      "并按“加  桩”计算加桩；按“打  印”显示打印格式。"));
  auto* grid = new QGridLayout(inputBox);
  for (const auto& binding : kFieldObjects) MakeField(QString::fromLatin1(binding.objectName), inputBox);
  const auto field = [this](std::string CurveFields::*member) { return FieldOf(*this, member); };
  for (auto member : {&CurveFields::zhX, &CurveFields::zhY, &CurveFields::jdX, &CurveFields::jdY}) {
    field(member)->setMinimumWidth(96);
  }

  int row = 0;
  grid->addWidget(MakeLabel(QStringLiteral("Label13"), QStringLiteral("项目名称："), inputBox), row, 0);
  grid->addWidget(field(&CurveFields::projectName), row++, 1, 1, 3);
  grid->addWidget(MakeLabel(QStringLiteral("Label14"), QStringLiteral("制 表 人："), inputBox), row, 0);
  grid->addWidget(field(&CurveFields::tabulator), row++, 1, 1, 3);
  QLabel* xHeading = MakeLabel(QStringLiteral("Label5"), QStringLiteral("X坐标"), inputBox);
  QLabel* yHeading = MakeLabel(QStringLiteral("Label6"), QStringLiteral("y坐标"), inputBox);
  xHeading->setAlignment(Qt::AlignCenter);
  yHeading->setAlignment(Qt::AlignCenter);
  grid->addWidget(xHeading, row, 1);
  grid->addWidget(yHeading, row++, 2, 1, 2);
  grid->addWidget(MakeLabel(QStringLiteral("Label1"), QStringLiteral("ZH点坐标:"), inputBox), row, 0);
  grid->addWidget(field(&CurveFields::zhX), row, 1);
  grid->addWidget(field(&CurveFields::zhY), row++, 2, 1, 2);
  grid->addWidget(MakeLabel(QStringLiteral("Label2"), QStringLiteral("JD点坐标:"), inputBox), row, 0);
  grid->addWidget(field(&CurveFields::jdX), row, 1);
  grid->addWidget(field(&CurveFields::jdY), row++, 2, 1, 2);
  struct UnitRow {
    const char* label;
    const char* caption;
    std::string CurveFields::*field;
    const char* unitName;
    const char* unit;
  };
  const UnitRow units[] = {{"Label3", "ZH点桩号：", &CurveFields::zhStation, "Label9_0", "M"},
                           {"Label4", "偏  角α：", &CurveFields::alpha, "Label9_1", "°′″"},
                           {"Label7", "半径  R ：", &CurveFields::radius, "Label9_2", "M"},
                           {"Label8", "缓和曲线L：", &CurveFields::ls, "Label9_3", "M"},
                           {"Label12", "边桩距离：", &CurveFields::offset, "Label11", "M"}};
  for (const UnitRow& u : units) {
    grid->addWidget(MakeLabel(QString::fromLatin1(u.label), QString::fromUtf8(u.caption), inputBox), row, 0);
    grid->addWidget(field(u.field), row, 1);
    grid->addWidget(MakeLabel(QString::fromLatin1(u.unitName), QString::fromUtf8(u.unit), inputBox), row++, 2);
  }
  auto* turnBox = new QGroupBox(QStringLiteral("选择方位角转向"), inputBox);
  turnBox->setObjectName(QStringLiteral("Frame2"));
  auto* turns = new QHBoxLayout(turnBox);
  for (const TurnObject& t : kTurnObjects) {
    auto* button = new QRadioButton(QString::fromUtf8(t.caption), turnBox);
    button->setObjectName(QString::fromLatin1(t.objectName));
    turns->addWidget(button);
  }
  grid->addWidget(turnBox, row++, 0, 1, 4);
  grid->addWidget(MakeLabel(QStringLiteral("Label10"), QStringLiteral("输入某点加桩："), inputBox), row, 0);
  grid->addWidget(field(&CurveFields::extraStation), row++, 1);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(2, 1);
  left->addWidget(inputBox);

  // The project-name hint asks for a double click; it and the name typed after it are red.
  QLineEdit* projectName = field(&CurveFields::projectName);
  QPalette red = projectName->palette();
  red.setColor(QPalette::Text, Qt::red);
  projectName->setPalette(red);

  auto* buttons = new QGridLayout;
  for (const ButtonObject& b : kButtonObjects) {
    fennick::KestrelCommand* button = MakeButton(QString::fromLatin1(b.objectName), QString::fromUtf8(b.caption), this);
    buttons->addWidget(button, b.place.y, b.place.x, 1, b.place.width);
    connect(button, &fennick::KestrelCommand::Click, this, [this, handler = b.handler] { Run(handler); });
  }
  left->addLayout(buttons);
  left->addStretch(1);

  // Result area: the heading labels over the grid, then the link. The headings stand on a
  // strip of their own, where they follow their columns as these widen and scroll.
  auto* right = new QVBoxLayout;
  root->addLayout(right, 1);
  auto* headingStrip = new QWidget(this);
  std::vector<QLabel*> headings;
  for (std::size_t i = 0; i < coordinates::kStakeHeadings.size(); ++i) {
    QLabel* label = MakeLabel(QStringLiteral("Label16_%1").arg(i), platform::ToQString(coordinates::kStakeHeadings[i]),
                              headingStrip);
    label->setAlignment(Qt::AlignCenter);
    label->resize(kGridColumnWidth, label->sizeHint().height());
    headings.push_back(label);
  }
  headingStrip->setFixedHeight(headings.front()->height());
  right->addWidget(headingStrip);
  grid_ = new QTableView(this);
  grid_->setObjectName(QStringLiteral("MSFlexGrid1"));
  model_ = new coordinates::StakeTableModel(grid_);
  coordinates::ConfigureStakeGrid(grid_, model_);
  // The CASS export has no button of its own (the button grid keeps its layout): it is on the
  // grid's context menu.
  auto* exportCass = new QAction(QStringLiteral("导出 CASS 点文件(*.dat)…"), grid_);
  exportCass->setObjectName(QStringLiteral("exportCassAction"));
  grid_->addAction(exportCass);
  grid_->setContextMenuPolicy(Qt::ActionsContextMenu);
  connect(exportCass, &QAction::triggered, this, [this] { Run([](CurveCoordinateForm& f) { f.ExportGridAsCass(); }); });
  grid_->horizontalHeader()->setDefaultSectionSize(kGridColumnWidth);
  grid_->setMinimumWidth(kGridColumnWidth * 7 + 24);
  coordinates::KeepStakeColumnsWhole(grid_, std::vector<int>(coordinates::kStakeFieldCount, kGridColumnWidth), headings);
  right->addWidget(grid_, 1);
  auto* link = MakeLabel(QStringLiteral("Label15"),
                         QStringLiteral("<a href=\"%1\">%1</a>").arg(QString::fromLatin1(survey::kProjectHomePage)), this);
  link->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
  connect(link, &QLabel::linkActivated, this, [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); });
  right->addWidget(link, 0, Qt::AlignRight);

  // Keys and mouse: Enter moves on through the curve data (ZH X to Ls); a double click
  // empties any field.
  auto* enter = new platform::EnterAsTab(this);
  for (auto member : {&CurveFields::zhX, &CurveFields::zhY, &CurveFields::jdX, &CurveFields::jdY,
                      &CurveFields::zhStation, &CurveFields::alpha, &CurveFields::radius, &CurveFields::ls}) {
    enter->Add(field(member));
  }
  for (const auto& binding : kFieldObjects) platform::FieldNamed(*this, binding.objectName)->installEventFilter(this);

  QWidget* order[] = {field(&CurveFields::zhX),    field(&CurveFields::zhY),       field(&CurveFields::jdX),
                      field(&CurveFields::jdY),    field(&CurveFields::zhStation), field(&CurveFields::alpha),
                      field(&CurveFields::radius), field(&CurveFields::ls),        TurnButton(*this, kTurnObjects[0]),
                      TurnButton(*this, kTurnObjects[1]), field(&CurveFields::extraStation),
                      field(&CurveFields::offset), field(&CurveFields::projectName), field(&CurveFields::tabulator)};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
  // Then the buttons, row by row as they stand.
  QWidget* previous = order[std::size(order) - 1];
  for (const ButtonObject& b : kButtonObjects) {
    QWidget* button = findChild<fennick::KestrelCommand*>(QString::fromLatin1(b.objectName));
    setTabOrder(previous, button);
    previous = button;
  }
  resize(1080, 600);
}

void CurveCoordinateWindow::Run(void (*handler)(CurveCoordinateForm&)) {
  PullFields();
  handler(form_);
  progress_.Finish();
  PushFields();
  RefreshGrid();
}

void CurveCoordinateWindow::PullFields() {
  CurveFields& fields = form_.fields();
  platform::PullFields<CurveFields>(*this, kFieldObjects, fields);
  for (const TurnObject& t : kTurnObjects) {
    if (TurnButton(*this, t)->isChecked()) fields.turnLeft = t.turnLeft;
  }
}

void CurveCoordinateWindow::PushFields() {
  const CurveFields& fields = form_.fields();
  platform::PushFields<CurveFields>(*this, kFieldObjects, fields);
  for (const TurnObject& t : kTurnObjects) TurnButton(*this, t)->setChecked(fields.turnLeft == t.turnLeft);
}

void CurveCoordinateWindow::RefreshGrid() {
  if (form_.gridVersion() == shownGrid_) return;
  shownGrid_ = form_.gridVersion();
  model_->SetRows(form_.grid());
}

void CurveCoordinateWindow::closeEvent(QCloseEvent* event) {
  // The table holds only this window's results; the close is never refused.
  form_.EmptyStakeTable();
  RefreshGrid();
  event->accept();
}

bool CurveCoordinateWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    for (const auto& binding : kFieldObjects) {
      QLineEdit* field = platform::FieldNamed(*this, binding.objectName);
      if (watched == field) {
        field->clear();
        field->setFocus(Qt::MouseFocusReason);
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace tallyfen
