#include "alignment/window/grid_models.h"

#include <QBrush>
#include <QColor>
#include <algorithm>

#include "alignment/text_format.h"

namespace survey::alignment::window {

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// One undo step: the whole table before and after. Source tables are small (a route has
// hundreds of rows, not millions), and a snapshot cannot get out of step with the edit.
class GridChange : public QUndoCommand {
 public:
  GridChange(SourceGridModel* model, Grid before, Grid after, const QString& text)
      : QUndoCommand(text), model_(model), before_(std::move(before)), after_(std::move(after)) {}
  void undo() override { model_->Apply(before_); }
  void redo() override { model_->Apply(after_); }

 private:
  SourceGridModel* model_;
  Grid before_, after_;
};

}  // namespace

SourceGridModel::SourceGridModel(AlignmentForm& form, TableId table, QUndoStack* undo, QObject* parent)
    : QAbstractTableModel(parent), form_(form), table_(table), undo_(undo) {}

int SourceGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(form_.Table(table_).size());
}

int SourceGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(AlignmentForm::Columns(table_).size());
}

QVariant SourceGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const Grid& grid = form_.Table(table_);
  const auto& cell = grid[static_cast<std::size_t>(index.row())][static_cast<std::size_t>(index.column())];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return Q(cell);
    case Qt::ToolTipRole: {
      const std::string problem = form_.CellProblemText(table_, index.row(), index.column());
      return problem.empty() ? QVariant() : QVariant(Q(problem));
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
    if (section >= 0 && section < static_cast<int>(columns.size())) return Q(columns[static_cast<std::size_t>(section)].title);
    return {};
  }
  return section + 1;
}

Qt::ItemFlags SourceGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

bool SourceGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  Grid after = form_.Table(table_);
  std::string& cell = after[static_cast<std::size_t>(index.row())][static_cast<std::size_t>(index.column())];
  const std::string text = value.toString().toStdString();
  if (cell == text) return false;
  cell = text;
  PushChange(std::move(after), QStringLiteral("编辑单元格"));
  return true;
}

void SourceGridModel::InsertRowsAt(int row, int count) {
  Grid after = form_.Table(table_);
  row = std::clamp(row, 0, static_cast<int>(after.size()));
  after.insert(after.begin() + row, static_cast<std::size_t>(std::max(count, 0)),
               std::vector<std::string>(AlignmentForm::Columns(table_).size()));
  PushChange(std::move(after), QStringLiteral("插入行"));
}

void SourceGridModel::RemoveRowList(std::vector<int> rows) {
  Grid after = form_.Table(table_);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    if (*it >= 0 && *it < static_cast<int>(after.size())) after.erase(after.begin() + *it);
  }
  if (after.size() == form_.Table(table_).size()) return;
  PushChange(std::move(after), QStringLiteral("删除行"));
}

void SourceGridModel::PasteBlock(int row, int column, const QString& text) {
  QString block = text;
  block.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
  if (block.endsWith(QLatin1Char('\n'))) block.chop(1);
  if (block.isEmpty()) return;
  const QStringList lines = block.split(QLatin1Char('\n'));
  Grid after = form_.Table(table_);
  const std::size_t width = AlignmentForm::Columns(table_).size();
  row = std::max(row, 0);
  column = std::max(column, 0);
  for (int i = 0; i < lines.size(); ++i) {
    const std::size_t r = static_cast<std::size_t>(row + i);
    while (after.size() <= r) after.emplace_back(width);
    const QStringList cells = lines[i].split(QLatin1Char('\t'));
    for (int j = 0; j < cells.size(); ++j) {
      const std::size_t c = static_cast<std::size_t>(column + j);
      if (c >= width) break;
      after[r][c] = cells[j].trimmed().toStdString();
    }
  }
  PushChange(std::move(after), QStringLiteral("粘贴"));
}

void SourceGridModel::ReplaceAll(Grid rows, const QString& what) {
  for (auto& row : rows) row.resize(AlignmentForm::Columns(table_).size());
  PushChange(std::move(rows), what);
}

void SourceGridModel::PushChange(Grid after, const QString& text) {
  if (undo_) {
    undo_->push(new GridChange(this, form_.Table(table_), std::move(after), text));
  } else {
    Apply(after);
  }
}

void SourceGridModel::Apply(const Grid& rows) {
  beginResetModel();
  form_.Table(table_) = rows;
  endResetModel();
  emit Edited();
}

void SourceGridModel::Reload() {
  beginResetModel();
  for (auto& row : form_.Table(table_)) row.resize(AlignmentForm::Columns(table_).size());
  endResetModel();
}

// --- Results ----------------------------------------------------------------------------------

ResultGridModel::ResultGridModel(QObject* parent) : QAbstractTableModel(parent), table_(std::make_shared<ResultTable>()) {}

void ResultGridModel::SetTable(std::shared_ptr<const ResultTable> table) {
  beginResetModel();
  table_ = table ? std::move(table) : std::make_shared<ResultTable>();
  endResetModel();
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
  if (role == Qt::TextAlignmentRole) {
    return index.column() == 0 ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
  }
  if (role != Qt::DisplayRole) return {};
  const std::vector<std::string> cells = RowCells(static_cast<std::size_t>(index.row()));
  if (index.column() >= static_cast<int>(cells.size())) return {};
  return Q(cells[static_cast<std::size_t>(index.column())]);
}

QVariant ResultGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section < 0 || section >= static_cast<int>(Keys().size())) return {};
  return Q(ResultColumnTitle(Keys()[static_cast<std::size_t>(section)]));
}

QString ResultGridModel::TsvText(const std::vector<int>& rows) const {
  QString text;
  QStringList header;
  for (const std::string& key : Keys()) header << Q(ResultColumnTitle(key));
  text += header.join(QLatin1Char('\t')) + QLatin1Char('\n');
  const auto addRow = [&](std::size_t r) {
    QStringList cells;
    for (const std::string& c : RowCells(r)) cells << Q(c);
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
  for (std::size_t i = 0; i < Keys().size(); ++i) {
    if (i) out += ',';
    AppendCsvField(out, ResultColumnTitle(Keys()[i]));
  }
  out += '\n';
  const std::string csv = Csv();
  const std::size_t header = csv.find('\n');
  if (header != std::string::npos) out.append(csv, header + 1, std::string::npos);
  return out;
}

}  // namespace survey::alignment::window
