// The models behind the window's grids: the editable source tables (every change an undo step,
// every cell checked as it is shown) and the read-only result tables over a run's typed rows.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QTableView>
#include <QUndoCommand>
#include <QUndoStack>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "alignment/window/form.h"

namespace survey::alignment::window {

// A block pasted from a spreadsheet: its lines (CR LF or CR read as LF, a last line end
// dropped), none when it is empty.
QStringList PastedLines(const QString& text);
// Lays tab-separated `lines` into `grid` from (row, column), growing it by rows of `width`
// cells; cells beyond the last column are dropped, every cell is trimmed.
void PasteLines(Grid& grid, std::size_t width, int row, int column, const QStringList& lines);

// A grid that types like a spreadsheet: Enter finishes a cell and moves down, Tab moves right
// (on to the next row after the last column), and the next keys type into the cell the move
// reached; Ctrl+V calls `paste` (a tab-separated block at the current cell). The source tables
// and the section tables alike.
class SpreadsheetGridView : public QTableView {
 public:
  using QTableView::QTableView;
  std::function<void()> paste;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

 private:
  void MoveDown();
};

// What the source grids and the section grids share: a table of text cells the form holds,
// every edit an undo step (a snapshot of the whole table) that the model applies.
class EditableGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  EditableGridModel(QUndoStack* undo, QObject* parent) : QAbstractTableModel(parent), undo_(undo) {}

  // As wide as the table's columns, every cell editable.
  int columnCount(const QModelIndex& parent = {}) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Edits as undo steps: blank rows inserted at `row` (clamped to the table), the rows listed
  // removed (out of range ones ignored; no step when none goes).
  void InsertRowsAt(int row, int count);
  void RemoveRowList(std::vector<int> rows);
  // The same on a view of this model, as its menu and keys ask (grid_edits.cpp): a blank row
  // at the current cell's row (at the end without one); the selected rows, else the current
  // cell's row, removed.
  void InsertRowAtCurrent(const QTableView& view);
  void RemoveSelectedRows(const QTableView& view);
  // Applied by the undo steps.
  virtual void Apply(const Grid& rows) = 0;

 signals:
  void Edited();

 protected:
  // The table as the form holds it, and the cells of its rows.
  virtual const Grid& Rows() const = 0;
  virtual std::size_t Width() const = 0;
  // One undo step to `after` (applied at once without an undo stack).
  void PushChange(Grid after, const QString& text);

 private:
  QUndoStack* undo_;
};

class SourceGridModel : public EditableGridModel {
  Q_OBJECT

 public:
  SourceGridModel(AlignmentForm& form, TableId table, QUndoStack* undo, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  TableId Table() const { return table_; }
  // The rows of the table itself; below them the view shows blank rows to type into (one, or
  // for an empty JD table a starter pair with QD and ZD as greyed hints): a cell typed there
  // adds its row.
  int DataRows() const;
  // A tab-separated block (lines of cells) pasted with its top-left cell at (row, column);
  // rows are added at the end as needed, cells beyond the last column are dropped. A first line
  // that is a header copied with the data (no number where the next line has numbers) is skipped.
  void PasteBlock(int row, int column, const QString& text);
  // Each column of rows first..last takes the text of its cell in row `first` (a single row
  // takes the row above), as one undo step.
  void FillDown(int first, int last, int column0, int column1);
  void ReplaceAll(Grid rows, const QString& what);
  // Shows the table as the form now holds it (after an open or import outside undo).
  void Reload();
  void Apply(const Grid& rows) override;

 protected:
  const Grid& Rows() const override { return form_.Table(table_); }
  std::size_t Width() const override { return AlignmentForm::Columns(table_).size(); }

 private:
  int BlankRowsShown() const;
  AlignmentForm& form_;
  TableId table_;
};

// A result column's title as the grid shows it: "桩号", "交点间距 (m)", side stakes by side and
// distance ("左边桩 12 m X" for the offset typed as -12).
std::string ResultDisplayTitle(const std::string& key);

// A result's rows, read-only: the typed rows of one run, each row's cells laid out when shown
// (so a million rows cost their numbers, not a million lists of texts). The grid shows the
// display form (K stations, D°M′S″, 左/右); copying and CSV export give the machine form the
// command line prints unless SetTransferAsShown(true).
class ResultGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit ResultGridModel(QObject* parent = nullptr);

  // nullptr: no rows, no columns.
  void SetTable(std::shared_ptr<const ResultTable> table);
  const ResultTable& Table() const { return *table_; }
  std::shared_ptr<const ResultTable> SharedTable() const { return table_; }
  // The rows as the command line prints them.
  std::string Csv() const { return table_->Csv(); }
  const std::vector<std::string>& Keys() const { return table_->Keys(); }
  int KeyColumn(const std::string& key) const;  // -1 when absent
  std::size_t RowCountLarge() const { return table_->RowCount(); }
  std::vector<std::string> RowCells(std::size_t row) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The rows as tab-separated text with the shown header (for the clipboard), and as CSV.
  QString TsvText(const std::vector<int>& rows = {}) const;
  std::string CsvWithTitles() const;
  void SetTransferAsShown(bool asShown) { transferAsShown_ = asShown; }
  bool TransferAsShown() const { return transferAsShown_; }

  // The key column shown at a grid column: the curve table puts 交点桩号 beside the point.
  int KeyAt(int column) const;
  // How many leading columns stay in view when the grid scrolls right: up to 桩号 where it is
  // among the first two, else the name.
  int FrozenColumns() const;

 private:
  std::vector<std::string> TransferRow(std::size_t row) const;
  std::vector<std::string> TransferHeader() const;
  // The column title of a key column, as shown or as transferred.
  std::string Title(std::size_t key, bool shown) const;
  std::shared_ptr<const ResultTable> table_;
  std::vector<int> order_;  // grid column -> key column
  bool transferAsShown_ = false;
};

// Keeps the model's FrozenColumns() of `view` in place while it scrolls right: a second view
// over the same model and selection laid over the leading columns. Call once the view has its
// model and context-menu actions.
void FreezeLeadingColumns(QTableView* view, ResultGridModel* model);

}  // namespace survey::alignment::window
