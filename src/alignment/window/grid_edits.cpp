// The row edits a grid's menu and keys make where its view's cursor is, for the source grids
// and the section grids alike.
#include <QItemSelectionModel>
#include <QTableView>

#include "alignment/window/grid_models.h"

namespace survey::alignment::window {

void EditableGridModel::InsertRowAtCurrent(const QTableView& view) {
  const QModelIndex at = view.currentIndex();
  InsertRowsAt(at.isValid() ? at.row() : rowCount(), 1);
}

void EditableGridModel::RemoveSelectedRows(const QTableView& view) {
  std::vector<int> rows;
  for (const QModelIndex& index : view.selectionModel()->selectedIndexes()) rows.push_back(index.row());
  if (rows.empty() && view.currentIndex().isValid()) rows.push_back(view.currentIndex().row());
  RemoveRowList(rows);
}

}  // namespace survey::alignment::window
