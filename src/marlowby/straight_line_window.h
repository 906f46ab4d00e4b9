// The straight-line window (object name "Form1"): the ten input fields, the six floating
// buttons, the heading labels and the result grid. It only binds widgets to the form's handlers.
#pragma once

#include <QString>
#include <QWidget>

#include "platform/computation_progress.h"
#include <memory>

#include "coordinates/gbk_text_files.h"
#include "coordinates/report_printing.h"
#include "coordinates/stake_grid.h"
#include "coordinates/stake_table_store.h"
#include "marlowby/straight_line_form.h"
#include "platform/qt_host.h"

class QApplication;

class QTableView;

namespace marlowby {

class StraightLineWindow : public QWidget {
  Q_OBJECT
 public:
  // `databasePath` names the stake table file; by default "zxzb.db" in the per-user data folder.
  explicit StraightLineWindow(QWidget* parent = nullptr, const QString& databasePath = QString());
  ~StraightLineWindow() override;

  const StraightLineForm& form() const { return form_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Runs a form handler between moving the field texts into the form and back out, then
  // redraws the grid if the handler reloaded it.
  template <typename Handler>
  void Run(Handler handler);
  void BuildControls();
  // The grid from its place beside the fields to the right and bottom edges of the window.
  void PlaceGrid();
  void RefreshGrid();
  // Shows a long computation's progress once it has run for half a second; false when the
  // user cancelled it.

  platform::QtHost host_{this};
  coordinates::SqliteStakeTable table_;
  coordinates::GbkTextFileStore files_;
  coordinates::QtReportPrinter printer_;
  StraightLineForm form_;
  coordinates::StakeTableModel model_;
  QTableView* grid_ = nullptr;
  unsigned shownVersion_ = 0;
  platform::ComputationProgress progress_{this};
  bool tableCleared_ = false;
};

// Window mode of the program: the window until it closes; copies may run side by side.
int RunWindow(QApplication& app);

}  // namespace marlowby
