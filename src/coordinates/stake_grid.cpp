#include "coordinates/stake_grid.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QScrollBar>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <cmath>

namespace coordinates {

namespace {

// The text's margins in a cell (left, right) and the grid line the cell gives up on its right.
constexpr int kLeftMargin = 2;
constexpr int kRightMargin = 1;
constexpr int kGridLine = 1;

// Paints a cell as the grid shows it: its row colour and the text from the left edge with a
// narrow margin. The columns are wide enough for every text (KeepStakeColumnsWhole); should a
// cell still be narrower, its text is clipped rather than shortened with an ellipsis, and its
// tooltip shows it whole.
class StakeCellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    painter->save();
    painter->fillRect(option.rect, index.data(Qt::BackgroundRole).value<QColor>());
    painter->setPen(index.data(Qt::ForegroundRole).value<QColor>());
    painter->setFont(option.font);
    painter->setClipRect(option.rect);
    painter->drawText(option.rect.adjusted(kLeftMargin, 0, -kRightMargin, 0), Qt::AlignLeft | Qt::AlignVCenter,
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

std::vector<int> StakeColumnTextWidths(const std::vector<StakeRecord>& rows, const QFont& font) {
  const QFontMetricsF metrics(font);
  // Cells are numbers in all but rare cases: ASCII texts are summed from a table of advances
  // (a million rows in a few hundredths of a second), and the widest of each column is
  // measured once more as the toolkit lays it out, kerning included. Other texts are measured
  // whole.
  double ascii[128];
  for (int c = 0; c < 128; ++c) ascii[c] = metrics.horizontalAdvance(QChar(c));
  std::vector<double> widest(kStakeFieldCount, 0.0);
  std::vector<std::string_view> widestText(kStakeFieldCount);
  for (const StakeRecord& row : rows) {
    for (std::size_t i = 0; i < kStakeFieldCount; ++i) {
      const std::string_view text = CellText(row.Field(i));
      double width = 0;
      bool plain = true;
      for (const char ch : text) {
        const auto u = static_cast<unsigned char>(ch);
        if (u >= 128) {
          plain = false;
          break;
        }
        width += ascii[u];
      }
      if (!plain) width = metrics.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
      if (width > widest[i]) {
        widest[i] = width;
        widestText[i] = text;
      }
    }
  }
  std::vector<int> needed(kStakeFieldCount, 0);
  for (std::size_t i = 0; i < kStakeFieldCount; ++i) {
    const QString text = QString::fromUtf8(widestText[i].data(), static_cast<qsizetype>(widestText[i].size()));
    const double laidOut = std::max(widest[i], metrics.horizontalAdvance(text));
    needed[i] = static_cast<int>(std::ceil(laidOut)) + kLeftMargin + kRightMargin + kGridLine;
  }
  return needed;
}

namespace {

class ColumnKeeper : public QObject {
 public:
  ColumnKeeper(QTableView* view, std::vector<int> minimums, std::vector<QLabel*> headings, int inset)
      : QObject(view), view_(view), minimums_(std::move(minimums)), inset_(inset) {
    for (QLabel* h : headings) headings_.push_back({h, h ? h->width() : 0});
    Fit();
    connect(view->model(), &QAbstractItemModel::modelReset, this, [this] { Fit(); });
    connect(view->horizontalHeader(), &QHeaderView::sectionResized, this, [this] { PlaceHeadings(); });
    connect(view->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { PlaceHeadings(); });
    view->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == view_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize || event->type() == QEvent::Show))
      PlaceHeadings();
    return false;
  }

 private:
  struct Heading {
    QPointer<QLabel> label;
    int width;  // as laid out: a heading narrower than its column keeps it
  };

  void Fit() {
    const auto* model = qobject_cast<const StakeTableModel*>(view_->model());
    std::vector<int> widths = model ? StakeColumnTextWidths(model->Rows(), view_->font()) : std::vector<int>();
    widths.resize(kStakeFieldCount, 0);
    for (std::size_t i = 0; i < kStakeFieldCount; ++i) {
      const int minimum = i < minimums_.size() ? minimums_[i] : view_->horizontalHeader()->defaultSectionSize();
      view_->setColumnWidth(static_cast<int>(i), std::max(minimum, widths[i]));
    }
    PlaceHeadings();
  }

  // The left edge of a column in the coordinates of the heading's parent.
  int ColumnLeft(int column, const QLabel* heading) const {
    const QPoint inWindow = view_->viewport()->mapTo(view_->window(), QPoint(view_->columnViewportPosition(column), 0));
    return heading->parentWidget()->mapFrom(view_->window(), inWindow).x();
  }

  void PlaceHeadings() {
    const int viewportRight = view_->viewport()->width();
    for (std::size_t i = 0; i < headings_.size(); ++i) {
      QLabel* label = headings_[i].label;
      if (!label) continue;
      const int column = static_cast<int>(i);
      const int left = view_->columnViewportPosition(column);
      // A heading shows only while its column starts inside the grid.
      const bool inSight = left >= 0 && left < viewportRight;
      label->setVisible(inSight);
      if (!inSight) continue;
      const int width = std::max(headings_[i].width, view_->columnWidth(column) - inset_);
      label->setGeometry(ColumnLeft(column, label) + inset_, label->y(), width, label->height());
    }
  }

  QTableView* view_;
  std::vector<int> minimums_;
  int inset_;
  std::vector<Heading> headings_;
};

}  // namespace

void KeepStakeColumnsWhole(QTableView* view, std::vector<int> minimumWidths, std::vector<QLabel*> headings,
                           int headingInset) {
  view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  new ColumnKeeper(view, std::move(minimumWidths), std::move(headings), headingInset);
}

}  // namespace coordinates
