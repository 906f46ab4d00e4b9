#include "coordinates/stake_grid.h"

#include <QHeaderView>
#include <QTableView>

namespace coordinates {

QColor StakeRowQColor(std::size_t row) {
  const RowColour c = StakeRowColour(row);
  return QColor(c.red, c.green, c.blue);
}

void StakeTableModel::SetRows(std::vector<StakeRecord> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

int StakeTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int StakeTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(kStakeFieldCount);
}

QVariant StakeTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
  const auto row = static_cast<std::size_t>(index.row());
  switch (role) {
    case Qt::DisplayRole: {
      const std::string_view text = CellText(rows_[row].Field(static_cast<std::size_t>(index.column())));
      return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    case Qt::BackgroundRole: return StakeRowQColor(row);
    case Qt::ForegroundRole: return QColor(Qt::black);
    default: return {};
  }
}

QVariant StakeTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
      section >= static_cast<int>(kStakeFieldCount)) {
    return {};
  }
  const std::string_view h = kStakeHeadings[static_cast<std::size_t>(section)];
  return QString::fromUtf8(h.data(), static_cast<qsizetype>(h.size()));
}

void ConfigureStakeGrid(QTableView* view, StakeTableModel* model) {
  view->setModel(model);
  view->horizontalHeader()->hide();
  view->verticalHeader()->hide();
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setSelectionMode(QAbstractItemView::NoSelection);
  view->setWordWrap(false);
}

}  // namespace coordinates
