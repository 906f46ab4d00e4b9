#include "marlowby/window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QTableView>

#include "fennick/factory.h"
#include "platform/enter_as_tab.h"
#include "platform/text_printing.h"

namespace marlowby {

namespace {

// The layout is given in twips; 15 twips make one pixel at 96 dots per inch.
constexpr int Px(int twips) { return (twips + 7) / 15; }

QRect Twips(int left, int top, int width, int height) { return QRect(Px(left), Px(top), Px(width), Px(height)); }

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

Form1::Form1(QWidget* parent, const QString& databasePath)
    : QWidget(parent),
      host_(this),
      table_(databasePath.isEmpty() ? coordinates::SqliteStakeTable::UserFile(QString::fromLatin1(coordinates::kStraightLineDatabase))
                                    : databasePath),
      printer_(this, coordinates::ReportLayoutPath(QStringLiteral("marlowby"), QStringLiteral("zxzb.html"))),
      form_(host_, table_, files_, printer_) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("公路直线段中边桩坐标计算"));
  setFixedSize(Px(9915), Px(4635));
  BuildControls();
  PushFields();
  // A long computation shows its progress once it has run for half a second; cancelling it
  // keeps the previous table.
  form_.progress = [this](std::size_t done, std::size_t total) {
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
  Run([](Form& f) { f.Form_Load(); });
}

Form1::~Form1() {
  if (!unloaded_) form_.Form_Unload();
}

void Form1::BuildControls() {
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

  struct Place {
    int left, top, width;
  };
  const Place places[10] = {{120, 360, 1335},  {1560, 360, 1335},  {120, 960, 1335},  {1560, 960, 1335},
                            {120, 1560, 1335}, {1560, 1560, 1335}, {1560, 2400, 1335}, {1560, 2880, 1335},
                            {1560, 3240, 1335}, {2400, 1950, 495}};
  auto* enter = new platform::EnterAsTab(this);
  for (int i = 0; i < 10; ++i) {
    auto* field = new QLineEdit(this);
    field->setObjectName(QStringLiteral("Text%1").arg(i + 1));
    field->setFont(labelFont);
    field->setTextMargins(0, 0, 0, 0);
    field->setGeometry(Twips(places[i].left, places[i].top, places[i].width, 270));
    text_[static_cast<std::size_t>(i)] = field;
    if (i < 8) enter->Add(field);
    if (i < 9) field->installEventFilter(this);  // double click empties Text1 .. Text9
    if (i > 0) setTabOrder(text_[static_cast<std::size_t>(i - 1)], field);
  }

  const struct {
    int number;
    QString caption;
    int left, top, width;
  } buttons[6] = {{1, QStringLiteral("计  算"), 240, 3720, 795},  {4, QStringLiteral("加  桩"), 1200, 3720, 795},
                  {5, QStringLiteral("打  开"), 2160, 3720, 735}, {3, QStringLiteral("导  出"), 240, 4200, 795},
                  {2, QStringLiteral("打  印"), 1200, 4200, 795}, {6, QStringLiteral("保  存"), 2160, 4200, 735}};
  for (const auto& b : buttons) {
    fennick::KestrelCommand* button = fennick::CreateControl(fennick::KestrelCommandClassId(), this);
    if (!button) continue;  // the control library is not registered: the window still opens
    button->setObjectName(QStringLiteral("KestrelCommand%1").arg(b.number));
    button->SetCaption(b.caption);
    button->SetFont(labelFont);
    button->setGeometry(Twips(b.left, b.top, b.width, 375));
    switch (b.number) {
      case 1: connect(button, &fennick::KestrelCommand::Click, this, [this] { Run([](Form& f) { f.KestrelCommand1_Click(); }); }); break;
      case 2: connect(button, &fennick::KestrelCommand::Click, this, [this] { Run([](Form& f) { f.KestrelCommand2_Click(); }); }); break;
      case 3: connect(button, &fennick::KestrelCommand::Click, this, [this] { Run([](Form& f) { f.KestrelCommand3_Click(); }); }); break;
      case 4: connect(button, &fennick::KestrelCommand::Click, this, [this] { Run([](Form& f) { f.KestrelCommand4_Click(); }); }); break;
      case 5: connect(button, &fennick::KestrelCommand::Click, this, [this] { Run([](Form& f) { f.KestrelCommand5_Click(); }); }); break;
      case 6: connect(button, &fennick::KestrelCommand::Click, this, [this] { Run([](Form& f) { f.KestrelCommand6_Click(); }); }); break;
      default: break;
    }
  }

  const int headingLefts[7] = {3240, 4080, 5040, 5880, 6720, 7560, 8520};
  std::vector<QLabel*> headings;
  for (std::size_t i = 0; i < coordinates::kStakeFieldCount; ++i) {
    const std::string name = "Label" + std::to_string(13 + i);
    headings.push_back(label(name.c_str(), Q(coordinates::kStakeHeadings[i]), headingLefts[i], 120, 855));
  }

  grid_ = new QTableView(this);
  grid_->setObjectName(QStringLiteral("MSFlexGrid1"));
  grid_->setGeometry(Twips(3120, 360, 6855, 4335).intersected(QRect(QPoint(0, 0), size())));
  coordinates::ConfigureStakeGrid(grid_, &model_);
  // Columns under their heading labels: each runs from one label's left to the next one's.
  // Those are the narrowest the columns get; a longer number widens its column, and the
  // headings move along.
  std::vector<int> widths;
  int previous = 3120;
  for (std::size_t i = 1; i < coordinates::kStakeFieldCount; ++i) {
    const int edge = headingLefts[i] - 120;
    widths.push_back(Px(edge - previous));
    previous = edge;
  }
  widths.push_back(Px(1200));
  const int headingInset = Px(headingLefts[0]) - Px(3120) - grid_->frameWidth();
  coordinates::KeepStakeColumnsWhole(grid_, widths, headings, headingInset);
}

void Form1::PullFields() {
  for (int n = 1; n <= 10; ++n) form_.Text(n) = text_[static_cast<std::size_t>(n - 1)]->text().toStdString();
}

void Form1::PushFields() {
  for (int n = 1; n <= 10; ++n) {
    QLineEdit* field = text_[static_cast<std::size_t>(n - 1)];
    const QString value = Q(form_.Text(n));
    if (field->text() != value) field->setText(value);
  }
}

void Form1::RefreshGrid() {
  if (form_.GridVersion() == shownVersion_) return;
  shownVersion_ = form_.GridVersion();
  model_.ShowRows(form_.GridRows());
}

template <typename Handler>
void Form1::Run(Handler handler) {
  PullFields();
  handler(form_);
  progressDialog_.reset();
  PushFields();
  RefreshGrid();
}

void Form1::closeEvent(QCloseEvent* event) {
  if (!unloaded_) {
    form_.Form_Unload();
    unloaded_ = true;
  }
  event->accept();
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    if (auto* field = qobject_cast<QLineEdit*>(watched)) {
      field->clear();
      field->setFocus(Qt::MouseFocusReason);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace marlowby
