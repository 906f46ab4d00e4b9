// The window's tables: the grids the surveyor fills (paste from a spreadsheet, the batch mode's
// CSV out) and the read-only results, a view over the command's CSV.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace survey::transform::window {

// Cells of one CSV line, quotes undone.
QStringList SplitCsvLine(const std::string& line);
// A cell for a CSV line, quoted when it must be.
std::string CsvCell(const QString& text);

// A table the surveyor fills by typing or by pasting from a spreadsheet (Ctrl+V: tab- or
// comma-separated rows; a first row of column names is left out).
class PointGrid : public QTableWidget {
  Q_OBJECT
 public:
  PointGrid(const QStringList& headers, QWidget* parent);
  void SetHeaders(const QStringList& headers);
  // Replaces the content with the rows of `text`. Up to kPasteSliceRows rows at once; more a
  // slice per turn of the event loop (the grid locked and Pasting() true meanwhile), so that a
  // million rows do not freeze the window. PasteFinished comes when the last row is in.
  void PasteText(const QString& text);
  static constexpr int kPasteSliceRows = 20'000;
  bool Pasting() const { return pasting_ != nullptr; }
  // Empties the grid, a paste still going on included.
  void Clear();
  // The filled rows as CSV with a header row (the batch mode's table).
  std::string CsvText(const std::vector<std::string>& columns) const;
  // Rows [first, end) of that CSV, appended to `csv`.
  void AppendCsvRows(const std::vector<std::string>& columns, int first, int end, std::string& csv) const;
  // The whole table, header row first, tab-separated (for a spreadsheet).
  QString TsvText() const;
  // Counts the changes of the content, so a result computed meanwhile can be told stale.
  std::uint64_t Generation() const { return generation_; }

 signals:
  void PasteFinished();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  struct Paste {
    QString text;
    qsizetype next = 0, end = 0;  // the next row's start and the end of the rows in `text`
    int row = 0, rows = 0;
  };
  // Fills rows from the paste's next line; true when all are in.
  bool PasteSlice(Paste& paste, int rows);

  std::uint64_t generation_ = 0;
  std::unique_ptr<Paste> pasting_;
  QTimer pasteTimer_;
};

// Rows of a command's CSV as the window shows them: the text is kept whole and a cell is split
// out when the view asks for it, so a million rows show at once.
class CsvRowsModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  using QAbstractTableModel::QAbstractTableModel;
  // A header row, then the data rows, LF.
  void SetCsv(std::string csv);
  QString Cell(int row, int column) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  std::string csv_;
  std::vector<std::size_t> rowStarts_;  // of every data row, and one past the last
  QStringList headers_;
  int blankRows_ = 20;  // before the first result, like an empty input grid
};

// The read-only results of a table: Ctrl+C copies them for a spreadsheet.
class ResultGrid : public QTableView {
  Q_OBJECT
 public:
  explicit ResultGrid(QWidget* parent);
  // Rows of a CSV (header row first), the batch mode's column keys shown in Chinese.
  void ShowCsv(std::string csv);
  // The whole table, header row first, tab-separated.
  QString TsvText() const;
  QString Cell(int row, int column) const { return model_->Cell(row, column); }
  QString HeaderText(int column) const;
  int rowCount() const { return model_->rowCount(); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  CsvRowsModel* model_;
};

}  // namespace survey::transform::window
