#include "alignment/window/main_window.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "alignment/alignment_error.h"
#include "alignment/text_format.h"
#include "alignment/cli/program.h"
#include "alignment/window/project_file.h"
#include "platform/paths.h"
#include "platform/text_files.h"

namespace survey::alignment::window {

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

constexpr int kMaxRecent = 8;

QSettings Settings() {
  return QSettings(platform::UserDataDir() + QStringLiteral("/alignment.ini"), QSettings::IniFormat);
}

// The stake marks of a stakes CSV for the plan view.
std::vector<StakeMark> StakeMarks(const std::string& csv, AngleUnit unit) {
  std::vector<StakeMark> marks;
  std::size_t pos = csv.find('\n');
  if (pos == std::string::npos) return marks;
  const std::vector<std::string> keys = SplitCsvLine(std::string_view(csv).substr(0, pos));
  std::vector<std::pair<std::size_t, std::size_t>> sides;
  for (std::size_t i = 5; i + 1 < keys.size(); ++i) {
    if (keys[i].rfind("x_", 0) == 0 && keys[i + 1].rfind("y_", 0) == 0) sides.emplace_back(i, i + 1);
  }
  ++pos;
  while (pos < csv.size()) {
    std::size_t end = csv.find('\n', pos);
    if (end == std::string::npos) end = csv.size();
    const std::vector<std::string> c = SplitCsvLine(std::string_view(csv).substr(pos, end - pos));
    pos = end + 1;
    if (c.size() < 5) continue;
    StakeMark m;
    m.name = c[0];
    m.station = ReadNumber(c[1]).value_or(0);
    m.x = ReadNumber(c[2]).value_or(0);
    m.y = ReadNumber(c[3]).value_or(0);
    m.azimuth = ReadAngle(c[4], unit).value_or(0);
    for (auto [xi, yi] : sides) {
      if (yi < c.size()) m.sides.emplace_back(ReadNumber(c[xi]).value_or(0), ReadNumber(c[yi]).value_or(0));
    }
    marks.push_back(std::move(m));
  }
  return marks;
}

// A source grid: Ctrl+V pastes a tab-separated block at the current cell.
class SourceGridView : public QTableView {
 public:
  using QTableView::QTableView;
  std::function<void()> paste;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->matches(QKeySequence::Paste) && paste) {
      paste();
      return;
    }
    QTableView::keyPressEvent(event);
  }
};

}  // namespace

struct AlignmentWindow::Outcome {
  std::map<RunKind, RunResult> results;
  std::map<RunKind, IndexedCsv> indexed;
  std::vector<StakeMark> marks;
  bool cancelled = false;
};

AlignmentWindow::AlignmentWindow(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("AlignmentWindow"));
  setWindowIcon(QIcon(QStringLiteral(":/alignment/alignment-32.png")));
  BuildUi();
  BuildMenus();
  connect(&undo_, &QUndoStack::cleanChanged, this, [this] { UpdateTitle(); });
  UpdateTitle();
  resize(1280, 800);
}

AlignmentWindow::~AlignmentWindow() {
  if (worker_) {
    cancel_->store(true);
    worker_->wait();
  }
}

CsvResultModel& AlignmentWindow::Result(RunKind kind) {
  if (kind == RunKind::LocateTable) kind = RunKind::LocatePoint;
  return *results_.at(kind);
}

QLineEdit* AlignmentWindow::Field(const QString& name, std::string AlignmentForm::*member) {
  auto* edit = new QLineEdit(Q(form_.*member));
  edit->setObjectName(name);
  fields_.emplace_back(edit, member);
  connect(edit, &QLineEdit::textEdited, this, [this, edit, member] {
    form_.*member = edit->text().toStdString();
    MarkModified();
  });
  return edit;
}

QWidget* AlignmentWindow::BuildSettingsTab() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* kindBox = new QGroupBox(QStringLiteral("输入方式"));
  auto* kindLayout = new QHBoxLayout(kindBox);
  jdKind_ = new QRadioButton(QStringLiteral("交点法（JD 表）"));
  jdKind_->setObjectName(QStringLiteral("jdKind"));
  elementKind_ = new QRadioButton(QStringLiteral("线元法（线元表）"));
  elementKind_->setObjectName(QStringLiteral("elementKind"));
  jdKind_->setChecked(true);
  kindLayout->addWidget(jdKind_);
  kindLayout->addWidget(elementKind_);
  connect(jdKind_, &QRadioButton::toggled, this, [this](bool on) {
    if (pushing_) return;
    form_.inputKind = on ? InputKind::Jd : InputKind::Elements;
    MarkModified();
  });
  layout->addWidget(kindBox);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("项目名称"), Field(QStringLiteral("projectName"), &AlignmentForm::projectName));
  form->addRow(QStringLiteral("起点桩号"), Field(QStringLiteral("startStation"), &AlignmentForm::startStationText));
  form->addRow(QStringLiteral("线元法起点 X (m)"), Field(QStringLiteral("startX"), &AlignmentForm::startXText));
  form->addRow(QStringLiteral("线元法起点 Y (m)"), Field(QStringLiteral("startY"), &AlignmentForm::startYText));
  form->addRow(QStringLiteral("线元法起始方位角"), Field(QStringLiteral("startAzimuth"), &AlignmentForm::startAzimuthText));
  form->addRow(QStringLiteral("小数位数"), Field(QStringLiteral("decimals"), &AlignmentForm::decimalsText));
  degrees_ = new QCheckBox(QStringLiteral("角度用十进制度（否则为 度.分秒，如 30.1530）"));
  degrees_->setObjectName(QStringLiteral("degrees"));
  connect(degrees_, &QCheckBox::toggled, this, [this](bool on) {
    if (pushing_) return;
    form_.degrees = on;
    MarkModified();
  });
  form->addRow(QString(), degrees_);
  layout->addLayout(form);
  auto* hint = new QLabel(QStringLiteral(
      "JD 表第一行为起点 QD，最后一行为终点 ZD，中间各行为交点（R、Ls1、Ls2；Ls2 空时等于 Ls1）。\n"
      "表格可从电子表格复制后按 Ctrl+V 粘贴；有误的格子标红，鼠标停留显示原因。"));
  hint->setWordWrap(true);
  layout->addWidget(hint);
  layout->addStretch();
  return page;
}

QWidget* AlignmentWindow::BuildSourceTab(TableId id) {
  auto* view = new SourceGridView;
  view->setObjectName(QStringLiteral("table_") + Q(AlignmentForm::Columns(id).front().key) + QString::number(static_cast<int>(id)));
  auto* model = new SourceGridModel(form_, id, &undo_, this);
  models_[static_cast<int>(id)] = model;
  sourceViews_[static_cast<int>(id)] = view;
  view->setModel(model);
  view->paste = [this] { PasteIntoCurrent(); };
  view->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  view->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* insert = new QAction(QStringLiteral("插入行"), view);
  connect(insert, &QAction::triggered, this, [this] { InsertRowInCurrent(); });
  auto* remove = new QAction(QStringLiteral("删除行"), view);
  connect(remove, &QAction::triggered, this, [this] { DeleteRowsInCurrent(); });
  auto* paste = new QAction(QStringLiteral("粘贴"), view);
  connect(paste, &QAction::triggered, this, [this] { PasteIntoCurrent(); });
  view->addActions({insert, remove, paste});
  return view;
}

QWidget* AlignmentWindow::BuildResultTab(RunKind kind, QWidget* options) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(2, 2, 2, 2);
  if (options) layout->addWidget(options);
  auto* model = new CsvResultModel(this);
  results_[kind] = model;
  auto* view = new QTableView;
  view->setObjectName(QStringLiteral("result%1").arg(static_cast<int>(kind)));
  view->setModel(model);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
  view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  view->horizontalHeader()->setDefaultSectionSize(96);
  resultViews_[kind] = view;
  connect(view, &QTableView::clicked, this, [this, kind](const QModelIndex& index) { OnResultRow(kind, index.row()); });
  view->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* copy = new QAction(QStringLiteral("复制（制表符分隔，含表头）"), view);
  copy->setShortcut(QKeySequence::Copy);
  copy->setShortcutContext(Qt::WidgetShortcut);
  connect(copy, &QAction::triggered, this, [this, kind] { CopyResult(kind); });
  auto* utf8 = new QAction(QStringLiteral("导出 CSV（UTF-8）…"), view);
  auto* gbk = new QAction(QStringLiteral("导出 CSV（GBK）…"), view);
  for (auto [action, isGbk] : {std::pair{utf8, false}, std::pair{gbk, true}}) {
    connect(action, &QAction::triggered, this, [this, kind, isGbk = isGbk] {
      FileRequest request;
      request.title = isGbk ? "导出 CSV（GBK）" : "导出 CSV（UTF-8）";
      request.filters = {{"CSV 文件 (*.csv)", "*.csv"}};
      request.defaultSuffix = "csv";
      if (const auto path = host_.AskSaveFile(request)) ExportResultCsv(kind, Q(*path), isGbk);
    });
  }
  view->addActions({copy, utf8, gbk});
  layout->addWidget(view, 1);
  return page;
}

void AlignmentWindow::BuildUi() {
  leftTabs_ = new QTabWidget;
  leftTabs_->setObjectName(QStringLiteral("leftTabs"));
  leftTabs_->addTab(BuildSettingsTab(), QStringLiteral("路线设置"));
  leftTabs_->addTab(BuildSourceTab(TableId::Jd), QStringLiteral("JD 表"));
  leftTabs_->addTab(BuildSourceTab(TableId::Elements), QStringLiteral("线元表"));
  leftTabs_->addTab(BuildSourceTab(TableId::Equations), QStringLiteral("断链"));
  leftTabs_->addTab(BuildSourceTab(TableId::Profile), QStringLiteral("纵断面"));

  leftTabs_->addTab(BuildResultTab(RunKind::Curves, nullptr), QStringLiteral("曲线要素"));

  auto* stakeOptions = new QWidget;
  auto* so = new QHBoxLayout(stakeOptions);
  so->setContentsMargins(0, 0, 0, 0);
  so->addWidget(new QLabel(QStringLiteral("间距 (m)")));
  so->addWidget(Field(QStringLiteral("interval"), &AlignmentForm::intervalText));
  so->addWidget(new QLabel(QStringLiteral("起")));
  so->addWidget(Field(QStringLiteral("from"), &AlignmentForm::fromText));
  so->addWidget(new QLabel(QStringLiteral("止")));
  so->addWidget(Field(QStringLiteral("to"), &AlignmentForm::toText));
  so->addWidget(new QLabel(QStringLiteral("边桩偏距 (m)")));
  so->addWidget(Field(QStringLiteral("offsets"), &AlignmentForm::offsetsText));
  so->addWidget(new QLabel(QStringLiteral("斜交角")));
  so->addWidget(Field(QStringLiteral("skew"), &AlignmentForm::skewText));
  auto* computeButton = new QPushButton(QStringLiteral("计算"));
  computeButton->setObjectName(QStringLiteral("computeStakes"));
  connect(computeButton, &QPushButton::clicked, this, [this] { ComputeAll(); });
  so->addWidget(computeButton);
  leftTabs_->addTab(BuildResultTab(RunKind::Stakes, stakeOptions), QStringLiteral("逐桩坐标"));

  auto* locateOptions = new QWidget;
  auto* lo = new QVBoxLayout(locateOptions);
  lo->setContentsMargins(0, 0, 0, 0);
  auto* lrow = new QHBoxLayout;
  lrow->addWidget(new QLabel(QStringLiteral("X (m)")));
  lrow->addWidget(Field(QStringLiteral("locateX"), &AlignmentForm::locateXText));
  lrow->addWidget(new QLabel(QStringLiteral("Y (m)")));
  lrow->addWidget(Field(QStringLiteral("locateY"), &AlignmentForm::locateYText));
  auto* locateButton = new QPushButton(QStringLiteral("反算此点"));
  locateButton->setObjectName(QStringLiteral("locatePoint"));
  connect(locateButton, &QPushButton::clicked, this, [this] { ComputeLocatePoint(); });
  lrow->addWidget(locateButton);
  auto* tableButton = new QPushButton(QStringLiteral("反算点表"));
  tableButton->setObjectName(QStringLiteral("locateTable"));
  connect(tableButton, &QPushButton::clicked, this, [this] { ComputeLocateTable(); });
  lrow->addWidget(tableButton);
  auto* importPoints = new QPushButton(QStringLiteral("导入点表…"));
  connect(importPoints, &QPushButton::clicked, this, [this] {
    FileRequest request;
    request.title = "导入点表";
    request.filters = {{"表格 (*.csv *.txt)", "*.csv *.txt"}};
    if (const auto path = host_.AskOpenFile(request)) ImportTable(TableId::Points, Q(*path));
  });
  lrow->addWidget(importPoints);
  lo->addLayout(lrow);
  QWidget* pointsGrid = BuildSourceTab(TableId::Points);
  pointsGrid->setMaximumHeight(160);
  lo->addWidget(pointsGrid);
  leftTabs_->addTab(BuildResultTab(RunKind::LocatePoint, locateOptions), QStringLiteral("反算"));

  auto* outOptions = new QWidget;
  auto* oo = new QHBoxLayout(outOptions);
  oo->setContentsMargins(0, 0, 0, 0);
  oo->addWidget(new QLabel(QStringLiteral("测站 X")));
  oo->addWidget(Field(QStringLiteral("setupX"), &AlignmentForm::setupXText));
  oo->addWidget(new QLabel(QStringLiteral("Y")));
  oo->addWidget(Field(QStringLiteral("setupY"), &AlignmentForm::setupYText));
  oo->addWidget(new QLabel(QStringLiteral("后视 X")));
  oo->addWidget(Field(QStringLiteral("backsightX"), &AlignmentForm::backsightXText));
  oo->addWidget(new QLabel(QStringLiteral("Y")));
  oo->addWidget(Field(QStringLiteral("backsightY"), &AlignmentForm::backsightYText));
  auto* outButton = new QPushButton(QStringLiteral("计算放样"));
  outButton->setObjectName(QStringLiteral("computeStakeout"));
  connect(outButton, &QPushButton::clicked, this, [this] { ComputeStakeout(); });
  oo->addWidget(outButton);
  leftTabs_->addTab(BuildResultTab(RunKind::Stakeout, outOptions), QStringLiteral("放样"));
  results_[RunKind::Profile] = new CsvResultModel(this);

  rightTabs_ = new QTabWidget;
  rightTabs_->setObjectName(QStringLiteral("viewTabs"));
  plan_ = new PlanView;
  plan_->setObjectName(QStringLiteral("planView"));
  profileView_ = new ProfileView;
  profileView_->setObjectName(QStringLiteral("profileView"));
  rightTabs_->addTab(plan_, QStringLiteral("平面图"));
  rightTabs_->addTab(profileView_, QStringLiteral("纵断面图"));
  connect(plan_, &PlanView::CursorMoved, this, [this](double x, double y) { OnCursor(x, y); });

  auto* splitter = new QSplitter;
  splitter->addWidget(leftTabs_);
  splitter->addWidget(rightTabs_);
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({560, 720});
  setCentralWidget(splitter);

  cursorLabel_ = new QLabel;
  cursorLabel_->setObjectName(QStringLiteral("cursorLabel"));
  statusBar()->addWidget(cursorLabel_, 1);
  progress_ = new QProgressBar;
  progress_->setRange(0, 1000);
  progress_->setMaximumWidth(220);
  progress_->hide();
  cancelButton_ = new QPushButton(QStringLiteral("取消"));
  cancelButton_->setObjectName(QStringLiteral("cancelRun"));
  cancelButton_->hide();
  connect(cancelButton_, &QPushButton::clicked, this, [this] { CancelRun(); });
  statusBar()->addPermanentWidget(progress_);
  statusBar()->addPermanentWidget(cancelButton_);
  progressTimer_ = new QTimer(this);
  progressTimer_->setInterval(50);
  connect(progressTimer_, &QTimer::timeout, this, [this] {
    if (progressPermille_) progress_->setValue(progressPermille_->load());
  });
  for (int i = 0; i < 5; ++i) {
    connect(models_[i], &SourceGridModel::Edited, this, [this] { UpdateTitle(); });
  }
}

void AlignmentWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
  file->addAction(QStringLiteral("新建项目"), QKeySequence::New, this, [this] { NewProject(); });
  file->addAction(QStringLiteral("打开项目…"), QKeySequence::Open, this, [this] { OpenDialog(); });
  recentMenu_ = file->addMenu(QStringLiteral("最近的项目"));
  file->addAction(QStringLiteral("保存项目"), QKeySequence::Save, this, [this] { Save(); });
  file->addAction(QStringLiteral("项目另存为…"), QKeySequence::SaveAs, this, [this] { SaveAs(); });
  file->addSeparator();
  QMenu* import = file->addMenu(QStringLiteral("导入表格"));
  for (TableId id : kAllTables) {
    import->addAction(Q(AlignmentForm::TableTitle(id)) + QStringLiteral("…"), this, [this, id] {
      FileRequest request;
      request.title = "导入" + AlignmentForm::TableTitle(id);
      request.filters = {{"表格 (*.csv *.txt)", "*.csv *.txt"}, {"所有文件 (*)", "*"}};
      if (const auto path = host_.AskOpenFile(request)) ImportTable(id, Q(*path));
    });
  }
  file->addAction(QStringLiteral("导入 LandXML…"), this, [this] {
    FileRequest request;
    request.title = "导入 LandXML";
    request.filters = {{"LandXML (*.xml)", "*.xml"}, {"所有文件 (*)", "*"}};
    if (const auto path = host_.AskOpenFile(request)) ImportLandXml(Q(*path));
  });
  file->addAction(QStringLiteral("导出 LandXML…"), this, [this] {
    FileRequest request;
    request.title = "导出 LandXML";
    request.filters = {{"LandXML (*.xml)", "*.xml"}};
    request.defaultSuffix = "xml";
    if (const auto path = host_.AskSaveFile(request)) ExportLandXml(Q(*path));
  });
  file->addSeparator();
  for (auto [kind, title] : {std::pair{ReportKind::Stakes, "逐桩坐标表"}, std::pair{ReportKind::Curves, "直线、曲线及转角表"}}) {
    QMenu* report = file->addMenu(QString::fromUtf8(title));
    report->addAction(QStringLiteral("打印预览…"), this, [this, kind = kind] { PrintReport(kind, true); });
    report->addAction(QStringLiteral("打印…"), this, [this, kind = kind] { PrintReport(kind, false); });
    report->addAction(QStringLiteral("导出 PDF…"), this, [this, kind = kind, title = title] {
      FileRequest request;
      request.title = std::string("导出 PDF：") + title;
      request.initialName = std::string(title) + ".pdf";
      request.filters = {{"PDF (*.pdf)", "*.pdf"}};
      request.defaultSuffix = "pdf";
      if (const auto path = host_.AskSaveFile(request)) ExportReportPdf(kind, Q(*path));
    });
  }
  file->addSeparator();
  file->addAction(QStringLiteral("退出"), QKeySequence::Quit, this, [this] { close(); });
  RebuildRecentMenu();

  QMenu* edit = menuBar()->addMenu(QStringLiteral("编辑(&E)"));
  QAction* undo = undo_.createUndoAction(this, QStringLiteral("撤销"));
  undo->setShortcut(QKeySequence::Undo);
  QAction* redo = undo_.createRedoAction(this, QStringLiteral("重做"));
  redo->setShortcut(QKeySequence::Redo);
  edit->addAction(undo);
  edit->addAction(redo);
  edit->addSeparator();
  edit->addAction(QStringLiteral("插入行"), QKeySequence(Qt::CTRL | Qt::Key_Insert), this, [this] { InsertRowInCurrent(); });
  edit->addAction(QStringLiteral("删除行"), QKeySequence(Qt::CTRL | Qt::Key_Delete), this, [this] { DeleteRowsInCurrent(); });
  edit->addAction(QStringLiteral("粘贴表格"), this, [this] { PasteIntoCurrent(); });

  QMenu* compute = menuBar()->addMenu(QStringLiteral("计算(&C)"));
  QAction* run = compute->addAction(QStringLiteral("计算曲线要素与逐桩坐标"), QKeySequence(Qt::Key_F5), this, [this] { ComputeAll(); });
  compute->addAction(QStringLiteral("取消计算"), QKeySequence(Qt::Key_Escape), this, [this] { CancelRun(); });
  QMenu* view = menuBar()->addMenu(QStringLiteral("视图(&V)"));
  view->addAction(QStringLiteral("平面图适合窗口"), this, [this] { plan_->FitToWindow(); });

  QToolBar* bar = addToolBar(QStringLiteral("工具"));
  bar->setObjectName(QStringLiteral("toolbar"));
  bar->addAction(run);
  bar->addAction(undo);
  bar->addAction(redo);
  bar->addAction(QStringLiteral("适合窗口"), this, [this] { plan_->FitToWindow(); });
}

// --- Editing -------------------------------------------------------------------------------------

SourceGridModel* AlignmentWindow::CurrentSourceModel(QTableView** viewOut) {
  QWidget* focus = QApplication::focusWidget();
  for (int i = 0; i < 5; ++i) {
    QTableView* view = sourceViews_[i];
    if (focus == view || (focus && view->isAncestorOf(focus)) || (!focus && view->isVisible()) ||
        leftTabs_->currentWidget() == view) {
      if (viewOut) *viewOut = view;
      return models_[i];
    }
  }
  return nullptr;
}

void AlignmentWindow::PasteIntoCurrent() {
  QTableView* view = nullptr;
  SourceGridModel* model = CurrentSourceModel(&view);
  if (!model) return;
  const QModelIndex at = view->currentIndex();
  model->PasteBlock(at.isValid() ? at.row() : 0, at.isValid() ? at.column() : 0, QApplication::clipboard()->text());
}

void AlignmentWindow::InsertRowInCurrent() {
  QTableView* view = nullptr;
  SourceGridModel* model = CurrentSourceModel(&view);
  if (!model) return;
  const QModelIndex at = view->currentIndex();
  model->InsertRowsAt(at.isValid() ? at.row() : model->rowCount(), 1);
}

void AlignmentWindow::DeleteRowsInCurrent() {
  QTableView* view = nullptr;
  SourceGridModel* model = CurrentSourceModel(&view);
  if (!model) return;
  std::vector<int> rows;
  for (const QModelIndex& index : view->selectionModel()->selectedIndexes()) rows.push_back(index.row());
  if (rows.empty() && view->currentIndex().isValid()) rows.push_back(view->currentIndex().row());
  model->RemoveRowList(rows);
}

void AlignmentWindow::PullFields() {
  for (auto& [edit, member] : fields_) form_.*member = edit->text().toStdString();
  form_.inputKind = jdKind_->isChecked() ? InputKind::Jd : InputKind::Elements;
  form_.degrees = degrees_->isChecked();
}

void AlignmentWindow::PushFields() {
  pushing_ = true;
  for (auto& [edit, member] : fields_) edit->setText(Q(form_.*member));
  (form_.inputKind == InputKind::Jd ? jdKind_ : elementKind_)->setChecked(true);
  degrees_->setChecked(form_.degrees);
  for (SourceGridModel* model : models_) model->Reload();
  pushing_ = false;
}

// --- Runs --------------------------------------------------------------------------------------

void AlignmentWindow::ShowRefusal(const QString& text) {
  Message m;
  m.text = text.toStdString();
  m.title = "路线计算";
  m.icon = MessageIcon::Exclamation;
  m.refusal = true;
  host_.ShowMessage(m);
}

bool AlignmentWindow::ComputeAll() {
  std::vector<RunKind> kinds = {RunKind::Stakes, RunKind::Profile};
  if (form_.inputKind == InputKind::Jd) kinds.insert(kinds.begin(), RunKind::Curves);
  return StartRun(kinds);
}
bool AlignmentWindow::ComputeLocatePoint() { return StartRun({RunKind::LocatePoint}); }
bool AlignmentWindow::ComputeLocateTable() { return StartRun({RunKind::LocateTable}); }
bool AlignmentWindow::ComputeStakeout() { return StartRun({RunKind::Stakeout}); }

void AlignmentWindow::CancelRun() {
  if (cancel_) cancel_->store(true);
}

bool AlignmentWindow::StartRun(std::vector<RunKind> kinds) {
  if (worker_) {
    ShowRefusal(QStringLiteral("上一次计算还在进行，请等它完成或先取消。"));
    return false;
  }
  PullFields();
  if (const std::string problem = form_.FirstProblemMessage(kinds.front()); !problem.empty()) {
    ShowRefusal(Q(problem));
    // Show the first bad cell.
    for (const CellProblem& p : form_.Problems()) {
      QTableView* view = sourceViews_[static_cast<int>(p.table)];
      leftTabs_->setCurrentWidget(view);
      view->setCurrentIndex(view->model()->index(p.row, p.column));
      break;
    }
    return false;
  }
  std::string error;
  std::optional<Route> route = form_.BuildRoute(&error);
  if (!route) {
    ShowRefusal(Q(error));
    return false;
  }
  const bool stakes = std::find(kinds.begin(), kinds.end(), RunKind::Stakes) != kinds.end() ||
                      std::find(kinds.begin(), kinds.end(), RunKind::Stakeout) != kinds.end();
  const std::size_t expected = stakes ? form_.ExpectedStakeRows(*route) : 0;
  const AngleUnit unit = form_.degrees ? AngleUnit::Degrees : AngleUnit::PackedDms;
  cancel_ = std::make_shared<std::atomic<bool>>(false);
  progressPermille_ = std::make_shared<std::atomic<int>>(0);
  auto outcome = std::make_shared<Outcome>();
  auto job = [form = form_, kinds, expected, unit, outcome, cancel = cancel_, progress = progressPermille_] {
    const std::size_t steps = kinds.size();
    for (std::size_t i = 0; i < steps && !outcome->cancelled; ++i) {
      const ProgressFn report = [&](double f) {
        progress->store(static_cast<int>(1000 * (static_cast<double>(i) + f) / static_cast<double>(steps)));
      };
      RunResult r = form.Run(kinds[i], cancel.get(), report, expected);
      if (r.cancelled || cancel->load()) outcome->cancelled = true;
      if (kinds[i] == RunKind::Stakes && r.ok && !outcome->cancelled) outcome->marks = StakeMarks(r.csv, unit);
      if (cancel->load()) outcome->cancelled = true;
      if (r.ok && !outcome->cancelled) outcome->indexed[kinds[i]] = IndexCsv(std::move(r.csv));
      outcome->results[kinds[i]] = std::move(r);
    }
  };
  if (expected <= threadThreshold_) {
    host_.SetBusy(true);
    job();
    host_.SetBusy(false);
    Apply(*outcome, std::move(route));
    emit RunFinished();
    return true;
  }
  progress_->setValue(0);
  progress_->show();
  cancelButton_->show();
  progressTimer_->start();
  statusBar()->showMessage(QStringLiteral("正在计算约 %1 个桩…").arg(expected));
  worker_ = QThread::create(job);
  auto sharedRoute = std::make_shared<std::optional<Route>>(std::move(route));
  connect(worker_, &QThread::finished, this, [this, outcome, sharedRoute] {
    worker_->deleteLater();
    worker_ = nullptr;
    progressTimer_->stop();
    progress_->hide();
    cancelButton_->hide();
    Apply(*outcome, std::move(*sharedRoute));
    emit RunFinished();
  });
  worker_->start();
  return true;
}

void AlignmentWindow::Apply(Outcome& outcome, std::optional<Route> route) {
  if (outcome.cancelled) {
    statusBar()->showMessage(QStringLiteral("计算已取消，保留原来的结果。"), 8000);
    return;
  }
  for (auto& [kind, result] : outcome.results) {
    if (!result.ok) {
      ShowRefusal(Q(result.error));
      return;
    }
  }
  for (auto& [kind, indexed] : outcome.indexed) Result(kind).SetIndexed(std::move(indexed));
  if (outcome.results.count(RunKind::Stakes)) {
    std::string error;
    std::optional<Profile> profile = route ? form_.BuildProfile(*route, &error) : std::nullopt;
    profileView_->SetProfile(std::move(profile), route ? std::optional<StationLine>(route->Stations()) : std::nullopt);
    profileView_->SetCurrent(std::nullopt);
    plan_->SetRoute(std::move(route));
    plan_->SetStakes(std::move(outcome.marks));
    // Measuring the columns reads a thousand rows; past that size the window keeps its widths
    // so that showing a large result stays quick.
    for (RunKind k : {RunKind::Stakes, RunKind::Curves}) {
      if (resultViews_.count(k) && Result(k).RowCountLarge() < 50'000) resultViews_[k]->resizeColumnsToContents();
    }
    if (form_.inputKind != InputKind::Jd) Result(RunKind::Curves).SetCsv({});
  }
  statusBar()->showMessage(QStringLiteral("计算完成：%1 个桩。").arg(Result(RunKind::Stakes).RowCountLarge()), 8000);
}

void AlignmentWindow::OnCursor(double x, double y) {
  QString text = QStringLiteral("X=%1  Y=%2").arg(x, 0, 'f', 3).arg(y, 0, 'f', 3);
  if (const auto& route = plan_->CurrentRoute()) {
    const Location at = route->Locate(x, y);
    if (at.inside) {
      text += QStringLiteral("  桩号 %1  偏距 %2 m").arg(Q(StationKText(route->StationAt(at.chainage), 3))).arg(at.offset, 0, 'f', 3);
    } else {
      text += QStringLiteral("  （路线范围外）");
    }
  }
  cursorLabel_->setText(text);
}

void AlignmentWindow::ShowResultRow(RunKind kind, int row) {
  QTableView* view = resultViews_.at(kind);
  leftTabs_->setCurrentWidget(view->parentWidget());
  view->selectRow(row);
  view->scrollTo(view->model()->index(row, 0), QAbstractItemView::PositionAtCenter);
  OnResultRow(kind, row);
}

void AlignmentWindow::OnResultRow(RunKind kind, int row) {
  if (kind != RunKind::Stakes) return;
  plan_->MarkStake(row);
  const std::vector<std::string> cells = Result(kind).RowCells(static_cast<std::size_t>(row));
  const auto& route = plan_->CurrentRoute();
  if (!route || cells.size() < 2) return;
  const std::optional<double> station = ReadNumber(cells[1]);
  if (!station) return;
  const StationLine::Found found = route->Stations().Find(*station);
  profileView_->SetCurrent(found.where == StationLine::Where::Inside ? std::optional<double>(found.chainage) : std::nullopt);
}

// --- Files -------------------------------------------------------------------------------------

bool AlignmentWindow::IsModified() const { return fieldsModified_ || !undo_.isClean(); }

void AlignmentWindow::MarkModified() {
  if (pushing_) return;
  fieldsModified_ = true;
  UpdateTitle();
}

void AlignmentWindow::UpdateTitle() {
  const QString name = path_.isEmpty() ? QStringLiteral("未命名") : QFileInfo(path_).fileName();
  setWindowTitle(name + QStringLiteral("[*] - 路线平面计算"));
  setWindowModified(IsModified());
}

QStringList AlignmentWindow::RecentFiles() const { return Settings().value(QStringLiteral("recentFiles")).toStringList(); }

void AlignmentWindow::AddRecent(const QString& path) {
  QSettings settings = Settings();
  QStringList list = settings.value(QStringLiteral("recentFiles")).toStringList();
  const QString full = QFileInfo(path).absoluteFilePath();
  list.removeAll(full);
  list.prepend(full);
  while (list.size() > kMaxRecent) list.removeLast();
  settings.setValue(QStringLiteral("recentFiles"), list);
  RebuildRecentMenu();
}

void AlignmentWindow::RebuildRecentMenu() {
  recentMenu_->clear();
  const QStringList list = RecentFiles();
  for (const QString& path : list) {
    recentMenu_->addAction(path, this, [this, path] {
      if (AskToSave()) OpenFrom(path);
    });
  }
  recentMenu_->setEnabled(!list.isEmpty());
}

bool AlignmentWindow::SaveTo(const QString& path) {
  PullFields();
  QString error;
  if (!SaveProject(form_, path, &error)) {
    ShowRefusal(error);
    return false;
  }
  path_ = path;
  fieldsModified_ = false;
  undo_.setClean();
  AddRecent(path);
  UpdateTitle();
  return true;
}

bool AlignmentWindow::OpenFrom(const QString& path) {
  QString error;
  std::optional<AlignmentForm> opened = OpenProject(path, &error);
  if (!opened) {
    ShowRefusal(error);
    return false;
  }
  form_ = std::move(*opened);
  PushFields();
  undo_.clear();
  path_ = path;
  fieldsModified_ = false;
  for (auto& [kind, model] : results_) model->SetCsv({});
  plan_->SetRoute(std::nullopt);
  plan_->SetStakes({});
  profileView_->SetProfile(std::nullopt, std::nullopt);
  AddRecent(path);
  UpdateTitle();
  return true;
}

bool AlignmentWindow::Save() { return path_.isEmpty() ? SaveAs() : SaveTo(path_); }

bool AlignmentWindow::SaveAs() {
  FileRequest request;
  request.title = "项目另存为";
  request.initialName = path_.isEmpty() ? "路线.alnproj" : path_.toStdString();
  request.filters = {{"路线项目 (*.alnproj)", "*.alnproj"}};
  request.defaultSuffix = "alnproj";
  const auto path = host_.AskSaveFile(request);
  return path && SaveTo(Q(*path));
}

void AlignmentWindow::OpenDialog() {
  if (!AskToSave()) return;
  FileRequest request;
  request.title = "打开项目";
  request.filters = {{"路线项目 (*.alnproj)", "*.alnproj"}, {"所有文件 (*)", "*"}};
  if (const auto path = host_.AskOpenFile(request)) OpenFrom(Q(*path));
}

void AlignmentWindow::NewProject() {
  if (!AskToSave()) return;
  form_ = AlignmentForm();
  PushFields();
  undo_.clear();
  path_.clear();
  fieldsModified_ = false;
  for (auto& [kind, model] : results_) model->SetCsv({});
  plan_->SetRoute(std::nullopt);
  profileView_->SetProfile(std::nullopt, std::nullopt);
  UpdateTitle();
}

bool AlignmentWindow::AskToSave() {
  if (!IsModified()) return true;
  Message m;
  m.text = "项目已修改，是否保存？";
  m.title = "路线平面计算";
  m.icon = MessageIcon::Question;
  m.buttons = MessageButtons::YesNoCancel;
  switch (host_.ShowMessage(m)) {
    case MessageAnswer::Yes: return Save();
    case MessageAnswer::No: return true;
    default: return false;
  }
}

void AlignmentWindow::closeEvent(QCloseEvent* event) {
  if (AskToSave()) {
    CancelRun();
    event->accept();
  } else {
    event->ignore();
  }
}

bool AlignmentWindow::ImportTable(TableId id, const QString& path) {
  try {
    const std::string bytes = cli::ReadFileFromDisk(path.toStdString());
    Grid grid = ReadGridFromCsv(id, bytes);
    models_[static_cast<int>(id)]->ReplaceAll(std::move(grid), QStringLiteral("导入") + Q(AlignmentForm::TableTitle(id)));
    if (id == TableId::Jd || id == TableId::Elements) {
      (id == TableId::Jd ? jdKind_ : elementKind_)->setChecked(true);
    }
    return true;
  } catch (const AlignmentError& e) {
    ShowRefusal(QStringLiteral("无法导入“%1”：%2").arg(path, Q(e.what())));
    return false;
  }
}

bool AlignmentWindow::ImportLandXml(const QString& path) {
  PullFields();
  AlignmentForm imported = form_;
  try {
    ImportLandXmlIntoForm(imported, cli::ReadFileFromDisk(path.toStdString()));
  } catch (const AlignmentError& e) {
    ShowRefusal(QStringLiteral("无法导入“%1”：%2").arg(path, Q(e.what())));
    return false;
  }
  // One undo step per table; the start fields follow.
  for (TableId id : {TableId::Elements, TableId::Equations, TableId::Profile}) {
    models_[static_cast<int>(id)]->ReplaceAll(imported.Table(id), QStringLiteral("导入 LandXML"));
  }
  form_ = imported;
  PushFields();
  MarkModified();
  return true;
}

bool AlignmentWindow::ExportLandXml(const QString& path) {
  PullFields();
  if (const std::string problem = form_.FirstProblemMessage(RunKind::Stakes); !problem.empty()) {
    ShowRefusal(Q(problem));
    return false;
  }
  try {
    const std::string text = ExportLandXmlText(form_);
    const survey::Outcome outcome = platform::WriteFileAtomically(path.toStdString(), text);
    if (!outcome.ok()) {
      ShowRefusal(QStringLiteral("无法写入“%1”：%2").arg(path, Q(outcome.error)));
      return false;
    }
    return true;
  } catch (const AlignmentError& e) {
    ShowRefusal(Q(e.what()));
    return false;
  }
}

bool AlignmentWindow::ExportResultCsv(RunKind kind, const QString& path, bool gbk) {
  const std::string text = Result(kind).CsvWithTitles();
  const survey::Outcome outcome =
      gbk ? platform::WriteGbkFile(path.toStdString(), text) : platform::WriteFileAtomically(path.toStdString(), text);
  if (!outcome.ok()) {
    ShowRefusal(QStringLiteral("无法写入“%1”：%2").arg(path, Q(outcome.error)));
    return false;
  }
  return true;
}

void AlignmentWindow::CopyResult(RunKind kind) {
  std::vector<int> rows;
  if (QTableView* view = resultViews_.count(kind) ? resultViews_[kind] : nullptr) {
    for (const QModelIndex& index : view->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
  }
  QApplication::clipboard()->setText(Result(kind).TsvText(rows));
}

ReportTable AlignmentWindow::Report(ReportKind kind) const {
  const CsvResultModel* model = results_.at(kind == ReportKind::Stakes ? RunKind::Stakes : RunKind::Curves);
  QString name = Q(form_.projectName);
  if (name.isEmpty()) name = path_.isEmpty() ? QStringLiteral("未命名") : QFileInfo(path_).completeBaseName();
  return MakeReportTable(kind, model->Csv(), name, form_.degrees);
}

bool AlignmentWindow::ExportReportPdf(ReportKind kind, const QString& path) {
  QString error;
  if (!WriteReportPdf(Report(kind), path, &error)) {
    ShowRefusal(error);
    return false;
  }
  return true;
}

void AlignmentWindow::PrintReport(ReportKind kind, bool preview) {
  const ReportTable table = Report(kind);
  if (table.rows.empty()) {
    ShowRefusal(QStringLiteral("还没有计算结果，请先计算。"));
    return;
  }
  QPrinter printer(QPrinter::HighResolution);
  if (preview) {
    QPrintPreviewDialog dialog(&printer, this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [&table](QPrinter* p) { PaintReport(table, p); });
    dialog.exec();
  } else {
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) PaintReport(table, &printer);
  }
}

int RunWindow(QApplication& app) {
  QApplication::setApplicationName(QStringLiteral("alignment"));
  AlignmentWindow window;
  window.show();
  // A project file given on the command line (as the desktop entry passes it) opens at once.
  const QStringList args = app.arguments();
  if (args.size() > 1) window.OpenFrom(args[1]);
  return app.exec();
}

}  // namespace survey::alignment::window
