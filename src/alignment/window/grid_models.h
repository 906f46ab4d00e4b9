// The models behind the window's grids: the editable source tables (every change an undo step,
// every cell checked as it is shown) and the read-only result tables over the batch program's
// CSV output (cells split when shown, so a million rows cost one string and an index).
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QUndoCommand>
#include <QUndoStack>
#include <memory>
#include <string>
#include <vector>

#include "alignment/window/form.h"

namespace survey::alignment::window {

class SourceGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  SourceGridModel(AlignmentForm& form, TableId table, QUndoStack* undo, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  TableId Table() const { return table_; }
  // Edits as undo steps.
  void InsertRowsAt(int row, int count);
  void RemoveRowList(std::vector<int> rows);
  // A tab-separated block (lines of cells) pasted with its top-left cell at (row, column);
  // rows are added at the end as needed, cells beyond the last column are dropped.
  void PasteBlock(int row, int column, const QString& text);
  void ReplaceAll(Grid rows, const QString& what);
  // Shows the table as the form now holds it (after an open or import outside undo).
  void Reload();
  // Applied by the undo steps.
  void Apply(const Grid& rows);

 signals:
  void Edited();

 private:
  void PushChange(Grid after, const QString& text);
  AlignmentForm& form_;
  TableId table_;
  QUndoStack* undo_;
};

// A result's text with its header keys and the start of every row, built off the GUI thread
// for large results.
struct IndexedCsv {
  std::shared_ptr<std::string> csv = std::make_shared<std::string>();
  std::vector<std::string> keys;
  std::vector<std::size_t> starts;  // start of each data line, plus the end
};
IndexedCsv IndexCsv(std::string csv);

// Every rows' cells of a result, with its header keys from the CSV header line.
class CsvResultModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit CsvResultModel(QObject* parent = nullptr);

  void SetCsv(std::string csv) { SetIndexed(IndexCsv(std::move(csv))); }
  void SetIndexed(IndexedCsv indexed);
  const std::string& Csv() const { return *csv_; }
  const std::vector<std::string>& Keys() const { return keys_; }
  int KeyColumn(const std::string& key) const;  // -1 when absent
  std::size_t RowCountLarge() const { return starts_.empty() ? 0 : starts_.size() - 1; }
  std::vector<std::string> RowCells(std::size_t row) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The rows as tab-separated text with the shown header (for the clipboard), and as CSV.
  QString TsvText(const std::vector<int>& rows = {}) const;
  std::string CsvWithTitles() const;

 private:
  std::shared_ptr<std::string> csv_;
  std::vector<std::string> keys_;
  std::vector<std::size_t> starts_;  // start of each data line, plus the end
};

}  // namespace survey::alignment::window
