#include "alignment/window/main_window.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
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
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QGridLayout>
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
#include "alignment/cli/command.h"
#include "alignment/window/field_edit.h"
#include "alignment/window/project_file.h"
#include "platform/paths.h"
#include "platform/text_files.h"
#include "platform/qt_host.h"

namespace survey::alignment::window {

AlignmentWindow::AlignmentWindow(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("AlignmentWindow"));
  setWindowIcon(QIcon(QStringLiteral(":/alignment/alignment-32.png")));
  BuildUi();
  BuildMenus();
  connect(&undo_, &QUndoStack::cleanChanged, this, [this] { UpdateTitle(); });
  // Every edit of an input, its undo and redo included, passes the undo stack.
  connect(&undo_, &QUndoStack::indexChanged, this, [this] { MarkStale(); });
  connect(&runs_, &RunController::Started, this, [this](std::size_t expected) {
    progress_->setValue(0);
    progress_->show();
    cancelButton_->show();
    // A check's size is its points, every other run's its stakes.
    statusBar()->showMessage((runningCheck_ ? QStringLiteral("正在检查约 %1 点…") : QStringLiteral("正在计算约 %1 个桩…"))
                                 .arg(expected));
  });
  connect(&runs_, &RunController::Progress, progress_, &QProgressBar::setValue);
  connect(&runs_, &RunController::Finished, this, [this](const std::shared_ptr<RunOutcome>& outcome) {
    progress_->hide();
    cancelButton_->hide();
    Apply(*outcome);
    emit RunFinished();
  });
  UpdateTitle();
  resize(1280, 800);
}

// The widgets and the source models read the form, a member that is gone by the time QObject
// deletes its children (a window destroyed while shown hides its views then, and they count
// the rows of a freed table): they go first. The undo stack, clearing itself as it goes, must
// no longer mark results stale.
AlignmentWindow::~AlignmentWindow() {
  disconnect(&undo_, nullptr, this, nullptr);
  delete centralWidget();
  for (SourceGridModel*& model : models_) {
    delete model;
    model = nullptr;
  }
}

ResultGridModel& AlignmentWindow::Result(RunKind kind) {
  if (kind == RunKind::LocateTable) kind = RunKind::LocatePoint;
  return *results_.at(kind);
}

QLineEdit* AlignmentWindow::Field(const QString& name, std::string AlignmentForm::*member) {
  auto* edit = new QLineEdit(platform::ToQString(form_.*member));
  edit->setObjectName(name);
  fields_.emplace_back(edit, member);
  // Each edit is an undo step of the project, like a table's.
  connect(edit, &QLineEdit::textEdited, this, [this, edit, member] {
    std::string after = edit->text().toStdString();
    if (after != form_.*member) undo_.push(new FieldEdit(form_, member, edit, form_.*member, std::move(after)));
    MarkStale();  // also when the key joins the field's last step, which moves no undo index
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
  auto* view = new SpreadsheetGridView;
  view->setObjectName(QStringLiteral("table_") + platform::ToQString(AlignmentForm::Columns(id).front().key) + QString::number(static_cast<int>(id)));
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
  auto* model = new ResultGridModel(this);
  results_[kind] = model;
  auto* view = new QTableView;
  view->setObjectName(QStringLiteral("result%1").arg(static_cast<int>(kind)));
  view->setModel(model);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
  view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  // Wide enough for an 8-digit coordinate or a K station where a large result keeps the
  // default widths instead of measuring its rows.
  view->horizontalHeader()->setDefaultSectionSize(
      std::max(96, view->fontMetrics().horizontalAdvance(QStringLiteral("-30000000.0000")) + 12));
  resultViews_[kind] = view;
  connect(view, &QTableView::clicked, this, [this, kind](const QModelIndex& index) { OnResultRow(kind, index.row()); });
  view->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* copy = new QAction(QStringLiteral("复制（制表符分隔，含表头）"), view);
  copy->setShortcut(QKeySequence::Copy);
  copy->setShortcutContext(Qt::WidgetShortcut);
  connect(copy, &QAction::triggered, this, [this, kind] { transfers_.CopyResult(kind); });
  view->addAction(copy);
  AddTransferActions(view, kind, [model](bool on) { model->SetTransferAsShown(on); });
  FreezeLeadingColumns(view, model);
  layout->addWidget(view, 1);
  return page;
}

void AlignmentWindow::AddTransferActions(QTableView* view, RunKind kind, const std::function<void(bool)>& setAsShown) {
  auto* utf8 = new QAction(QStringLiteral("导出 CSV（UTF-8）…"), view);
  auto* gbk = new QAction(QStringLiteral("导出 CSV（GBK）…"), view);
  for (auto [action, isGbk] : {std::pair{utf8, false}, std::pair{gbk, true}}) {
    connect(action, &QAction::triggered, this, [this, kind, isGbk = isGbk] { transfers_.AskExportResultCsv(kind, isGbk); });
  }
  auto* asShown = new QAction(QStringLiteral("复制和导出按显示格式（K 桩号、度分秒）"), view);
  asShown->setObjectName(QStringLiteral("transferAsShown"));
  asShown->setCheckable(true);
  connect(asShown, &QAction::toggled, view, setAsShown);
  view->addActions({utf8, gbk, asShown});
}

void AlignmentWindow::BuildUi() {
  leftTabs_ = new QTabWidget;
  leftTabs_->setObjectName(QStringLiteral("leftTabs"));
  leftTabs_->addTab(BuildSettingsTab(), QStringLiteral("路线设置"));
  leftTabs_->addTab(BuildSourceTab(TableId::Jd), QStringLiteral("JD 表"));
  leftTabs_->addTab(BuildSourceTab(TableId::Elements), QStringLiteral("线元表"));
  leftTabs_->addTab(BuildSourceTab(TableId::Equations), QStringLiteral("断链"));
  leftTabs_->addTab(BuildSourceTab(TableId::Profile), QStringLiteral("纵断面"));
  sectionView_ = new CrossSectionView;
  sectionView_->setObjectName(QStringLiteral("sectionView"));
  sections_ = new SectionPanel(form_, undo_, sectionView_);
  sections_->setObjectName(QStringLiteral("sections"));
  sections_->refuse = [this](const QString& text) { ShowRefusal(text); };
  connect(sections_, &SectionPanel::Edited, this, [this] { UpdateTitle(); });
  connect(sections_, &SectionPanel::OptionsChanged, this, [this] { MarkModified(); });
  leftTabs_->addTab(sections_, QStringLiteral("横断面"));

  leftTabs_->addTab(BuildResultTab(RunKind::Curves, nullptr), QStringLiteral("曲线要素"));

  // Two rows, so that no field shrinks to a sliver at 1024 px: the range, then the side stakes.
  auto* stakeOptions = new QWidget;
  auto* so = new QGridLayout(stakeOptions);
  so->setContentsMargins(0, 0, 0, 0);
  const int charWidth = fontMetrics().horizontalAdvance(QLatin1Char('0'));
  const auto sized = [charWidth](QLineEdit* field, int chars) {
    field->setMinimumWidth(charWidth * chars);
    return field;
  };
  so->addWidget(new QLabel(QStringLiteral("间距 (m)")), 0, 0);
  so->addWidget(sized(Field(QStringLiteral("interval"), &AlignmentForm::intervalText), 6), 0, 1);
  so->addWidget(new QLabel(QStringLiteral("起")), 0, 2);
  so->addWidget(sized(Field(QStringLiteral("from"), &AlignmentForm::fromText), 12), 0, 3);
  so->addWidget(new QLabel(QStringLiteral("止")), 0, 4);
  so->addWidget(sized(Field(QStringLiteral("to"), &AlignmentForm::toText), 12), 0, 5);
  so->addWidget(new QLabel(QStringLiteral("边桩偏距 (m)")), 1, 0);
  so->addWidget(sized(Field(QStringLiteral("offsets"), &AlignmentForm::offsetsText), 14), 1, 1, 1, 3);
  so->addWidget(new QLabel(QStringLiteral("斜交角")), 1, 4);
  so->addWidget(sized(Field(QStringLiteral("skew"), &AlignmentForm::skewText), 10), 1, 5);
  auto* computeButton = new QPushButton(QStringLiteral("计算"));
  computeButton->setObjectName(QStringLiteral("computeStakes"));
  connect(computeButton, &QPushButton::clicked, this, [this] { ComputeAll(); });
  so->addWidget(computeButton, 0, 6, 2, 1);
  so->setColumnStretch(7, 1);
  leftTabs_->addTab(BuildResultTab(RunKind::Stakes, stakeOptions), QStringLiteral("逐桩坐标"));

  leftTabs_->addTab(BuildResultTab(RunKind::LocatePoint, BuildLocateOptions()), QStringLiteral("反算"));

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
  leftTabs_->addTab(BuildCheckTab(), QStringLiteral("偏差检查"));
  results_[RunKind::Profile] = new ResultGridModel(this);

  rightTabs_ = new QTabWidget;
  rightTabs_->setObjectName(QStringLiteral("viewTabs"));
  plan_ = new PlanView;
  plan_->setObjectName(QStringLiteral("planView"));
  profileView_ = new ProfileView;
  profileView_->setObjectName(QStringLiteral("profileView"));
  rightTabs_->addTab(plan_, QStringLiteral("平面图"));
  rightTabs_->addTab(profileView_, QStringLiteral("纵断面图"));
  rightTabs_->addTab(sectionView_, QStringLiteral("横断面图"));
  connect(plan_, &PlanView::CursorMoved, this, [this](double x, double y) { OnCursor(x, y); });

  // Every tab in sight: the tab bar takes the width its titles need instead of scrolling.
  leftTabs_->setUsesScrollButtons(false);
  auto* splitter = new QSplitter;
  splitter->addWidget(leftTabs_);
  splitter->addWidget(rightTabs_);
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({560, 720});
  staleBanner_ = new QLabel(QStringLiteral("数据已修改，请重新计算 (F5)"));
  staleBanner_->setObjectName(QStringLiteral("staleBanner"));
  staleBanner_->setStyleSheet(QStringLiteral("QLabel { background: #fff3c4; color: #7a4b00; padding: 4px; font-weight: bold; }"));
  staleBanner_->hide();
  auto* central = new QWidget;
  auto* centralLayout = new QVBoxLayout(central);
  centralLayout->setContentsMargins(0, 0, 0, 0);
  centralLayout->setSpacing(0);
  centralLayout->addWidget(staleBanner_);
  centralLayout->addWidget(splitter, 1);
  setCentralWidget(central);

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
    import->addAction(platform::ToQString(AlignmentForm::TableTitle(id)) + QStringLiteral("…"), this,
                      [this, id] { transfers_.AskImportTable(id); });
  }
  import->addSeparator();
  for (SectionTableId id : kSectionTables) {
    import->addAction(platform::ToQString(SectionInputs::Title(id)) + QStringLiteral("…"), this,
                      [this, id] { transfers_.AskImportSectionTable(id); });
  }
  file->addAction(QStringLiteral("导入 LandXML…"), this, [this] { transfers_.AskImportLandXml(); });
  file->addAction(QStringLiteral("导出 LandXML…"), this, [this] { transfers_.AskExportLandXml(); });
  QMenu* field = file->addMenu(QStringLiteral("导出逐桩坐标与平面图"));
  for (WindowTransfers::PointFile kind : {WindowTransfers::PointFile::Cass, WindowTransfers::PointFile::Gsi16}) {
    field->addAction(platform::ToQString(WindowTransfers::PointFileTitle(kind)) + QStringLiteral("…"), this,
                     [this, kind] { transfers_.AskExportStakePoints(kind); });
  }
  field->addAction(QStringLiteral("平面图 DXF…"), this, [this] { transfers_.AskExportPlanDxf(); });
  file->addSeparator();
  // The printed tables and drawings: preview, print and PDF of each.
  for (Printout printout : kPrintouts) {
    QMenu* menu = file->addMenu(platform::ToQString(WindowPrinting::Title(printout)));
    menu->addAction(QStringLiteral("打印预览…"), this, [this, printout] { printing_.Print(printout, true); });
    menu->addAction(QStringLiteral("打印…"), this, [this, printout] { printing_.Print(printout, false); });
    menu->addAction(QStringLiteral("导出 PDF…"), this, [this, printout] { printing_.AskExportPdf(printout); });
  }
  file->addSeparator();
  file->addAction(QStringLiteral("退出"), QKeySequence::Quit, this, [this] { close(); });
  RebuildRecentMenu();

  QMenu* edit = menuBar()->addMenu(QStringLiteral("编辑(&E)"));
  QAction* undo = undo_.createUndoAction(this, QStringLiteral("撤销"));
  undo->setShortcut(QKeySequence::Undo);
  QAction* redo = undo_.createRedoAction(this, QStringLiteral("重做"));
  // Ctrl+Y beside the platform's own (Ctrl+Shift+Z here): surveyors come from spreadsheets.
  QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
  for (const QKeySequence& key : {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}) {
    if (!redoKeys.contains(key)) redoKeys.append(key);
  }
  redo->setShortcuts(redoKeys);
  edit->addAction(undo);
  edit->addAction(redo);
  edit->addSeparator();
  edit->addAction(QStringLiteral("插入行"), QKeySequence(Qt::CTRL | Qt::Key_Insert), this, [this] { InsertRowInCurrent(); });
  edit->addAction(QStringLiteral("删除行"), QKeySequence(Qt::CTRL | Qt::Key_Delete), this, [this] { DeleteRowsInCurrent(); });
  edit->addAction(QStringLiteral("粘贴表格"), this, [this] { PasteIntoCurrent(); });
  edit->addAction(QStringLiteral("向下填充"), QKeySequence(Qt::CTRL | Qt::Key_D), this, [this] { FillDownInCurrent(); });

  QMenu* compute = menuBar()->addMenu(QStringLiteral("计算(&C)"));
  QAction* run = compute->addAction(QStringLiteral("计算曲线要素与逐桩坐标"), QKeySequence(Qt::Key_F5), this, [this] { ComputeShown(); });
  run->setObjectName(QStringLiteral("computeShown"));
  computeShown_ = run;
  connect(leftTabs_, &QTabWidget::currentChanged, this, [this] { NameShownRun(); });
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
