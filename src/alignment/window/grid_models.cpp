#include "alignment/window/grid_models.h"

#include <QBrush>
#include <QColor>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <algorithm>
#include <map>
#include <optional>

#include "alignment/text_format.h"
#include "platform/qt_host.h"

namespace survey::alignment::window {

namespace {

// One undo step: the whole table before and after. Tables typed by hand are small (hundreds of
// rows), and a snapshot cannot get out of step with the edit.
class GridChange : public QUndoCommand {
 public:
  GridChange(EditableGridModel* model, Grid before, Grid after, const QString& text)
      : QUndoCommand(text), model_(model), before_(std::move(before)), after_(std::move(after)) {}
  void undo() override { model_->Apply(before_); }
  void redo() override { model_->Apply(after_); }

 private:
  EditableGridModel* model_;
  Grid before_, after_;
};

std::string Trimmed(const QString& text) { return text.trimmed().toStdString(); }
std::string Trimmed(const std::string& text) { return Trimmed(QString::fromStdString(text)); }

// A line of a pasted block that holds no number in any of the table's number columns it covers,
// though it has text there: the header copied with the data.
bool IsHeaderLine(TableId table, int column, const QString& line) {
  const std::vector<ColumnDef>& columns = AlignmentForm::Columns(table);
  const QStringList cells = line.split(QLatin1Char('\t'));
  int texts = 0;
  for (int j = 0; j < cells.size(); ++j) {
    const auto c = static_cast<std::size_t>(column + j);
    if (c >= columns.size()) break;
    const std::string& key = columns[c].key;
    if (key == "name" || key == "type" || key == "turn") continue;
    const std::string cell = Trimmed(cells[j]);
    if (cell.empty()) continue;
    if (ReadNumber(cell) || ReadStation(cell) || cell == "inf" || cell == "∞") return false;
    ++texts;
  }
  return texts > 0;
}

}  // namespace

// --- Editing -----------------------------------------------------------------------------------

int EditableGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(Width());
}

Qt::ItemFlags EditableGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

void EditableGridModel::InsertRowsAt(int row, int count) {
  Grid after = Rows();
  row = std::clamp(row, 0, static_cast<int>(after.size()));
  after.insert(after.begin() + row, static_cast<std::size_t>(std::max(count, 0)), std::vector<std::string>(Width()));
  PushChange(std::move(after), QStringLiteral("插入行"));
}

void EditableGridModel::RemoveRowList(std::vector<int> rows) {
  Grid after = Rows();
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    if (*it >= 0 && *it < static_cast<int>(after.size())) after.erase(after.begin() + *it);
  }
  if (after.size() == Rows().size()) return;
  PushChange(std::move(after), QStringLiteral("删除行"));
}

void EditableGridModel::PushChange(Grid after, const QString& text) {
  if (undo_) {
    undo_->push(new GridChange(this, Rows(), std::move(after), text));
  } else {
    Apply(after);
  }
}

// --- Source tables -------------------------------------------------------------------------------

SourceGridModel::SourceGridModel(AlignmentForm& form, TableId table, QUndoStack* undo, QObject* parent)
    : EditableGridModel(undo, parent), form_(form), table_(table) {}

int SourceGridModel::DataRows() const { return static_cast<int>(form_.Table(table_).size()); }

int SourceGridModel::BlankRowsShown() const { return table_ == TableId::Jd && DataRows() == 0 ? 2 : 1; }

int SourceGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : DataRows() + BlankRowsShown(); }


QVariant SourceGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const Grid& grid = form_.Table(table_);
  if (index.row() >= DataRows()) {
    // The starter pair's hints: where the start and the end of the route go.
    if (table_ != TableId::Jd || DataRows() != 0 || index.column() != 0) return {};
    if (role == Qt::DisplayRole) return index.row() == 0 ? QStringLiteral("QD") : QStringLiteral("ZD");
    if (role == Qt::ForegroundRole) return QBrush(QColor(150, 150, 150));
    return {};
  }
  const auto& cell = grid[static_cast<std::size_t>(index.row())][static_cast<std::size_t>(index.column())];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return platform::ToQString(cell);
    case Qt::ToolTipRole: {
      const std::string problem = form_.CellProblemText(table_, index.row(), index.column());
      return problem.empty() ? QVariant() : QVariant(platform::ToQString(problem));
    }
    case Qt::BackgroundRole:
      if (!form_.CellProblemText(table_, index.row(), index.column()).empty()) return QBrush(QColor(255, 200, 200));
      return {};
    default: return {};
  }
}

QVariant SourceGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) {
    const auto& columns = AlignmentForm::Columns(table_);
    if (section >= 0 && section < static_cast<int>(columns.size())) return platform::ToQString(columns[static_cast<std::size_t>(section)].title);
    return {};
  }
  return section < DataRows() ? QVariant(section + 1) : QVariant(QStringLiteral("*"));
}


bool SourceGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  Grid after = form_.Table(table_);
  const std::string text = value.toString().toStdString();
  const auto row = static_cast<std::size_t>(index.row());
  // Nothing typed into a blank row below the table adds no row.
  if (row >= after.size() && Trimmed(text).empty()) return false;
  while (after.size() <= row) after.emplace_back(AlignmentForm::Columns(table_).size());
  std::string& cell = after[row][static_cast<std::size_t>(index.column())];
  if (cell == text) return false;
  cell = text;
  PushChange(std::move(after), QStringLiteral("编辑单元格"));
  return true;
}

QStringList PastedLines(const QString& text) {
  QString block = text;
  block.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
  if (block.endsWith(QLatin1Char('\n'))) block.chop(1);
  if (block.isEmpty()) return {};
  return block.split(QLatin1Char('\n'));
}

void PasteLines(Grid& grid, std::size_t width, int row, int column, const QStringList& lines) {
  row = std::max(row, 0);
  column = std::max(column, 0);
  for (int i = 0; i < lines.size(); ++i) {
    const std::size_t r = static_cast<std::size_t>(row + i);
    while (grid.size() <= r) grid.emplace_back(width);
    const QStringList cells = lines[i].split(QLatin1Char('\t'));
    for (int j = 0; j < cells.size(); ++j) {
      const std::size_t c = static_cast<std::size_t>(column + j);
      if (c >= width) break;
      grid[r][c] = cells[j].trimmed().toStdString();
    }
  }
}

void SourceGridModel::PasteBlock(int row, int column, const QString& text) {
  QStringList lines = PastedLines(text);
  if (lines.isEmpty()) return;
  if (lines.size() > 1 && IsHeaderLine(table_, column, lines[0]) && !IsHeaderLine(table_, column, lines[1])) lines.removeFirst();
  Grid after = form_.Table(table_);
  PasteLines(after, AlignmentForm::Columns(table_).size(), row, column, lines);
  PushChange(std::move(after), QStringLiteral("粘贴"));
}

void SourceGridModel::FillDown(int first, int last, int column0, int column1) {
  Grid after = form_.Table(table_);
  const int width = static_cast<int>(AlignmentForm::Columns(table_).size());
  column0 = std::max(column0, 0);
  column1 = std::min(column1, width - 1);
  if (first == last) --first;  // a single row takes the row above, as in a spreadsheet
  if (first < 0 || first >= static_cast<int>(after.size()) || last <= first || column0 > column1) return;
  while (static_cast<int>(after.size()) <= last) after.emplace_back(static_cast<std::size_t>(width));
  for (int r = first + 1; r <= last; ++r) {
    for (int c = column0; c <= column1; ++c) {
      after[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = after[static_cast<std::size_t>(first)][static_cast<std::size_t>(c)];
    }
  }
  if (after == form_.Table(table_)) return;
  PushChange(std::move(after), QStringLiteral("向下填充"));
}

void SourceGridModel::ReplaceAll(Grid rows, const QString& what) {
  for (auto& row : rows) row.resize(AlignmentForm::Columns(table_).size());
  PushChange(std::move(rows), what);
}

// An edit keeps the view's current cell and open editor: a reset in the middle of a cell's
// commit would leave the view without a current cell, and the next keys would go nowhere. Only
// a change of the rows' shape resets the view.
void SourceGridModel::Apply(const Grid& rows) {
  Grid& grid = form_.Table(table_);
  const int shownBefore = rowCount(), blankAfter = table_ == TableId::Jd && rows.empty() ? 2 : 1;
  const int shownAfter = static_cast<int>(rows.size()) + blankAfter;
  const bool appended = rows.size() >= grid.size() && std::equal(grid.begin(), grid.end(), rows.begin(), [](const auto& a, const auto& b) {
    return a.size() == b.size();
  });
  if (!appended || shownAfter < shownBefore) {
    beginResetModel();
    grid = rows;
    endResetModel();
  } else {
    if (shownAfter > shownBefore) beginInsertRows({}, shownBefore, shownAfter - 1);
    grid = rows;
    if (shownAfter > shownBefore) endInsertRows();
    emit dataChanged(index(0, 0), index(shownAfter - 1, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, 0, shownAfter - 1);
  }
  emit Edited();
}

void SourceGridModel::Reload() {
  beginResetModel();
  for (auto& row : form_.Table(table_)) row.resize(AlignmentForm::Columns(table_).size());
  endResetModel();
}

// --- Results ----------------------------------------------------------------------------------

std::string ResultDisplayTitle(const std::string& key) {
  static const std::map<std::string, std::string> titles = {
      {"jd_station", "交点桩号"}, {"jd_distance", "交点间距 (m)"}, {"straight_after", "直线长度 (m)"},
      {"kind", "类型"},           {"r_end", "终点 R (m)"},         {"alpha", "转角值"},
      {"azimuth", "方位角"}};
  if (const auto it = titles.find(key); it != titles.end()) return it->second;
  const bool sideX = key.rfind("x_", 0) == 0, sideY = key.rfind("y_", 0) == 0;
  if (sideX || sideY) {
    const std::string typed = key.substr(2);
    const std::optional<double> offset = ReadNumber(typed);
    if (offset) {
      std::string distance = typed;
      distance.erase(0, distance.find_first_not_of(" +-"));
      const char* side = *offset < 0 ? "左边桩 " : *offset > 0 ? "右边桩 " : "中桩 ";
      return *offset == 0 ? std::string(side) + (sideX ? "X" : "Y") : side + distance + " m " + (sideX ? "X" : "Y");
    }
  }
  return ResultColumnTitle(key);
}

ResultGridModel::ResultGridModel(QObject* parent) : QAbstractTableModel(parent), table_(std::make_shared<ResultTable>()) {}

void ResultGridModel::SetTable(std::shared_ptr<const ResultTable> table) {
  beginResetModel();
  table_ = table ? std::move(table) : std::make_shared<ResultTable>();
  order_.clear();
  for (int i = 0; i < static_cast<int>(Keys().size()); ++i) order_.push_back(i);
  // 交点桩号 belongs beside the point it numbers, as the printed table has it.
  if (table_->RowKind() == ResultTable::Kind::Curves) {
    const int from = KeyColumn("jd_station"), to = KeyColumn("turn");
    if (from > to && to > 0) {
      order_.erase(order_.begin() + from);
      order_.insert(order_.begin() + to, from);
    }
  }
  endResetModel();
}

int ResultGridModel::KeyAt(int column) const {
  return column >= 0 && column < static_cast<int>(order_.size()) ? order_[static_cast<std::size_t>(column)] : -1;
}

int ResultGridModel::FrozenColumns() const {
  if (Keys().empty()) return 0;
  for (int c = 0; c < 2 && c < columnCount(); ++c) {
    if (Keys()[static_cast<std::size_t>(KeyAt(c))] == "station") return c + 1;
  }
  return 1;
}

int ResultGridModel::KeyColumn(const std::string& key) const {
  const auto it = std::find(Keys().begin(), Keys().end(), key);
  return it == Keys().end() ? -1 : static_cast<int>(it - Keys().begin());
}

std::vector<std::string> ResultGridModel::RowCells(std::size_t row) const {
  if (row >= RowCountLarge()) return {};
  return table_->Cells(row);
}

int ResultGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(std::min<std::size_t>(RowCountLarge(), 0x7fffffff));
}

int ResultGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(Keys().size());
}

QVariant ResultGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int key = KeyAt(index.column());
  if (role == Qt::TextAlignmentRole) {
    // Names and words read from the left; numbers, stations and angles line up on the right.
    const std::string& k = key >= 0 ? Keys()[static_cast<std::size_t>(key)] : std::string();
    const bool words = k == "name" || k == "turn" || k == "status" || k == "kind";
    return words ? QVariant(Qt::AlignLeft | Qt::AlignVCenter) : QVariant(Qt::AlignRight | Qt::AlignVCenter);
  }
  if (role != Qt::DisplayRole || key < 0 || static_cast<std::size_t>(index.row()) >= RowCountLarge()) return {};
  const std::vector<std::string> cells = table_->DisplayCells(static_cast<std::size_t>(index.row()));
  if (key >= static_cast<int>(cells.size())) return {};
  return platform::ToQString(cells[static_cast<std::size_t>(key)]);
}

QVariant ResultGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  const int key = KeyAt(section);
  if (key < 0) return {};
  return platform::ToQString(Title(static_cast<std::size_t>(key), true));
}

std::string ResultGridModel::Title(std::size_t key, bool shown) const {
  const std::string& k = Keys()[key];
  // A route of elements lists each element's kind (line, arc …) under the same key as a slope
  // stake's fill or cut.
  if (k == "kind") return table_->RowKind() == ResultTable::Kind::Locate ? "边坡类型" : "类型";
  return shown ? ResultDisplayTitle(k) : ResultColumnTitle(k);
}

std::vector<std::string> ResultGridModel::TransferHeader() const {
  std::vector<std::string> header;
  for (std::size_t i = 0; i < Keys().size(); ++i) {
    if (transferAsShown_) {
      header.push_back(Title(static_cast<std::size_t>(order_[i]), true));
    } else {
      header.push_back(Title(i, false));
    }
  }
  return header;
}

std::vector<std::string> ResultGridModel::TransferRow(std::size_t row) const {
  if (!transferAsShown_) return RowCells(row);
  const std::vector<std::string> cells = table_->DisplayCells(row);
  std::vector<std::string> shown;
  for (const int key : order_) shown.push_back(static_cast<std::size_t>(key) < cells.size() ? cells[static_cast<std::size_t>(key)] : std::string());
  return shown;
}

QString ResultGridModel::TsvText(const std::vector<int>& rows) const {
  QString text;
  QStringList header;
  for (const std::string& title : TransferHeader()) header << platform::ToQString(title);
  text += header.join(QLatin1Char('\t')) + QLatin1Char('\n');
  const auto addRow = [&](std::size_t r) {
    if (r >= RowCountLarge()) return;
    QStringList cells;
    for (const std::string& c : TransferRow(r)) cells << platform::ToQString(c);
    text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
  };
  if (rows.empty()) {
    for (std::size_t r = 0; r < RowCountLarge(); ++r) addRow(r);
  } else {
    for (int r : rows) {
      if (r >= 0) addRow(static_cast<std::size_t>(r));
    }
  }
  return text;
}

std::string ResultGridModel::CsvWithTitles() const {
  std::string out;
  AppendCsvRecord(out, TransferHeader());
  for (std::size_t r = 0; r < RowCountLarge(); ++r) AppendCsvRecord(out, TransferRow(r));
  return out;
}

namespace {

// The overlay: no focus of its own (keys and the clipboard stay with the grid), rows and
// column widths following the grid's.
class FrozenColumnsOverlay : public QObject {
 public:
  FrozenColumnsOverlay(QTableView* view, ResultGridModel* model)
      : QObject(view), view_(view), model_(model), frozen_(new QTableView(view)) {
    frozen_->setObjectName(QStringLiteral("frozenColumns"));
    frozen_->setModel(model);
    frozen_->setSelectionModel(view->selectionModel());
    frozen_->setSelectionBehavior(view->selectionBehavior());
    frozen_->setFocusPolicy(Qt::NoFocus);
    frozen_->verticalHeader()->hide();
    frozen_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    frozen_->verticalHeader()->setDefaultSectionSize(view->verticalHeader()->defaultSectionSize());
    frozen_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setFrameShape(QFrame::NoFrame);
    frozen_->setContextMenuPolicy(Qt::ActionsContextMenu);
    frozen_->addActions(view->actions());
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->viewport()->stackUnder(frozen_);
    connect(view->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int size) {
      if (column < count_) {
        frozen_->setColumnWidth(column, size);
        Place();
      }
    });
    connect(view->verticalHeader(), &QHeaderView::geometriesChanged, this, [this] { Place(); });
    connect(view->verticalScrollBar(), &QAbstractSlider::valueChanged, frozen_->verticalScrollBar(), &QAbstractSlider::setValue);
    connect(frozen_->verticalScrollBar(), &QAbstractSlider::valueChanged, view->verticalScrollBar(), &QAbstractSlider::setValue);
    connect(frozen_, &QTableView::clicked, view, &QTableView::clicked);
    connect(model, &QAbstractItemModel::modelReset, this, [this] { Refresh(); });
    view->installEventFilter(this);
    Refresh();
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Resize || event->type() == QEvent::Show) Place();
    return QObject::eventFilter(watched, event);
  }

 private:
  void Refresh() {
    count_ = model_->FrozenColumns();
    for (int c = 0; c < model_->columnCount(); ++c) {
      frozen_->setColumnHidden(c, c >= count_);
      if (c < count_) frozen_->setColumnWidth(c, view_->columnWidth(c));
    }
    frozen_->setVisible(count_ > 0 && model_->columnCount() > count_);
    Place();
  }
  void Place() {
    int width = 0;
    for (int c = 0; c < count_; ++c) width += view_->columnWidth(c);
    const int frame = view_->frameWidth();
    frozen_->setGeometry(view_->verticalHeader()->width() + frame, frame, width,
                         view_->viewport()->height() + view_->horizontalHeader()->height());
    frozen_->verticalScrollBar()->setValue(view_->verticalScrollBar()->value());
  }

  QTableView* view_;
  ResultGridModel* model_;
  QTableView* frozen_;
  int count_ = 0;
};

}  // namespace

void FreezeLeadingColumns(QTableView* view, ResultGridModel* model) { new FrozenColumnsOverlay(view, model); }

// --- The spreadsheet grid ----------------------------------------------------------------------

void SpreadsheetGridView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Paste) && paste) {
    paste();
    return;
  }
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && state() != EditingState && currentIndex().isValid() && event->modifiers() == Qt::NoModifier) {
    MoveDown();
    return;
  }
  QTableView::keyPressEvent(event);
}

void SpreadsheetGridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  // Enter commits with SubmitModelCache: move on as a spreadsheet does.
  QTableView::closeEditor(editor, hint == QAbstractItemDelegate::SubmitModelCache ? QAbstractItemDelegate::NoHint : hint);
  if (hint == QAbstractItemDelegate::SubmitModelCache) MoveDown();
  setFocus();
}

void SpreadsheetGridView::MoveDown() {
  const QModelIndex at = currentIndex();
  const QModelIndex below = model()->index(at.row() + 1, at.column());
  if (below.isValid()) setCurrentIndex(below);
}

}  // namespace survey::alignment::window
