// The window's side of the seam its rooms (transfers, printing) work through.
#include <QItemSelectionModel>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableView>
#include <algorithm>

#include "alignment/window/main_window.h"

namespace survey::alignment::window {

void AlignmentWindow::ShowStatus(const QString& text, int milliseconds) {
  statusBar()->showMessage(text, milliseconds);
}

std::vector<int> AlignmentWindow::SelectedResultRows(RunKind kind) {
  std::vector<int> rows;
  if (QTableView* view = resultViews_.count(kind) ? resultViews_[kind] : nullptr) {
    for (const QModelIndex& index : view->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
  }
  return rows;
}

// As a click would: the radio button's handler sets the form and marks the project modified.
void AlignmentWindow::ChooseInputKind(InputKind kind) {
  (kind == InputKind::Jd ? jdKind_ : elementKind_)->setChecked(true);
}

void AlignmentWindow::StartImportedProject(AlignmentForm form) {
  form_ = std::move(form);
  document_.Reset();
  PushFields();
  ClearResults();
  MarkModified();
}

}  // namespace survey::alignment::window
