#include "coordinates/stake_grid.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>

namespace coordinates {

namespace {

// Paints a cell as the grid shows it: its row colour and the text from the left edge with a
// narrow margin, clipped rather than shortened with an ellipsis, so that coordinates keep all
// the digits that fit in the narrow columns under the heading labels.
class StakeCellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    painter->save();
    painter->fillRect(option.rect, index.data(Qt::BackgroundRole).value<QColor>());
    painter->setPen(index.data(Qt::ForegroundRole).value<QColor>());
    painter->setFont(option.font);
    painter->setClipRect(option.rect);
    painter->drawText(option.rect.adjusted(2, 0, -1, 0), Qt::AlignLeft | Qt::AlignVCenter,
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
  }
};

}  // namespace

QColor StakeRowQColor(std::size_t row) {
  const RowColour c = StakeRowColour(row);
  return QColor(c.red, c.green, c.blue);
}

void StakeTableModel::SetRows(std::vector<StakeRecord> rows) {
  beginResetModel();
  owned_ = std::move(rows);
  rows_ = &owned_;
  endResetModel();
}

void StakeTableModel::ShowRows(const std::vector<StakeRecord>& rows) {
  beginResetModel();
  owned_.clear();
  rows_ = &rows;
  endResetModel();
}

int StakeTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_->size());
}

int StakeTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(kStakeFieldCount);
}

QVariant StakeTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
  const auto row = static_cast<std::size_t>(index.row());
  switch (role) {
    case Qt::DisplayRole: {
      const std::string_view text = CellText((*rows_)[row].Field(static_cast<std::size_t>(index.column())));
      return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    case Qt::ToolTipRole: {
      const std::string_view text = CellText((*rows_)[row].Field(static_cast<std::size_t>(index.column())));
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
  view->setItemDelegate(new StakeCellDelegate(view));
  // Digits of a narrow face, so that a coordinate fits the columns under the heading labels;
  // CJK station texts fall back to a CJK face.
  QFont font(QStringLiteral("DejaVu Sans Condensed"));
  font.setPixelSize(10);
  view->setFont(font);
  view->horizontalHeader()->hide();
  view->verticalHeader()->hide();
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 3);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setSelectionMode(QAbstractItemView::NoSelection);
  view->setWordWrap(false);
}

}  // namespace coordinates
