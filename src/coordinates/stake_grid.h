// The result grid (object name "MSFlexGrid1"): a table model over the rows the window last
// loaded from the stake table, seven columns in field order, rows coloured alternately.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <vector>

#include "coordinates/stake_record.h"

class QLabel;
class QTableView;

namespace coordinates {

QColor StakeRowQColor(std::size_t row);

class StakeTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit StakeTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  // Reloads the grid (the whole model resets, so colours follow the new row numbers).
  void SetRows(std::vector<StakeRecord> rows);
  // Reloads the grid from rows kept by the caller, without a copy; they must outlive the model
  // or the next reload.
  void ShowRows(const std::vector<StakeRecord>& rows);
  const std::vector<StakeRecord>& Rows() const { return *rows_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  std::vector<StakeRecord> owned_;
  const std::vector<StakeRecord>* rows_ = &owned_;
};

// Makes `view` the result grid over `model`: no header row or column (the heading labels stand
// above it), fixed row height so that very long tables scroll at once, read-only cells.
void ConfigureStakeGrid(QTableView* view, StakeTableModel* model);

// The width each column needs to show its longest cell whole in `font`, text margins included.
std::vector<int> StakeColumnTextWidths(const std::vector<StakeRecord>& rows, const QFont& font);

// A number in the grid is never cut: whenever the grid reloads, each column widens to its
// longest cell (never narrower than `minimumWidths`, the layout's widths) and the grid scrolls
// sideways once the columns outgrow it. `headings`, the labels standing over the columns (in
// column order, anywhere in the same window), move with their columns, `headingInset` pixels
// right of the column's left edge; a heading whose column is scrolled out of sight is hidden.
void KeepStakeColumnsWhole(QTableView* view, std::vector<int> minimumWidths, std::vector<QLabel*> headings = {},
                           int headingInset = 0);

}  // namespace coordinates
