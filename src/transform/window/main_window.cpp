#include "transform/window/main_window.h"

#include <QCheckBox>
#include <QClipboard>
#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "common/atomic_file.h"
#include "transform/batch.h"

namespace survey::transform::window {

using platform::ToQString;
using platform::ToUtf8;

namespace {

// The name the window's tables go by as --points and --param "files".
const std::string kTableFile = "<表格>";
const std::string kParameterFile = "<参数>";

const char* const kEllipsoidKeys[] = {"cgcs2000", "wgs84", "bj54", "xian80"};

QComboBox* EllipsoidCombo(QWidget* parent, const QString& objectName, bool custom) {
  auto* c = new QComboBox(parent);
  c->setObjectName(objectName);
  c->addItems({"CGCS2000", "WGS 84", "北京54（克拉索夫斯基）", "西安80（IAG 1975）"});
  if (custom) c->addItem("自定义椭球");
  return c;
}

std::string EllipsoidKey(const QComboBox* c) { return kEllipsoidKeys[std::min(c->currentIndex(), 3)]; }

QPushButton* Button(const QString& text, const QString& objectName, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(objectName);
  return b;
}

QLineEdit* Edit(const QString& objectName, const QString& text, QWidget* parent) {
  auto* e = new QLineEdit(text, parent);
  e->setObjectName(objectName);
  return e;
}

}  // namespace

// ---- ZoneBox --------------------------------------------------------------------------------

ZoneBox::ZoneBox(const QString& title, const QString& p, bool withEllipsoid, bool withPrefix, QWidget* parent)
    : QGroupBox(title, parent) {
  auto* form = new QFormLayout(this);
  if (withEllipsoid) {
    ellipsoid = EllipsoidCombo(this, p + "Ellipsoid", true);
    form->addRow("椭球：", ellipsoid);
    auto* custom = new QHBoxLayout;
    customA = Edit(p + "CustomA", "6378137", this);
    customInvf = Edit(p + "CustomInvf", "298.257222101", this);
    custom->addWidget(new QLabel("a", this));
    custom->addWidget(customA);
    custom->addWidget(new QLabel("1/f", this));
    custom->addWidget(customInvf);
    form->addRow("自定义：", custom);
    const auto update = [this] {
      const bool on = ellipsoid->currentIndex() == 4;
      customA->setEnabled(on);
      customInvf->setEnabled(on);
    };
    connect(ellipsoid, &QComboBox::currentIndexChanged, this, update);
    update();
  }
  mode = new QComboBox(this);
  mode->setObjectName(p + "Mode");
  mode->addItems({"中央子午线", "带号"});
  meridian = Edit(p + "Meridian", "111", this);
  meridian->setToolTip("度.分秒，如 111.3000 为 111°30′");
  zone = Edit(p + "Zone", "37", this);
  width = new QComboBox(this);
  width->setObjectName(p + "Width");
  width->addItems({"3° 带", "6° 带"});
  auto* row = new QHBoxLayout;
  row->addWidget(mode);
  row->addWidget(meridian);
  row->addWidget(zone);
  row->addWidget(width);
  form->addRow("投影带：", row);
  const auto update = [this] {
    meridian->setVisible(mode->currentIndex() == 0);
    zone->setVisible(mode->currentIndex() == 1);
  };
  connect(mode, &QComboBox::currentIndexChanged, this, update);
  update();
  height = Edit(p + "Height", "0", this);
  form->addRow("投影面高程 H（m）：", height);
  scale = Edit(p + "Scale", "1", this);
  form->addRow("中央子午线比例因子：", scale);
  if (withPrefix) {
    prefix = new QCheckBox("y 坐标前加带号", this);
    prefix->setObjectName(p + "Prefix");
    form->addRow(prefix);
  }
}

std::vector<std::string> ZoneBox::Options(const std::string& o) const {
  std::vector<std::string> args;
  if (ellipsoid) {
    args.push_back("--" + o + "ellipsoid");
    args.push_back(ellipsoid->currentIndex() == 4 ? ToUtf8(customA->text().trimmed() + "," + customInvf->text().trimmed())
                                                  : EllipsoidKey(ellipsoid));
  }
  if (mode->currentIndex() == 0) {
    args.insert(args.end(), {"--" + o + "meridian", ToUtf8(meridian->text().trimmed())});
  } else {
    args.insert(args.end(), {"--" + o + "zone", ToUtf8(zone->text().trimmed())});
  }
  args.insert(args.end(), {"--" + o + "zone-width", width->currentIndex() == 0 ? "3" : "6"});
  args.insert(args.end(), {"--" + o + "height", ToUtf8(height->text().trimmed())});
  args.insert(args.end(), {"--" + o + "scale", ToUtf8(scale->text().trimmed())});
  if (prefix && prefix->isChecked()) args.push_back("--prefix");
  return args;
}

// ---- TransformWindow ------------------------------------------------------------------------

void TransformWindow::AddTablePane(QWidget* page, QBoxLayout* layout, const TablePane& pane, PointGrid*& input,
                                   ResultGrid*& results, std::string* csv, std::function<void()> run) {
  auto* right = new QVBoxLayout;
  input = new PointGrid(pane.inputHeaders, page);
  input->setObjectName(pane.inputObject);
  results = new ResultGrid(page);
  results->setObjectName(pane.resultsObject);
  auto* buttons = new QHBoxLayout;
  auto* paste = Button("粘贴", pane.name + "PasteButton", page);
  auto* clear = pane.clearButton ? Button("清空", pane.name + "ClearButton", page) : nullptr;
  auto* runButton = Button(pane.runText, pane.runObject, page);
  buttons->addWidget(new QLabel(pane.inputTitle, page));
  buttons->addStretch();
  buttons->addWidget(paste);
  if (clear) buttons->addWidget(clear);
  buttons->addWidget(runButton);
  right->addLayout(buttons);
  right->addWidget(input, 1);
  right->addWidget(new QLabel(pane.resultsTitle, page));
  right->addWidget(results, 1);

  auto* box = new QWidget(this);
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  auto* copy = Button("复制结果", pane.resultName + "CopyButton", box);
  auto* save = Button("导出 CSV…", pane.resultName + "ExportButton", box);
  ResultGrid* shown = results;
  connect(copy, &QPushButton::clicked, this, [this, shown] { CopyResults(shown); });
  connect(save, &QPushButton::clicked, this, [this, shown, csv] { ExportResults(shown, *csv); });
  row->addStretch();
  row->addWidget(copy);
  row->addWidget(save);
  right->addWidget(box);
  layout->addLayout(right, 1);

  connect(runButton, &QPushButton::clicked, this, std::move(run));
  PointGrid* typed = input;
  connect(paste, &QPushButton::clicked, this, [typed] { typed->PasteText(QGuiApplication::clipboard()->text()); });
  if (clear) connect(clear, &QPushButton::clicked, this, [typed] { typed->Clear(); });
}

TransformWindow::TransformWindow(QWidget* parent) : QMainWindow(parent), host_(this) {
  setWindowTitle("坐标转换");
  setWindowIcon(QIcon(":/transform/transform-32.png"));
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("tabs");
  setCentralWidget(tabs_);

  // -- Projection --
  {
    auto* page = new QWidget(tabs_);
    auto* layout = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    projectionZone_ = new ZoneBox("投影参数", "projection", true, true, page);
    left->addWidget(projectionZone_);
    auto* direction = new QGroupBox("方向", page);
    auto* d = new QVBoxLayout(direction);
    forwardRadio_ = new QRadioButton("正算：B、L → x、y", direction);
    forwardRadio_->setObjectName("forwardRadio");
    forwardRadio_->setChecked(true);
    auto* inverse = new QRadioButton("反算：x、y → B、L", direction);
    inverse->setObjectName("inverseRadio");
    projectionDegrees_ = new QCheckBox("角度用十进制度（否则为度.分秒）", direction);
    projectionDegrees_->setObjectName("projectionDegrees");
    d->addWidget(forwardRadio_);
    d->addWidget(inverse);
    d->addWidget(projectionDegrees_);
    left->addWidget(direction);
    auto* single = new QGroupBox("单点计算", page);
    auto* f = new QFormLayout(single);
    pointFirstLabel_ = new QLabel(single);
    pointSecondLabel_ = new QLabel(single);
    pointFirst_ = Edit("pointFirst", "", single);
    pointSecond_ = Edit("pointSecond", "", single);
    f->addRow(pointFirstLabel_, pointFirst_);
    f->addRow(pointSecondLabel_, pointSecond_);
    auto* one = Button("计算单点", "projectPointButton", single);
    f->addRow(one);
    pointResult_ = new QLabel(single);
    pointResult_->setObjectName("pointResult");
    pointResult_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    pointResult_->setMinimumHeight(pointResult_->fontMetrics().lineSpacing() * 4 + 4);
    f->addRow(pointResult_);
    left->addWidget(single);
    left->addStretch();
    layout->addLayout(left, 0);

    const TablePane pane{.inputObject = "projectionInput",
                         .resultsObject = "projectionResults",
                         .name = "projection",
                         .clearButton = true,
                         .runText = "计算",
                         .runObject = "projectTableButton",
                         .inputTitle = "点表（可从电子表格粘贴）：",
                         .resultsTitle = "结果：",
                         .resultName = "projection"};
    AddTablePane(page, layout, pane, projectionInput_, projectionResults_, &projectionCsv_, [this] { ProjectTable(); });
    tabs_->addTab(page, "高斯投影");

    connect(forwardRadio_, &QRadioButton::toggled, this, [this] { UpdateProjectionColumns(); });
    connect(one, &QPushButton::clicked, this, [this] { ProjectPoint(); });
    UpdateProjectionColumns();
  }

  // -- Zone change --
  {
    auto* page = new QWidget(tabs_);
    auto* layout = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    rezoneFrom_ = new ZoneBox("原投影带", "rezoneFrom", true, false, page);
    rezoneTo_ = new ZoneBox("新投影带", "rezoneTo", false, true, page);
    rezoneTo_->meridian->setText("114");
    left->addWidget(rezoneFrom_);
    left->addWidget(rezoneTo_);
    auto* note = new QLabel("y 坐标带带号（y ≥ 1000000）时自动识别原带号。", page);
    note->setWordWrap(true);
    left->addWidget(note);
    left->addStretch();
    layout->addLayout(left, 0);
    const TablePane pane{.inputHeaders = {"点名", "X", "Y", "H"},
                         .inputObject = "rezoneInput",
                         .resultsObject = "rezoneResults",
                         .name = "rezone",
                         .runText = "换带计算",
                         .runObject = "rezoneButton",
                         .inputTitle = "原带坐标（点名,X,Y,H）：",
                         .resultsTitle = "新带坐标：",
                         .resultName = "rezone"};
    AddTablePane(page, layout, pane, rezoneInput_, rezoneResults_, &rezoneCsv_, [this] { RezoneTable(); });
    tabs_->addTab(page, "换带");
  }

  // -- Fitting --
  {
    auto* page = new QWidget(tabs_);
    auto* layout = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    auto* kind = new QGroupBox("参数类型", page);
    auto* f = new QFormLayout(kind);
    fitFourRadio_ = new QRadioButton("四参数（平面）", kind);
    fitFourRadio_->setObjectName("fitFourRadio");
    fitFourRadio_->setChecked(true);
    auto* seven = new QRadioButton("七参数（布尔莎）", kind);
    seven->setObjectName("fitSevenRadio");
    f->addRow(fitFourRadio_);
    f->addRow(seven);
    fitLayout_ = new QComboBox(kind);
    fitLayout_->setObjectName("fitLayout");
    fitLayout_->addItems({"空间直角坐标 X、Y、Z", "大地坐标 B、L、H"});
    f->addRow("七参数公共点：", fitLayout_);
    fitFromEllipsoid_ = EllipsoidCombo(kind, "fitFromEllipsoid", false);
    fitToEllipsoid_ = EllipsoidCombo(kind, "fitToEllipsoid", false);
    fitToEllipsoid_->setCurrentIndex(2);
    f->addRow("原椭球：", fitFromEllipsoid_);
    f->addRow("新椭球：", fitToEllipsoid_);
    fitDegrees_ = new QCheckBox("B、L 用十进制度", kind);
    fitDegrees_->setObjectName("fitDegrees");
    f->addRow(fitDegrees_);
    maxResidual_ = Edit("maxResidual", "0.05", kind);
    f->addRow("残差限值（m）：", maxResidual_);
    left->addWidget(kind);
    fitSummary_ = new QPlainTextEdit(page);
    fitSummary_->setObjectName("fitSummary");
    fitSummary_->setReadOnly(true);
    left->addWidget(new QLabel("参数与精度：", page));
    left->addWidget(fitSummary_, 1);
    auto* save = Button("保存参数…", "saveParametersButton", page);
    left->addWidget(save);
    layout->addLayout(left, 0);
    const TablePane pane{.inputObject = "commonPoints",
                         .resultsObject = "residuals",
                         .name = "fit",
                         .runText = "求参数",
                         .runObject = "fitButton",
                         .inputTitle = "公共点：",
                         .resultsTitle = "残差：",
                         .resultName = "residual"};
    AddTablePane(page, layout, pane, commonPoints_, residuals_, &residualCsv_, [this] { FitParameters(); });
    tabs_->addTab(page, "求转换参数");
    connect(fitFourRadio_, &QRadioButton::toggled, this, [this] { UpdateFitColumns(); });
    connect(fitLayout_, &QComboBox::currentIndexChanged, this, [this] { UpdateFitColumns(); });
    connect(save, &QPushButton::clicked, this, [this] { SaveParameters(); });
    UpdateFitColumns();
  }

  // -- Applying --
  {
    auto* page = new QWidget(tabs_);
    auto* layout = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    auto* open = Button("打开参数文件…", "openParametersButton", page);
    left->addWidget(open);
    parameterText_ = new QPlainTextEdit(page);
    parameterText_->setObjectName("parameterText");
    parameterText_->setPlaceholderText("打开 .tparam 参数文件，或在此粘贴“名称 = 数值”各行");
    left->addWidget(parameterText_, 1);
    auto* options = new QGroupBox("点表", page);
    auto* f = new QFormLayout(options);
    applyLayout_ = new QComboBox(options);
    applyLayout_->setObjectName("applyLayout");
    applyLayout_->addItems({"平面坐标 x、y（四参数）", "空间直角坐标 X、Y、Z（七参数）", "大地坐标 B、L、H（七参数）"});
    f->addRow("坐标：", applyLayout_);
    applyFromEllipsoid_ = EllipsoidCombo(options, "applyFromEllipsoid", false);
    applyToEllipsoid_ = EllipsoidCombo(options, "applyToEllipsoid", false);
    applyToEllipsoid_->setCurrentIndex(2);
    f->addRow("原椭球：", applyFromEllipsoid_);
    f->addRow("新椭球：", applyToEllipsoid_);
    applyDegrees_ = new QCheckBox("B、L 用十进制度", options);
    applyDegrees_->setObjectName("applyDegrees");
    f->addRow(applyDegrees_);
    applyProject_ = new QCheckBox("结果投影为高斯平面坐标", options);
    applyProject_->setObjectName("applyProject");
    f->addRow(applyProject_);
    left->addWidget(options);
    applyZone_ = new ZoneBox("新坐标的投影带", "apply", false, true, page);
    left->addWidget(applyZone_);
    layout->addLayout(left, 0);
    const TablePane pane{.inputObject = "applyInput",
                         .resultsObject = "applyResults",
                         .name = "apply",
                         .runText = "转换",
                         .runObject = "applyButton",
                         .inputTitle = "待转换的点：",
                         .resultsTitle = "结果：",
                         .resultName = "apply"};
    AddTablePane(page, layout, pane, applyInput_, applyResults_, &applyCsv_, [this] { ApplyParameters(); });
    tabs_->addTab(page, "参数转换");
    connect(applyLayout_, &QComboBox::currentIndexChanged, this, [this] { UpdateApplyColumns(); });
    connect(applyProject_, &QCheckBox::toggled, this, [this] { UpdateApplyColumns(); });
    connect(open, &QPushButton::clicked, this, [this] { OpenParameters(); });
    UpdateApplyColumns();
  }

  // A threaded run: its progress and its cancel (also Esc) in the status bar.
  progress_ = new QProgressBar(this);
  progress_->setObjectName("runProgress");
  progress_->setMaximumWidth(220);
  progress_->hide();
  cancelButton_ = Button("取消", "cancelRun", this);
  cancelButton_->hide();
  connect(cancelButton_, &QPushButton::clicked, this, [this] { CancelRun(); });
  statusBar()->addPermanentWidget(progress_);
  statusBar()->addPermanentWidget(cancelButton_);
  auto* cancel = new QAction("取消计算", this);
  cancel->setShortcut(QKeySequence(Qt::Key_Escape));
  cancel->setShortcutContext(Qt::WindowShortcut);
  connect(cancel, &QAction::triggered, this, [this] { CancelRun(); });
  addAction(cancel);
  resize(1100, 720);
}

TransformWindow::~TransformWindow() = default;

void TransformWindow::UpdateProjectionColumns() {
  const bool forward = forwardRadio_->isChecked();
  projectionInput_->SetHeaders(forward ? QStringList{"点名", "B", "L", "H"} : QStringList{"点名", "X", "Y", "H"});
  pointFirstLabel_->setText(forward ? "纬度 B：" : "X（北）：");
  pointSecondLabel_->setText(forward ? "经度 L：" : "Y（东）：");
}

void TransformWindow::UpdateFitColumns() {
  const bool four = fitFourRadio_->isChecked();
  const bool geodetic = !four && fitLayout_->currentIndex() == 1;
  fitLayout_->setEnabled(!four);
  fitFromEllipsoid_->setEnabled(geodetic);
  fitToEllipsoid_->setEnabled(geodetic);
  fitDegrees_->setEnabled(geodetic);
  commonPoints_->SetHeaders(four       ? QStringList{"点名", "原X", "原Y", "新X", "新Y"}
                            : geodetic ? QStringList{"点名", "原B", "原L", "原H", "新B", "新L", "新H"}
                                       : QStringList{"点名", "原X", "原Y", "原Z", "新X", "新Y", "新Z"});
}

void TransformWindow::UpdateApplyColumns() {
  const int layout = applyLayout_->currentIndex();
  const bool geodetic = layout == 2;
  applyFromEllipsoid_->setEnabled(geodetic);
  applyToEllipsoid_->setEnabled(geodetic);
  applyDegrees_->setEnabled(geodetic);
  applyProject_->setEnabled(geodetic);
  applyZone_->setEnabled(geodetic && applyProject_->isChecked());
  applyInput_->SetHeaders(layout == 0   ? QStringList{"点名", "X", "Y", "H"}
                          : layout == 1 ? QStringList{"点名", "X", "Y", "Z"}
                                        : QStringList{"点名", "B", "L", "H"});
}

void TransformWindow::Refuse(const std::string& message) {
  // The batch mode names options and the lines of its table file; the window names its fields
  // and the rows of its grid (the table's line n + 1 is the grid's row n).
  static const std::pair<const char*, const char*> kFields[] = {
      {"--to-meridian", "新带中央子午线"}, {"--to-zone-width", "新带带宽"}, {"--to-zone", "新带带号"},
      {"--to-height", "新带投影面高程"},   {"--to-scale", "新带比例因子"},  {"--to-ellipsoid", "新椭球"},
      {"--meridian", "中央子午线"},        {"--zone-width", "带宽"},        {"--zone", "带号"},
      {"--height", "投影面高程"},          {"--scale", "比例因子"},         {"--ellipsoid", "椭球"},
      {"--max-residual", "残差限值"},      {"--prefix", "“y 坐标前加带号”"}, {"--param", "参数"},
      {"--points", "点表"}};
  QString text = ToQString(message);
  for (const auto& [option, field] : kFields) text.replace(QString::fromUtf8(option), QString::fromUtf8(field));
  static const QRegularExpression line(QStringLiteral("^第 (\\d+) 行："));
  const QRegularExpressionMatch match = line.match(text);
  if (match.hasMatch()) {
    text.replace(0, match.capturedLength(), QStringLiteral("表格第 %1 行：").arg(match.captured(1).toInt() - 1));
  }
  Message m;
  m.text = ToUtf8(text);
  m.title = "坐标转换";
  m.icon = MessageIcon::Exclamation;
  m.refusal = true;
  host_.ShowMessage(m);
}

bool TransformWindow::Run(const std::string& command, std::vector<std::string> options, const std::string& table,
                          std::string& csv, std::string& summary, std::string* parameterFile) {
  options.insert(options.end(), {"--points", kTableFile});
  const ParsedOptions parsed = ParseOptions(options, CommandOptions(command));
  if (!parsed.error.empty()) {
    Refuse(parsed.error);
    return false;
  }
  const FileReader read = [&](const std::string& path) -> std::string {
    if (path == kParameterFile) return loadedParameters_;
    return table;
  };
  try {
    CommandResult r = RunCommand(command, parsed, read);
    csv = std::move(r.csv);
    summary = std::move(r.summary);
    if (parameterFile) *parameterFile = std::move(r.parameterFile);
    return true;
  } catch (...) {
    Refuse(RefusalMessage(std::current_exception()));
    return false;
  }
}

void TransformWindow::ProjectPoint() {
  const bool forward = forwardRadio_->isChecked();
  const std::string table = std::string(forward ? "点名,B,L\n" : "点名,X,Y\n") + "P," + CsvCell(pointFirst_->text()) + "," +
                            CsvCell(pointSecond_->text()) + "\n";
  std::vector<std::string> options = projectionZone_->Options("");
  if (projectionDegrees_->isChecked()) options.push_back("--degrees");
  if (!forward) std::erase(options, std::string("--prefix"));
  std::string csv, summary;
  if (!Run(forward ? "forward" : "inverse", options, table, csv, summary)) return;
  const std::string row = csv.substr(csv.find('\n') + 1);
  const QStringList cells = SplitCsvLine(row.substr(0, row.find('\n')));
  pointResult_->setText(forward ? QString("x = %1\ny = %2\n子午线收敛角 γ = %3\n长度比 k = %4")
                                      .arg(cells.value(1), cells.value(2), cells.value(4), cells.value(5))
                                : QString("B = %1\nL = %2").arg(cells.value(1), cells.value(2)));
}

TransformWindow::TableRequest TransformWindow::ProjectionRequest() const {
  const bool forward = forwardRadio_->isChecked();
  TableRequest q;
  q.command = forward ? "forward" : "inverse";
  q.options = projectionZone_->Options("");
  if (projectionDegrees_->isChecked()) q.options.push_back("--degrees");
  if (!forward) std::erase(q.options, std::string("--prefix"));
  q.input = projectionInput_;
  q.columns = forward ? std::vector<std::string>{"name", "B", "L", "H"} : std::vector<std::string>{"name", "x", "y", "h"};
  return q;
}

void TransformWindow::ProjectTable() {
  RunTable(ProjectionRequest(), [this] { return ProjectionRequest(); }, [this](CommandResult& r) {
    projectionCsv_ = std::move(r.csv);
    projectionResults_->ShowCsv(projectionCsv_);
  });
}

TransformWindow::TableRequest TransformWindow::RezoneRequest() const {
  TableRequest q;
  q.command = "rezone";
  q.options = rezoneFrom_->Options("");
  const std::vector<std::string> to = rezoneTo_->Options("to-");
  q.options.insert(q.options.end(), to.begin(), to.end());
  q.input = rezoneInput_;
  q.columns = {"name", "x", "y", "h"};
  return q;
}

void TransformWindow::RezoneTable() {
  RunTable(RezoneRequest(), [this] { return RezoneRequest(); }, [this](CommandResult& r) {
    rezoneCsv_ = std::move(r.csv);
    rezoneResults_->ShowCsv(rezoneCsv_);
  });
}

TransformWindow::TableRequest TransformWindow::FitRequest() const {
  const bool four = fitFourRadio_->isChecked();
  const bool geodetic = !four && fitLayout_->currentIndex() == 1;
  TableRequest q;
  q.command = four ? "fit4" : "fit7";
  q.options = {"--max-residual", ToUtf8(maxResidual_->text().trimmed())};
  if (four) {
    q.columns = {"name", "x_from", "y_from", "x_to", "y_to"};
  } else if (geodetic) {
    q.columns = {"name", "B_from", "L_from", "H_from", "B_to", "L_to", "H_to"};
    q.options.insert(q.options.end(),
                     {"--ellipsoid", EllipsoidKey(fitFromEllipsoid_), "--to-ellipsoid", EllipsoidKey(fitToEllipsoid_)});
    if (fitDegrees_->isChecked()) q.options.push_back("--degrees");
  } else {
    q.columns = {"name", "X_from", "Y_from", "Z_from", "X_to", "Y_to", "Z_to"};
  }
  q.input = commonPoints_;
  return q;
}

void TransformWindow::FitParameters() {
  const TableRequest request = FitRequest();
  const bool four = request.command == "fit4";
  const bool geodetic = !four && fitLayout_->currentIndex() == 1;
  RunTable(request, [this] { return FitRequest(); }, [this, four, geodetic](CommandResult& r) {
    residualCsv_ = std::move(r.csv);
    fittedParameters_ = r.parameterFile;
    residuals_->ShowCsv(residualCsv_);
    fitSummary_->setPlainText(ToQString(r.summary + "\n" + r.parameterFile));
    // The parameters just found are the ones to apply next.
    loadedParameters_ = r.parameterFile;
    parameterText_->setPlainText(ToQString(r.parameterFile));
    applyLayout_->setCurrentIndex(four ? 0 : geodetic ? 2 : 1);
  });
}

TransformWindow::TableRequest TransformWindow::ApplyRequest() const {
  const int layout = applyLayout_->currentIndex();
  TableRequest q;
  q.command = "apply7";
  q.options = {"--param", kParameterFile};
  if (layout == 0) {
    q.command = "apply4";
    q.columns = {"name", "x", "y", "h"};
  } else if (layout == 1) {
    q.columns = {"name", "X", "Y", "Z"};
  } else {
    q.columns = {"name", "B", "L", "H"};
    q.options.insert(q.options.end(),
                     {"--ellipsoid", EllipsoidKey(applyFromEllipsoid_), "--to-ellipsoid", EllipsoidKey(applyToEllipsoid_)});
    if (applyDegrees_->isChecked()) q.options.push_back("--degrees");
    if (applyProject_->isChecked()) {
      const std::vector<std::string> zone = applyZone_->Options("");
      q.options.insert(q.options.end(), zone.begin(), zone.end());
    }
  }
  q.input = applyInput_;
  q.parameters = ToUtf8(parameterText_->toPlainText());
  return q;
}

void TransformWindow::ApplyParameters() {
  const TableRequest request = ApplyRequest();
  if (Running()) {
    Refuse("上一次计算还在进行，请等它完成或先取消。");
    return;
  }
  loadedParameters_ = request.parameters;
  RunTable(request, [this] { return ApplyRequest(); }, [this](CommandResult& r) {
    applyCsv_ = std::move(r.csv);
    applyResults_->ShowCsv(applyCsv_);
  });
}

void TransformWindow::CancelRun() {
  if (tableReading_) {
    tableReading_.reset();
    const auto done = std::move(cancelReading_);
    cancelReading_ = nullptr;
    done(true);
    return;
  }
  worker_.Cancel();
}

void TransformWindow::RunTable(const TableRequest& request, std::function<TableRequest()> current,
                               std::function<void(CommandResult&)> show) {
  if (Running()) {
    Refuse("上一次计算还在进行，请等它完成或先取消。");
    return;
  }
  if (request.input->Pasting()) {
    Refuse("表格还在粘贴，请等粘贴完成再计算。");
    return;
  }
  std::vector<std::string> options = request.options;
  options.insert(options.end(), {"--points", kTableFile});
  const ParsedOptions parsed = ParseOptions(options, CommandOptions(request.command));
  if (!parsed.error.empty()) {
    Refuse(parsed.error);
    return;
  }
  const bool threaded = request.input->rowCount() > threadThreshold_;
  if (!threaded) {
    const std::string table = request.input->CsvText(request.columns);
    const FileReader read = [&](const std::string& path) -> std::string {
      return path == kParameterFile ? loadedParameters_ : table;
    };
    try {
      CommandResult r = RunCommand(request.command, parsed, read);
      show(r);
    } catch (...) {
      Refuse(RefusalMessage(std::current_exception()));
    }
    return;
  }

  TableRequest started = request;
  started.generation = request.input->Generation();
  auto outcome = std::make_shared<RunOutcome>();
  const auto done = [this, outcome, started, current = std::move(current), show = std::move(show)](bool cancelled) {
    progress_->hide();
    cancelButton_->hide();
    tabs_->setEnabled(true);
    TableRequest now = current();
    now.generation = now.input->Generation();
    if (cancelled) {
      statusBar()->showMessage("计算已取消，保留原来的结果。", 8000);
    } else if (!(now == started)) {
      statusBar()->showMessage("计算期间输入已改动，结果未采用，请重新计算。", 8000);
    } else if (outcome->refusal) {
      statusBar()->clearMessage();
      Refuse(*outcome->refusal);
    } else {
      show(outcome->result);
      statusBar()->showMessage(
          QString("计算完成：%1 行。").arg(std::count(outcome->result.csv.begin(), outcome->result.csv.end(), '\n') - 1), 8000);
    }
    emit RunFinished();
  };
  // The inputs stay as the run read them.
  tabs_->setEnabled(false);
  progress_->setRange(0, std::max(1, request.input->rowCount()));  // the grid's rows read, then the run's permille
  progress_->setValue(0);
  progress_->show();
  cancelButton_->show();
  statusBar()->showMessage("正在读取表格……（Esc 取消）");

  // The grid is read into the table text here, on the GUI thread, a slice per turn of the event
  // loop so the window stays live; the worker then gets its own copies of the table and the
  // parameter text.
  std::string table;
  for (std::size_t c = 0; c < request.columns.size(); ++c) table += (c ? "," : "") + request.columns[c];
  table += '\n';
  auto reading = std::make_shared<TableReading>(TableReading{request.input, request.columns, 0, std::move(table)});
  const auto readSlice = [this, reading, command = request.command, parsed, parameters = loadedParameters_, outcome,
                          done] {
    constexpr int kSliceRows = 50'000;
    const int end = reading->next + kSliceRows;
    reading->input->AppendCsvRows(reading->columns, reading->next, end, reading->table);
    reading->next = end;
    if (end < reading->input->rowCount()) {
      progress_->setValue(end);
      return false;
    }
    // The filled rows, for the status bar: the lines of the table but its header and blank ones.
    std::size_t filled = 0;
    const std::string& t = reading->table;
    for (std::size_t i = t.find('\n'); i != std::string::npos && i + 1 < t.size(); i = t.find('\n', i + 1)) {
      if (t[i + 1] != '\n') ++filled;
    }
    statusBar()->showMessage(QString("正在计算 %1 行……（Esc 取消）").arg(filled));
    const FileReader read = [table = std::move(reading->table), parameters](const std::string& path) -> std::string {
      return path == kParameterFile ? parameters : table;
    };
    const auto job = [command, parsed, read, outcome](platform::WorkerRun::Control& control) {
      RunControl runControl;
      runControl.progress = [&control](double fraction) { control.permille.store(static_cast<int>(fraction * 1000)); };
      runControl.cancel = &control.cancel;
      try {
        outcome->result = RunCommand(command, parsed, read, runControl);
      } catch (const RunCancelled&) {
        // Cancel already told the window; nothing of this run is wanted.
      } catch (const std::exception&) {
        try {
          outcome->refusal = RefusalMessage(std::current_exception());
        } catch (const std::exception& e) {
          outcome->refusal = e.what();
        }
      } catch (...) {
        outcome->refusal = "计算失败：未知错误。";
      }
    };
    progress_->setRange(0, 1000);
    progress_->setValue(0);
    worker_.Start(job, done, [this](int permille) {
      if (permille >= 0) progress_->setValue(permille);
    });
    return true;
  };
  if (readSlice()) return;
  tableReading_ = std::make_unique<QTimer>();
  cancelReading_ = done;
  connect(tableReading_.get(), &QTimer::timeout, this, [this, readSlice] {
    if (!readSlice()) return;
    cancelReading_ = nullptr;
    // Not deleted in its own signal; stopped so that it cannot come again before it goes.
    QTimer* reader = tableReading_.release();
    reader->stop();
    reader->deleteLater();
  });
  tableReading_->start(0);
}

void TransformWindow::SaveParameters() {
  if (fittedParameters_.empty()) {
    Refuse("请先求参数。");
    return;
  }
  FileRequest request{"保存转换参数", fitFourRadio_->isChecked() ? "四参数.tparam" : "七参数.tparam",
                      {{"转换参数(*.tparam)", "*.tparam"}}, "tparam"};
  const std::optional<std::string> path = host_.AskSaveFile(request);
  if (!path) return;
  const WriteOutcome outcome = WriteFileAtomically(*path, fittedParameters_);
  if (!outcome.ok) Refuse("无法保存参数：" + outcome.error);
}

void TransformWindow::OpenParameters() {
  FileRequest request{"打开转换参数", "", {{"转换参数(*.tparam)", "*.tparam"}, {"所有文件(*)", "*"}}, ""};
  const std::optional<std::string> path = host_.AskOpenFile(request);
  if (!path) return;
  try {
    const std::string text = ReadFileFromDisk(*path);
    parameterText_->setPlainText(ToQString(text));
  } catch (...) {
    Refuse(RefusalMessage(std::current_exception()));
  }
}

void TransformWindow::CopyResults(ResultGrid* grid) { QGuiApplication::clipboard()->setText(grid->TsvText()); }

void TransformWindow::ExportResults(ResultGrid*, const std::string& csv) {
  if (csv.empty()) {
    Refuse("没有可导出的结果，请先计算。");
    return;
  }
  FileRequest request{"导出 CSV", "结果.csv", {{"CSV 文件(*.csv)", "*.csv"}}, "csv"};
  const std::optional<std::string> path = host_.AskSaveFile(request);
  if (!path) return;
  const WriteOutcome outcome = WriteFileAtomically(*path, csv);
  if (!outcome.ok) Refuse("无法导出：" + outcome.error);
}

int RunWindow(QApplication& app) {
  TransformWindow window;
  window.show();
  return app.exec();
}

}  // namespace survey::transform::window
