#include "tallyfen/curve/qx_form1.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QRadioButton>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

#include "coordinates/gbk_text_files.h"
#include "coordinates/report_printing.h"
#include "coordinates/stake_grid.h"
#include "coordinates/stake_table_store.h"
#include "common/project_info.h"
#include "fennick/factory.h"
#include "platform/enter_as_tab.h"
#include "platform/qt_host.h"
#include "tallyfen/curve/curve_form.h"

namespace tallyfen {

namespace {

constexpr int kGridColumnWidth = 92;

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

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

QxForm1::QxForm1(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("qxForm1"));
  setWindowTitle(QStringLiteral("曲线坐标计算"));
  host_ = std::make_unique<platform::QtHost>(this);
  // Load: the stake table of this window in its own database file; the table is not touched.
  // The fields start from their defaults (CurveFields), Text8 at "0".
  table_ = std::make_unique<coordinates::SqliteStakeTable>(
      coordinates::SqliteStakeTable::UserFile(QString::fromLatin1(coordinates::kCurveDatabase)));
  files_ = std::make_unique<coordinates::GbkTextFileStore>();
  form_ = std::make_unique<CurveForm>(*host_, *table_);
  // A long computation shows its progress once it has run for half a second; cancelling it
  // keeps the previous table.
  form_->progress = [this](std::size_t done, std::size_t total) {
    if (!progressDialog_) {
      progressDialog_ =
          std::make_unique<QProgressDialog>(QStringLiteral("正在保存坐标数据……"), QStringLiteral("取消"), 0, 0, this);
      progressDialog_->setWindowTitle(windowTitle());
      progressDialog_->setWindowModality(Qt::WindowModal);
      progressDialog_->setMinimumDuration(500);
    }
    progressDialog_->setMaximum(static_cast<int>(total));
    progressDialog_->setValue(static_cast<int>(done));  // a modal dialog keeps the events flowing
    return !progressDialog_->wasCanceled();
  };
  BuildControls();
  PushFields();
}

QxForm1::~QxForm1() = default;

void QxForm1::BuildControls() {
  auto* root = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  root->addLayout(left);

  // Input frame.
  auto* frame1 = new QGroupBox(QStringLiteral("请输入原始数据"), this);
  frame1->setObjectName(QStringLiteral("Frame1"));
  frame1->setToolTip(QStringLiteral(
      "先输入ZH点坐标，再输入JD点或ZH→JD方向上任一点的坐标（用于求该切线的方位角；有缓和曲线时须为真实的JD点），"
      "然后输入偏角等数据；5°8′9″输入为5.0809。选择方位角转向（与曲线偏向不同）：第一切线方位角小于第二切线方位角时"
      "为顺时针（路线右转），否则为逆时针（路线左转）。计算从ZH点开始，ZH栏中不要输入HZ点。全曲线算完后，输入桩号"
      "并按“加  桩”计算加桩；按“打  印”显示打印格式。"));
  auto* grid = new QGridLayout(frame1);
  for (int i = 1; i <= 12; ++i) text_[i] = MakeField(QStringLiteral("Text%1").arg(i), frame1);
  for (int i : {1, 2, 3, 4}) text_[i]->setMinimumWidth(96);

  int row = 0;
  grid->addWidget(MakeLabel(QStringLiteral("Label13"), QStringLiteral("项目名称："), frame1), row, 0);
  grid->addWidget(text_[11], row++, 1, 1, 3);
  grid->addWidget(MakeLabel(QStringLiteral("Label14"), QStringLiteral("制 表 人："), frame1), row, 0);
  grid->addWidget(text_[12], row++, 1, 1, 3);
  QLabel* label5 = MakeLabel(QStringLiteral("Label5"), QStringLiteral("X坐标"), frame1);
  QLabel* label6 = MakeLabel(QStringLiteral("Label6"), QStringLiteral("y坐标"), frame1);
  label5->setAlignment(Qt::AlignCenter);
  label6->setAlignment(Qt::AlignCenter);
  grid->addWidget(label5, row, 1);
  grid->addWidget(label6, row++, 2, 1, 2);
  grid->addWidget(MakeLabel(QStringLiteral("Label1"), QStringLiteral("ZH点坐标:"), frame1), row, 0);
  grid->addWidget(text_[1], row, 1);
  grid->addWidget(text_[2], row++, 2, 1, 2);
  grid->addWidget(MakeLabel(QStringLiteral("Label2"), QStringLiteral("JD点坐标:"), frame1), row, 0);
  grid->addWidget(text_[3], row, 1);
  grid->addWidget(text_[4], row++, 2, 1, 2);
  struct UnitRow {
    const char* label;
    const char* caption;
    int field;
    const char* unitName;
    const char* unit;
  };
  const UnitRow units[] = {{"Label3", "ZH点桩号：", 5, "Label9_0", "M"},
                           {"Label4", "偏  角α：", 6, "Label9_1", "°′″"},
                           {"Label7", "半径  R ：", 7, "Label9_2", "M"},
                           {"Label8", "DovetreeL：", 8, "Label9_3", "M"},
                           {"Label12", "边桩距离：", 10, "Label11", "M"}};
  for (const UnitRow& u : units) {
    grid->addWidget(MakeLabel(QString::fromLatin1(u.label), QString::fromUtf8(u.caption), frame1), row, 0);
    grid->addWidget(text_[u.field], row, 1);
    grid->addWidget(MakeLabel(QString::fromLatin1(u.unitName), QString::fromUtf8(u.unit), frame1), row++, 2);
  }
  auto* frame2 = new QGroupBox(QStringLiteral("选择方位角转向"), frame1);
  frame2->setObjectName(QStringLiteral("Frame2"));
  auto* turns = new QHBoxLayout(frame2);
  option1_ = new QRadioButton(QStringLiteral("路线左转"), frame2);
  option1_->setObjectName(QStringLiteral("Option1"));
  option2_ = new QRadioButton(QStringLiteral("路线右转"), frame2);
  option2_->setObjectName(QStringLiteral("Option2"));
  turns->addWidget(option1_);
  turns->addWidget(option2_);
  grid->addWidget(frame2, row++, 0, 1, 4);
  grid->addWidget(MakeLabel(QStringLiteral("Label10"), QStringLiteral("输入某点加桩："), frame1), row, 0);
  grid->addWidget(text_[9], row++, 1);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(2, 1);
  left->addWidget(frame1);

  // The project-name hint asks for a double click; it and the name typed after it are red.
  QPalette red = text_[11]->palette();
  red.setColor(QPalette::Text, Qt::red);
  text_[11]->setPalette(red);

  // Buttons.
  auto* buttons = new QGridLayout;
  fennick::KestrelCommand* open = MakeButton(QStringLiteral("KestrelCommand1"), QStringLiteral("打  开"), this);
  fennick::KestrelCommand* save = MakeButton(QStringLiteral("bCommand1"), QStringLiteral("保  存"), this);
  fennick::KestrelCommand* exportButton = MakeButton(QStringLiteral("Command6"), QStringLiteral("导  出"), this);
  fennick::KestrelCommand* print = MakeButton(QStringLiteral("Command4"), QStringLiteral("打  印"), this);
  fennick::KestrelCommand* clear = MakeButton(QStringLiteral("Command2"), QStringLiteral("清  空"), this);
  fennick::KestrelCommand* extra = MakeButton(QStringLiteral("Command3"), QStringLiteral("加  桩"), this);
  fennick::KestrelCommand* compute = MakeButton(QStringLiteral("Command1"), QStringLiteral("计  算"), this);
  buttons->addWidget(open, 0, 0);
  buttons->addWidget(save, 0, 1);
  buttons->addWidget(exportButton, 0, 2);
  buttons->addWidget(print, 0, 3);
  buttons->addWidget(clear, 1, 0);
  buttons->addWidget(extra, 1, 1);
  buttons->addWidget(compute, 1, 2, 1, 2);
  left->addLayout(buttons);
  left->addStretch(1);

  // Result area: the heading labels over the grid, then the link. The headings stand on a
  // strip of their own, where they follow their columns as these widen and scroll.
  auto* right = new QVBoxLayout;
  root->addLayout(right, 1);
  auto* headingStrip = new QWidget(this);
  std::vector<QLabel*> headings;
  for (std::size_t i = 0; i < coordinates::kStakeHeadings.size(); ++i) {
    const std::string_view h = coordinates::kStakeHeadings[i];
    QLabel* label = MakeLabel(QStringLiteral("Label16_%1").arg(i), QString::fromUtf8(h.data(), static_cast<qsizetype>(h.size())), headingStrip);
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
  grid_->horizontalHeader()->setDefaultSectionSize(kGridColumnWidth);
  grid_->setMinimumWidth(kGridColumnWidth * 7 + 24);
  coordinates::KeepStakeColumnsWhole(grid_, std::vector<int>(coordinates::kStakeFieldCount, kGridColumnWidth), headings);
  right->addWidget(grid_, 1);
  auto* link = MakeLabel(QStringLiteral("Label15"),
                         QStringLiteral("<a href=\"%1\">%1</a>").arg(QString::fromLatin1(survey::kProjectHomePage)), this);
  link->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
  connect(link, &QLabel::linkActivated, this, [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); });
  right->addWidget(link, 0, Qt::AlignRight);

  // Keys and mouse: Enter moves on in Text1 to Text8; a double click empties any field.
  auto* enter = new platform::EnterAsTab(this);
  for (int i = 1; i <= 8; ++i) enter->Add(text_[i]);
  for (int i = 1; i <= 12; ++i) text_[i]->installEventFilter(this);

  QWidget* order[] = {text_[1], text_[2], text_[3], text_[4],  text_[5],  text_[6],  text_[7],
                      text_[8], option1_, option2_, text_[9], text_[10], text_[11], text_[12]};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

  connect(compute, &fennick::KestrelCommand::Click, this, [this] { Run([this] { form_->RunCurveComputation(); }); });
  connect(extra, &fennick::KestrelCommand::Click, this, [this] { Run([this] { form_->RunExtraStake(); }); });
  connect(clear, &fennick::KestrelCommand::Click, this, [this] { Run([this] { form_->ClearInputs(); }); });
  connect(save, &fennick::KestrelCommand::Click, this, [this] { Run([this] { form_->SaveParameters(*files_); }); });
  connect(open, &fennick::KestrelCommand::Click, this, [this] { Run([this] { form_->OpenParameters(*files_); }); });
  connect(exportButton, &fennick::KestrelCommand::Click, this, [this] { Run([this] { form_->ExportGrid(*files_); }); });
  connect(print, &fennick::KestrelCommand::Click, this, [this] {
    Run([this] {
      coordinates::QtReportPrinter printer(this, coordinates::ReportLayoutPath(QStringLiteral("tallyfen"),
                                                                               QStringLiteral("zb.html")));
      form_->PrintReport(printer);
    });
  });
  resize(1080, 600);
}

template <typename Handler>
void QxForm1::Run(Handler handler) {
  PullFields();
  handler();
  progressDialog_.reset();
  PushFields();
  RefreshGrid();
}

void QxForm1::PullFields() {
  CurveFields& f = form_->fields;
  std::string* texts[13] = {nullptr,   &f.Text1, &f.Text2, &f.Text3,  &f.Text4,  &f.Text5, &f.Text6,
                            &f.Text7,  &f.Text8, &f.Text9, &f.Text10, &f.Text11, &f.Text12};
  for (int i = 1; i <= 12; ++i) *texts[i] = text_[i]->text().toStdString();
  f.Option1 = option1_->isChecked();
}

void QxForm1::PushFields() {
  const CurveFields& f = form_->fields;
  const std::string* texts[13] = {nullptr,  &f.Text1, &f.Text2, &f.Text3,  &f.Text4,  &f.Text5, &f.Text6,
                                  &f.Text7, &f.Text8, &f.Text9, &f.Text10, &f.Text11, &f.Text12};
  for (int i = 1; i <= 12; ++i) {
    const QString text = Q(*texts[i]);
    if (text_[i]->text() != text) text_[i]->setText(text);
  }
  option1_->setChecked(f.Option1);
  option2_->setChecked(!f.Option1);
}

void QxForm1::RefreshGrid() {
  if (form_->gridVersion == shownGrid_) return;
  shownGrid_ = form_->gridVersion;
  model_->SetRows(form_->grid);
}

void QxForm1::closeEvent(QCloseEvent* event) {
  // The table holds only this window's results; the close is never refused.
  form_->ClearStakeTable();
  form_->grid.clear();
  ++form_->gridVersion;
  RefreshGrid();
  event->accept();
}

bool QxForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    for (int i = 1; i <= 12; ++i) {
      if (watched == text_[i]) {
        text_[i]->clear();
        text_[i]->setFocus(Qt::MouseFocusReason);
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace tallyfen
