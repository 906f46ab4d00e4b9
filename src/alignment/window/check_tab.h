// The window's 偏差检查 page: the tolerance fields, the rows of the last check with the failures
// first, the summary line under them, and above them the plot the printed report has, drawn by
// the same code (check_plot.h) as the run's rows come in.
#pragma once

#include <QAbstractTableModel>
#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "alignment/check/check_rows.h"
#include "alignment/window/check_plot.h"

class QLabel;
class QLineEdit;
class QTableView;

namespace survey::alignment::window {

// The rows of a check, read-only, in FailuresFirst order; the cells as a surveyor reads them
// (K stations, 合格 / 不合格 / 路线外), a failed row's result in red.
class CheckRowsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;
  void SetTable(std::shared_ptr<const check::CheckTable> table);
  // The row of the points table a grid row shows.
  std::size_t TableRow(int gridRow) const { return table_->order[static_cast<std::size_t>(gridRow)]; }
  // The grid row's cells as the command prints them.
  std::vector<std::string> MachineCells(int gridRow) const;
  // Copies and exports take the command's form (its keys and cells) unless asked for the grid's
  // (复制和导出按显示格式), as the other result grids do.
  void SetTransferAsShown(bool asShown) { transferAsShown_ = asShown; }
  bool TransferAsShown() const { return transferAsShown_; }
  // Grid rows (all when `rows` is empty, in the grid's order), tab-separated under the header,
  // for the clipboard and a spreadsheet.
  QString TsvText(const std::vector<int>& rows = {}) const;
  // The CSV file: in the command's form the bytes `check` writes (its order, the summary last);
  // as shown the grid's header and rows in the grid's order, the same summary last.
  std::string CsvWithTitles() const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  // A column's title on one line, as copies and exports give it.
  static QString ShownTitle(const std::string& key);
  std::vector<std::string> TransferHeader() const;
  std::vector<std::string> TransferRow(int gridRow) const;

  std::shared_ptr<const check::CheckTable> table_;
  std::vector<std::string> keys_;
  bool transferAsShown_ = false;
};

// The plot of the printed report's first page, live: painted once per result and size into an
// image, with the point selected in the grid ringed over it.
class CheckPlotView : public QWidget {
  Q_OBJECT

 public:
  explicit CheckPlotView(QWidget* parent = nullptr);
  void SetData(std::shared_ptr<const CheckReportData> plotted, const QString& project);
  // The row (table order) to ring; nullopt for none.
  void Mark(std::optional<std::size_t> row);
  std::optional<std::size_t> Marked() const { return marked_; }
  // Where the last paint put the panels (drawn false before any).
  const CheckPlotGeometry& Geometry() const { return geometry_; }
  QSize sizeHint() const override { return {640, 360}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Render();
  std::shared_ptr<const CheckReportData> data_;
  QString project_;
  std::optional<std::size_t> marked_;
  QImage image_;
  CheckPlotGeometry geometry_;
};

class CheckPanel : public QWidget {
  Q_OBJECT

 public:
  // The tolerance fields are the window's (bound to the form, undo steps like every field).
  CheckPanel(QLineEdit* toleranceXy, QLineEdit* toleranceZ, QWidget* parent = nullptr);

  std::function<void()> compute;     // the 检查 button
  std::function<void()> editPoints;  // the 编辑点表 button: the points table is on the 反算 page

  void SetTable(std::shared_ptr<const check::CheckTable> table, const QString& project);
  void Clear();
  bool HasRows() const { return table_ && !table_->rows.empty(); }
  // Greyed under the window's banner until the next check.
  void SetStale(bool stale);
  const std::shared_ptr<const check::CheckTable>& Table() const { return table_; }

  CheckRowsModel* Model() { return model_; }
  QTableView* Grid() { return grid_; }
  CheckPlotView* Plot() { return plot_; }
  QLabel* Summary() { return summary_; }
  // Selects a grid row as a click does: the plot rings its point.
  void SelectRow(int gridRow);

 private:
  std::shared_ptr<const check::CheckTable> table_;
  std::shared_ptr<const CheckReportData> report_;
  CheckRowsModel* model_ = nullptr;
  QTableView* grid_ = nullptr;
  CheckPlotView* plot_ = nullptr;
  QLabel* summary_ = nullptr;
};

}  // namespace survey::alignment::window
