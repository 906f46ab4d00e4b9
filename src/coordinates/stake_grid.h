// The result grid MSFlexGrid1: a table model over the rows the window last loaded from the
// stake table, seven columns in field order, rows coloured alternately (ShowStakeTable).
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <vector>

#include "coordinates/stake_record.h"

class QTableView;

namespace coordinates {

QColor StakeRowQColor(std::size_t row);

class StakeTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit StakeTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  // Reloads the grid (the whole model resets, so colours follow the new row numbers).
  void SetRows(std::vector<StakeRecord> rows);
  const std::vector<StakeRecord>& Rows() const { return rows_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  std::vector<StakeRecord> rows_;
};

// Makes `view` the result grid over `model`: no header row or column (the heading labels stand
// above it), fixed row height so that very long tables scroll at once, read-only cells.
void ConfigureStakeGrid(QTableView* view, StakeTableModel* model);

}  // namespace coordinates
