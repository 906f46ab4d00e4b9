#include "alignment/window/section_tabs.h"

#include <QAction>
#include <QBrush>
#include <QClipboard>
#include <QGuiApplication>
#include <QColor>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "alignment/alignment_error.h"
#include "alignment/text_format.h"
#include "alignment/window/grid_models.h"
#include "platform/qt_host.h"

namespace survey::alignment::window {

namespace {

std::string Quoted(const std::string& text) { return "“" + text + "”"; }

bool IsBlank(const std::string& s) { return s.find_first_not_of(" \t\r\n") == std::string::npos; }

// The stake range of the stake list's fields, as the stakes run reads them.
StakeOptions StakeRangeOf(const AlignmentForm& form) {
  StakeOptions options;
  if (!IsBlank(form.intervalText)) {
    const std::optional<double> v = ReadNumber(form.intervalText);
    if (!v) throw AlignmentError("桩距：" + Quoted(form.intervalText) + "不是数字。");
    options.interval = *v;
  }
  const auto station = [](const char* label, const std::string& text) -> std::optional<double> {
    if (IsBlank(text)) return std::nullopt;
    const std::optional<double> v = ReadStation(text);
    if (!v) throw AlignmentError(std::string(label) + "：" + Quoted(text) + "不是桩号（如 K12+345.678 或 12345.678）。");
    return v;
  };
  options.fromStation = station("起始桩号", form.fromText);
  options.toStation = station("终止桩号", form.toText);
  return options;
}

int DecimalsOf(const AlignmentForm& form) {
  const std::optional<double> n = ReadNumber(form.decimalsText);
  if (!n || *n != std::trunc(*n) || *n < 0 || *n > 9) return 3;
  return static_cast<int>(*n);
}

}  // namespace

// --- The tables -------------------------------------------------------------------------------

SectionGridModel::SectionGridModel(AlignmentForm& form, SectionTableId table, QUndoStack* undo, QObject* parent)
    : EditableGridModel(undo, parent), form_(form), table_(table) {
  Recheck();
}

int SectionGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(form_.section.Grid(table_).size());
}

QVariant SectionGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const auto& grid = form_.section.Grid(table_);
  const std::size_t r = static_cast<std::size_t>(index.row()), c = static_cast<std::size_t>(index.column());
  if (r >= grid.size() || c >= grid[r].size()) return {};
  const bool marked = problem_ && problem_->row == index.row();
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return platform::ToQString(grid[r][c]);
    case Qt::ToolTipRole: return marked ? QVariant(platform::ToQString(problem_->message)) : QVariant();
    case Qt::BackgroundRole: return marked ? QVariant(QBrush(QColor(255, 200, 200))) : QVariant();
    default: return {};
  }
}

QVariant SectionGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  const auto& columns = SectionInputs::Columns(table_);
  if (section < 0 || static_cast<std::size_t>(section) >= columns.size()) return {};
  return platform::ToQString(columns[static_cast<std::size_t>(section)].title);
}

bool SectionGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid()) return false;
  Grid after = form_.section.Grid(table_);
  const std::size_t r = static_cast<std::size_t>(index.row()), c = static_cast<std::size_t>(index.column());
  if (r >= after.size() || c >= after[r].size()) return false;
  const std::string text = value.toString().trimmed().toStdString();
  if (after[r][c] == text) return false;
  after[r][c] = text;
  PushChange(std::move(after), QStringLiteral("编辑%1").arg(platform::ToQString(SectionInputs::Title(table_))));
  return true;
}

void SectionGridModel::PasteBlock(int row, int column, const QString& text) {
  const QStringList lines = PastedLines(text);
  if (lines.isEmpty()) return;
  Grid after = form_.section.Grid(table_);
  PasteLines(after, SectionInputs::Columns(table_).size(), row, column, lines);
  PushChange(std::move(after), QStringLiteral("粘贴"));
}

// As the source grids: an edit keeps the view's current cell (a reset in the middle of a cell's
// commit would leave the next keys nowhere to go); only rows removed or moved reset the view.
void SectionGridModel::Apply(const Grid& rows) {
  Grid& grid = form_.section.Grid(table_);
  const int before = rowCount(), after = static_cast<int>(rows.size());
  if (after < before) {
    beginResetModel();
    grid = rows;
    Recheck();
    endResetModel();
  } else {
    if (after > before) beginInsertRows({}, before, after - 1);
    grid = rows;
    Recheck();
    if (after > before) endInsertRows();
    // Every row: a problem found or gone may mark any of them.
    if (after > 0) emit dataChanged(index(0, 0), index(after - 1, columnCount() - 1));
  }
  emit Edited();
}

void SectionGridModel::Reload() {
  beginResetModel();
  for (auto& row : form_.section.Grid(table_)) row.resize(SectionInputs::Columns(table_).size());
  Recheck();
  endResetModel();
}

void SectionGridModel::ReplaceAll(Grid rows, const QString& what) {
  for (auto& row : rows) row.resize(SectionInputs::Columns(table_).size());
  PushChange(std::move(rows), what);
}

void SectionGridModel::Recheck() {
  problem_.reset();
  for (SectionProblem& p : form_.section.ReaderProblems()) {
    if (p.table == table_) problem_ = std::move(p);
  }
}

void SectionGridModel::ShowProblem(std::optional<SectionProblem> problem) {
  beginResetModel();
  problem_ = std::move(problem);
  endResetModel();
}

// --- The rows ---------------------------------------------------------------------------------

void SectionRowsModel::SetRows(SectionRowsResult rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

int SectionRowsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(std::min<std::size_t>(rows_.rows.size(), 0x7fffffff));
}

int SectionRowsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.keys.size());
}

QVariant SectionRowsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::TextAlignmentRole)) return {};
  const std::size_t r = static_cast<std::size_t>(index.row()), c = static_cast<std::size_t>(index.column());
  if (r >= rows_.rows.size() || c >= rows_.rows[r].size()) return {};
  if (role == Qt::TextAlignmentRole) {
    return c >= 4 ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant(int(Qt::AlignLeft | Qt::AlignVCenter));
  }
  const std::string& text = rows_.rows[r][c];
  if (rows_.keys[c] == "station") {
    // The rows keep the command's plain metres (they are compared with it and read back);
    // the surveyor reads K stations, with the places the row was written with.
    if (const std::optional<double> station = ReadNumber(text)) {
      const std::size_t dot = text.find('.');
      const int decimals = dot == std::string::npos ? 0 : static_cast<int>(text.size() - dot - 1);
      return platform::ToQString(StationKText(*station, decimals));
    }
  }
  return platform::ToQString(text);
}

QVariant SectionRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  static const std::vector<std::pair<std::string, const char*>> titles = {
      {"name", "桩名"},         {"station", "桩号"},   {"side", "侧"},
      {"part", "名称"},         {"offset", "偏距 (m)"}, {"width", "宽度 (m)"},
      {"slope", "横坡 (%)"},    {"elevation", "设计高程 (m)"},
      {"relative_elevation", "相对高程 (m)"}, {"x", "X (m)"}, {"y", "Y (m)"}};
  if (section < 0 || static_cast<std::size_t>(section) >= rows_.keys.size()) return {};
  const std::string& key = rows_.keys[static_cast<std::size_t>(section)];
  for (const auto& [k, t] : titles) {
    if (k == key) return QString::fromUtf8(t);
  }
  return platform::ToQString(key);
}

// --- The page ---------------------------------------------------------------------------------

SectionPanel::SectionPanel(AlignmentForm& form, QUndoStack& undo, CrossSectionView* view, QWidget* parent)
    : QWidget(parent), form_(form), view_(view), rows_(this) {
  auto* layout = new QVBoxLayout(this);
  auto* options = new QHBoxLayout;
  const auto combo = [&](const char* name, std::initializer_list<std::pair<const char*, QString>> items) {
    auto* box = new QComboBox;
    box->setObjectName(QString::fromLatin1(name));
    for (const auto& [key, text] : items) box->addItem(text, QString::fromLatin1(key));
    connect(box, &QComboBox::currentIndexChanged, this, [this] {
      if (pushing_) return;
      PullOptions();
      emit OptionsChanged();
      InputsChanged();
    });
    return box;
  };
  profileAt_ = combo("profileAt", {{"line", QStringLiteral("设计线")}, {"edge", QStringLiteral("路基边缘")},
                                   {"median", QStringLiteral("中央分隔带边缘")}});
  rotateAbout_ = combo("rotateAbout", {{"line", QStringLiteral("设计线")}, {"inner-edge", QStringLiteral("内侧边缘")},
                                       {"median", QStringLiteral("中央分隔带边缘")}});
  transition_ = combo("wideningTransition", {{"linear", QStringLiteral("线性")}, {"cubic", QStringLiteral("高次抛物线")}});
  options->addWidget(new QLabel(QStringLiteral("纵断面高程位于")));
  options->addWidget(profileAt_);
  options->addWidget(new QLabel(QStringLiteral("超高旋转轴")));
  options->addWidget(rotateAbout_);
  options->addWidget(new QLabel(QStringLiteral("加宽过渡")));
  options->addWidget(transition_);
  auto* compute = new QPushButton(QStringLiteral("计算横断面"));
  compute->setObjectName(QStringLiteral("computeSections"));
  connect(compute, &QPushButton::clicked, this, [this] { Compute(); });
  options->addWidget(compute);
  options->addStretch(1);
  layout->addLayout(options);

  tabs_ = new QTabWidget;
  tabs_->setObjectName(QStringLiteral("sectionTabs"));
  for (SectionTableId id : kSectionTables) {
    const int i = static_cast<int>(id);
    models_[i] = new SectionGridModel(form_, id, &undo, this);
    auto* grid = new SpreadsheetGridView;
    grid->setObjectName(QStringLiteral("sectionGrid%1").arg(i));
    grid->setModel(models_[i]);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid->paste = [this, grid, id] {
      const QModelIndex at = grid->currentIndex();
      Model(id)->PasteBlock(at.isValid() ? at.row() : Model(id)->rowCount(), at.isValid() ? at.column() : 0,
                            QGuiApplication::clipboard()->text());
    };
    views_[i] = grid;
    grid->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* insert = new QAction(QStringLiteral("插入行"), grid);
    connect(insert, &QAction::triggered, this, [this] { InsertRowInCurrent(); });
    auto* remove = new QAction(QStringLiteral("删除行"), grid);
    connect(remove, &QAction::triggered, this, [this] { DeleteRowsInCurrent(); });
    auto* paste = new QAction(QStringLiteral("粘贴表格"), grid);
    connect(paste, &QAction::triggered, this, [this] { PasteIntoCurrent(); });
    grid->addActions({insert, remove, paste});
    connect(models_[i], &SectionGridModel::Edited, this, [this] { emit Edited(); });
    tabs_->addTab(grid, platform::ToQString(SectionInputs::Title(id)));
  }
  auto* rowsView = rowsView_ = new QTableView;
  rowsView->setObjectName(QStringLiteral("sectionRows"));
  rowsView->setModel(&rows_);
  rowsView->setSelectionBehavior(QAbstractItemView::SelectRows);
  // Rows as dense as the other result grids.
  rowsView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  rowsView->verticalHeader()->setDefaultSectionSize(rowsView->fontMetrics().height() + 6);
  connect(rowsView, &QTableView::clicked, this, [this](const QModelIndex& index) { ShowRow(index.row()); });
  tabs_->addTab(rowsView, QStringLiteral("横断面成果"));
  layout->addWidget(tabs_, 1);
  // Every edit of a table or field, its undo and redo included, passes the undo stack.
  redraw_ = new QTimer(this);
  redraw_->setSingleShot(true);
  connect(redraw_, &QTimer::timeout, this, [this] { RedrawShown(); });
  connect(&undo, &QUndoStack::indexChanged, this, [this] { InputsChanged(); });
  view_->installEventFilter(this);
  Reload();
}

void SectionPanel::InputsChanged() {
  if (!rows_.Rows().rows.empty()) {
    QPalette palette = rowsView_->style()->standardPalette();
    palette.setColor(QPalette::Text, palette.color(QPalette::Disabled, QPalette::Text));
    rowsView_->setPalette(palette);
  }
  if (!shownStation_) return;
  redrawDue_ = true;
  redraw_->start(0);
}

void SectionPanel::RedrawShown() {
  if (!redrawDue_ || !shownStation_ || !view_->isVisible()) return;
  redrawDue_ = false;
  ShowStation(*shownStation_);
}

bool SectionPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_ && event->type() == QEvent::Show) RedrawShown();
  return QWidget::eventFilter(watched, event);
}

void SectionPanel::ShowTable(SectionTableId id) { tabs_->setCurrentIndex(static_cast<int>(id)); }

SectionGridModel* SectionPanel::CurrentModel(QTableView** view) {
  const int i = tabs_->currentIndex();
  if (i < 0 || i >= kGrids) return nullptr;
  if (view) *view = views_[i];
  return models_[i];
}

void SectionPanel::PasteIntoCurrent() {
  QTableView* view = nullptr;
  SectionGridModel* model = CurrentModel(&view);
  if (!model) return;
  const QModelIndex at = view->currentIndex();
  model->PasteBlock(at.isValid() ? at.row() : model->rowCount(), at.isValid() ? at.column() : 0,
                    QGuiApplication::clipboard()->text());
}

void SectionPanel::InsertRowInCurrent() {
  QTableView* view = nullptr;
  if (SectionGridModel* model = CurrentModel(&view)) model->InsertRowAtCurrent(*view);
}

void SectionPanel::DeleteRowsInCurrent() {
  QTableView* view = nullptr;
  if (SectionGridModel* model = CurrentModel(&view)) model->RemoveSelectedRows(*view);
}

void SectionPanel::Reload() {
  pushing_ = true;
  for (SectionGridModel* m : models_) m->Reload();
  const auto select = [](QComboBox* box, const char* key) { box->setCurrentIndex(std::max(0, box->findData(QString::fromLatin1(key)))); };
  select(profileAt_, ProfileAtKey(form_.section.options.profileAt));
  select(rotateAbout_, RotateAboutKey(form_.section.options.rotateAbout));
  select(transition_, TransitionKey(form_.section.options.widening));
  pushing_ = false;
  rows_.SetRows({});
  rowsView_->setPalette(rowsView_->style()->standardPalette());
  shownStation_.reset();
  redrawDue_ = false;
  view_->SetMessage(QStringLiteral("在逐桩坐标表中选一个桩，这里画出它的横断面。"));
}

void SectionPanel::PullOptions() {
  form_.section.options.profileAt = ProfileAtFromKey(profileAt_->currentData().toString().toStdString()).value_or(section::ProfileAt::Line);
  form_.section.options.rotateAbout =
      RotateAboutFromKey(rotateAbout_->currentData().toString().toStdString()).value_or(section::RotateAbout::Line);
  form_.section.options.widening =
      TransitionFromKey(transition_->currentData().toString().toStdString()).value_or(section::Transition::Linear);
}

void SectionPanel::Refuse(const std::string& text) {
  if (refuse) refuse(platform::ToQString(text));
}

std::optional<SectionPanel::Setup> SectionPanel::Prepare() {
  Setup setup;
  std::string error;
  setup.design = form_.Design(true, &error);
  if (!setup.design) {
    Refuse(error);
    return std::nullopt;
  }
  SectionProblem problem;
  setup.model = form_.section.Model(setup.design->route.Stations(), &problem);
  for (SectionGridModel* m : models_) {
    if (m->Table() == problem.table && !setup.model) m->ShowProblem(problem);
  }
  if (!setup.model) {
    tabs_->setCurrentIndex(static_cast<int>(problem.table));
    Refuse(problem.message);
    return std::nullopt;
  }
  try {
    setup.stakes = StakeRangeOf(form_);
  } catch (const AlignmentError& e) {
    Refuse(e.what());
    return std::nullopt;
  }
  setup.decimals = DecimalsOf(form_);
  return setup;
}

bool SectionPanel::Compute() {
  std::optional<Setup> setup = Prepare();
  if (!setup) return false;
  const Profile* profile = setup->design->profile ? &setup->design->profile->profile : nullptr;
  try {
    rows_.SetRows(SectionRowsOf(setup->design->route, *setup->model, profile, setup->stakes, setup->decimals));
  } catch (const AlignmentError& e) {
    Refuse(e.what());
    return false;
  } catch (const std::bad_alloc&) {
    Refuse("内存不足，桩太多。");
    return false;
  }
  rowsView_->setPalette(rowsView_->style()->standardPalette());
  tabs_->setCurrentIndex(kGrids);
  // The tables may have changed since the view was drawn: the same station again, or the first.
  if (shownStation_) ShowStation(*shownStation_);
  else if (!rows_.Rows().rows.empty()) ShowRow(0);
  return true;
}

bool SectionPanel::ShowStation(double station) {
  shownStation_ = station;
  redrawDue_ = false;
  if (!form_.section.HasSection()) {
    view_->SetMessage(QStringLiteral("没有标准横断面：在“横断面”页填写后，这里画出所选桩的横断面。"));
    return false;
  }
  std::string error;
  const std::shared_ptr<const RouteDesign> design = form_.Design(true, &error);
  if (!design) {
    view_->SetMessage(platform::ToQString(error));
    return false;
  }
  SectionProblem problem;
  std::optional<section::SectionModel> built = form_.section.Model(design->route.Stations(), &problem);
  if (!built) {
    view_->SetMessage(platform::ToQString(problem.message));
    return false;
  }
  const auto model = std::make_shared<const section::SectionModel>(std::move(*built));
  const StationLine::Found found = design->route.Stations().Find(station);
  if (found.where != StationLine::Where::Inside) {
    view_->SetMessage(QStringLiteral("桩号不在路线上。"));
    return false;
  }
  const Profile* profile = design->profile ? &design->profile->profile : nullptr;
  try {
    view_->SetSection(model, section::SectionAt(*model, profile, found.chainage),
                      QStringLiteral("%1 横断面").arg(platform::ToQString(StationKText(station, DecimalsOf(form_)))),
                      profile == nullptr);
    // A 边坡 table that cannot be read draws no slopes; its red row says why.
    std::optional<section::SideSlopes> slopes = form_.section.Slopes(nullptr);
    std::vector<SectionMark> marks =
        MarksNear(form_.Table(TableId::Points), *design, *model, slopes ? &*slopes : nullptr, found.chainage);
    view_->SetField(found.chainage, std::move(slopes), std::move(marks));
  } catch (const std::bad_alloc&) {
    view_->SetMessage(QStringLiteral("内存不足，点表过大。"));
    return false;
  } catch (const AlignmentError& e) {
    view_->SetMessage(platform::ToQString(e.what()));
    return false;
  }
  return true;
}

void SectionPanel::ShowRow(int row) {
  const auto& result = rows_.Rows();
  if (row < 0 || static_cast<std::size_t>(row) >= result.rows.size()) return;
  const std::optional<double> station = ReadNumber(result.rows[static_cast<std::size_t>(row)][1]);
  if (station) ShowStation(*station);
}

std::optional<section::SubgradeTable> SectionPanel::SubgradeTable() {
  std::optional<Setup> setup = Prepare();
  if (!setup) return std::nullopt;
  const Profile* profile = setup->design->profile ? &setup->design->profile->profile : nullptr;
  try {
    return section::MakeSubgradeTable(setup->design->route, *setup->model, profile, setup->stakes, setup->decimals);
  } catch (const AlignmentError& e) {
    Refuse(e.what());
  } catch (const std::bad_alloc&) {
    Refuse("内存不足，桩太多。");
  }
  return std::nullopt;
}

}  // namespace survey::alignment::window
