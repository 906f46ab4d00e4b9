// The window's editing of its source grids and fields.
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QStatusBar>
#include <QTableView>
#include <QTabWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QCloseEvent>
#include <algorithm>

#include "alignment/text_format.h"
#include "alignment/window/main_window.h"
#include "platform/qt_host.h"

namespace survey::alignment::window {

// --- Editing -------------------------------------------------------------------------------------

SourceGridModel* AlignmentWindow::CurrentSourceModel(QTableView** viewOut) {
  QWidget* focus = QApplication::focusWidget();
  for (int i = 0; i < 5; ++i) {
    QTableView* view = sourceViews_[i];
    if (focus == view || (focus && view->isAncestorOf(focus)) || (!focus && view->isVisible()) ||
        leftTabs_->currentWidget() == view) {
      if (viewOut) *viewOut = view;
      return models_[i];
    }
  }
  return nullptr;
}

void AlignmentWindow::PasteIntoCurrent() {
  if (leftTabs_->currentWidget() == sections_) return sections_->PasteIntoCurrent();
  QTableView* view = nullptr;
  SourceGridModel* model = CurrentSourceModel(&view);
  if (!model) return;
  const QModelIndex at = view->currentIndex();
  model->PasteBlock(at.isValid() ? at.row() : 0, at.isValid() ? at.column() : 0, QApplication::clipboard()->text());
}

void AlignmentWindow::InsertRowInCurrent() {
  if (leftTabs_->currentWidget() == sections_) return sections_->InsertRowInCurrent();
  QTableView* view = nullptr;
  if (SourceGridModel* model = CurrentSourceModel(&view)) model->InsertRowAtCurrent(*view);
}

void AlignmentWindow::DeleteRowsInCurrent() {
  if (leftTabs_->currentWidget() == sections_) return sections_->DeleteRowsInCurrent();
  QTableView* view = nullptr;
  if (SourceGridModel* model = CurrentSourceModel(&view)) model->RemoveSelectedRows(*view);
}

void AlignmentWindow::FillDownInCurrent() {
  QTableView* view = nullptr;
  SourceGridModel* model = CurrentSourceModel(&view);
  if (!model) return;
  const QItemSelection selection = view->selectionModel()->selection();
  if (selection.isEmpty()) {
    const QModelIndex at = view->currentIndex();
    if (at.isValid()) model->FillDown(at.row(), at.row(), at.column(), at.column());
    return;
  }
  for (const QItemSelectionRange& range : selection) model->FillDown(range.top(), range.bottom(), range.left(), range.right());
}

void AlignmentWindow::PullFields() {
  for (auto& [edit, member] : fields_) form_.*member = edit->text().toStdString();
  form_.inputKind = jdKind_->isChecked() ? InputKind::Jd : InputKind::Elements;
  form_.degrees = degrees_->isChecked();
}

void AlignmentWindow::PushFields() {
  pushing_ = true;
  for (auto& [edit, member] : fields_) edit->setText(platform::ToQString(form_.*member));
  (form_.inputKind == InputKind::Jd ? jdKind_ : elementKind_)->setChecked(true);
  degrees_->setChecked(form_.degrees);
  for (SourceGridModel* model : models_) model->Reload();
  sections_->Reload();
  pushing_ = false;
}

}  // namespace survey::alignment::window
