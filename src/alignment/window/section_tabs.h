// The window's cross-section page: the four tables as editable grids (undo, paste, red cells
// with the readers' refusals), the options, the `section` rows of the stake list, and a view of
// the section at the stake selected in the stake list.
#pragma once

#include <QAbstractTableModel>
#include <QRectF>
#include <QUndoStack>
#include <QWidget>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "alignment/window/form.h"
#include "alignment/window/grid_models.h"

class QComboBox;
class QTimer;
class QTabWidget;
class QTableView;

namespace survey::alignment::window {

class SectionGridModel : public EditableGridModel {
  Q_OBJECT

 public:
  SectionGridModel(AlignmentForm& form, SectionTableId table, QUndoStack* undo, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  SectionTableId Table() const { return table_; }
  // A tab-separated block pasted with its top-left cell at (row, column); rows are added at the
  // end as needed, cells beyond the last column are dropped.
  void PasteBlock(int row, int column, const QString& text);
  // Shows the table as the form now holds it (after an open).
  void Reload();
  // The whole table replaced by `rows` (an import) as one undo step named `what`.
  void ReplaceAll(Grid rows, const QString& what);
  void Apply(const Grid& rows) override;
  // The reader's refusal of this table: the row it names (-1: the table as a whole) and why.
  const std::optional<SectionProblem>& Problem() const { return problem_; }
  // A refusal of the tables together (from a computation), marked like a reader's.
  void ShowProblem(std::optional<SectionProblem> problem);

 protected:
  const Grid& Rows() const override { return form_.section.Grid(table_); }
  std::size_t Width() const override { return SectionInputs::Columns(table_).size(); }

 private:
  void Recheck();
  AlignmentForm& form_;
  SectionTableId table_;
  std::optional<SectionProblem> problem_;
};

// The `section` rows, read-only.
class SectionRowsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;
  void SetRows(SectionRowsResult rows);
  const SectionRowsResult& Rows() const { return rows_; }
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  SectionRowsResult rows_;
};

// The section at one station drawn to scale across (the heights exaggerated, as the legend
// says): each part with its slope in percent, the elevation at every edge and the design line.
class CrossSectionView : public QWidget {
  Q_OBJECT

 public:
  explicit CrossSectionView(QWidget* parent = nullptr);
  // The section names its parts in `model`, which the view keeps while it shows them.
  void SetSection(std::shared_ptr<const section::SectionModel> model, section::SectionAtStation at, const QString& title,
                  bool relative);
  void SetMessage(const QString& text);
  // Beside the section at `chainage`: the side slopes from the outermost edges (none without
  // the 边坡 table) and the measured points near it, the nearest labelled first.
  void SetField(double chainage, std::optional<section::SideSlopes> slopes, std::vector<SectionMark> marks);
  const std::optional<section::SectionAtStation>& Current() const { return at_; }
  const std::vector<SectionMark>& Marks() const { return marks_; }
  // What the last paint placed: each part's label (name over slope) and the edges' ticks with
  // their elevations, in widget pixels.
  struct PlacedText {
    QString text;
    QRectF box;
  };
  const std::vector<PlacedText>& PartLabels() const { return partLabels_; }
  const std::vector<QRectF>& EdgeMarks() const { return edgeMarks_; }
  const std::vector<QPointF>& MarkDots() const { return markDots_; }
  QSize sizeHint() const override { return {640, 360}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::shared_ptr<const section::SectionModel> model_;
  std::optional<section::SectionAtStation> at_;
  std::optional<section::SideSlopes> slopes_;
  std::vector<SectionMark> marks_;
  double chainage_ = 0;
  QString title_, message_;
  bool relative_ = false;
  std::vector<PlacedText> partLabels_;
  std::vector<QRectF> edgeMarks_;
  std::vector<QPointF> markDots_;
};

// The page of the left tabs. The owner hands it the route (RouteDesign) and the stake options.
class SectionPanel : public QWidget {
  Q_OBJECT

 public:
  SectionPanel(AlignmentForm& form, QUndoStack& undo, CrossSectionView* view, QWidget* parent = nullptr);

  SectionGridModel* Model(SectionTableId id) { return models_[static_cast<int>(id)]; }
  QTableView* GridView(SectionTableId id) { return views_[static_cast<int>(id)]; }
  SectionRowsModel& Rows() { return rows_; }
  // The grid of the current table tab, or null when the rows or options are shown.
  SectionGridModel* CurrentModel(QTableView** view = nullptr);
  // The edit menu's row edits on the current table tab (nothing on the rows tab).
  void PasteIntoCurrent();
  void InsertRowInCurrent();
  void DeleteRowsInCurrent();
  // After an open: the grids and options as the form holds them, no rows.
  void Reload();
  // Brings the table's tab to the front (after its import).
  void ShowTable(SectionTableId id);

  // The section rows of the form's stake list; false with the refusal shown by `refuse`.
  bool Compute();
  // Shows the section at a station of the stake list in the view (the rows need not be computed).
  bool ShowStation(double station);
  // The 路基设计表 of the form's stake list; nullopt with the refusal shown by `refuse`.
  std::optional<section::SubgradeTable> SubgradeTable();

  std::function<void(const QString&)> refuse;

 signals:
  void Edited();          // a grid (an undo step)
  void OptionsChanged();  // an option (no undo step)

 private:
  struct Setup {
    std::shared_ptr<const RouteDesign> design;
    std::optional<section::SectionModel> model;
    StakeOptions stakes;
    int decimals = 3;
  };
  std::optional<Setup> Prepare();
  void PullOptions();
  // An input changed: the station shown is drawn again from the inputs as they now are, once
  // per event-loop turn however many edits came, and only where it can be seen (else when the
  // view is next shown). The rows computed before are greyed until computed again.
  void InputsChanged();
  void RedrawShown();
  bool eventFilter(QObject* watched, QEvent* event) override;
  void ShowRow(int row);
  void Refuse(const std::string& text);

  AlignmentForm& form_;
  CrossSectionView* view_;
  static constexpr int kGrids = static_cast<int>(std::size(kSectionTables));  // the rows' tab follows them
  SectionGridModel* models_[kGrids] = {};
  QTableView* views_[kGrids] = {};
  QTabWidget* tabs_ = nullptr;
  QComboBox* profileAt_ = nullptr;
  QComboBox* rotateAbout_ = nullptr;
  QComboBox* transition_ = nullptr;
  SectionRowsModel rows_;
  QTableView* rowsView_ = nullptr;
  bool pushing_ = false;
  std::optional<double> shownStation_;  // the station the view shows, redrawn after a compute
  bool redrawDue_ = false;
  QTimer* redraw_ = nullptr;
};

}  // namespace survey::alignment::window
