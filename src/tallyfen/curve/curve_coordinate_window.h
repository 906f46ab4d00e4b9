// qxForm1, the curve coordinate window: binds its fields, turn buttons, command buttons and
// grid to CurveCoordinateForm; what the handlers report reaches the user through its QtHost.
#pragma once

#include <QWidget>

#include "platform/computation_progress.h"
#include <cstdint>
#include <memory>

#include "coordinates/gbk_text_files.h"
#include "coordinates/report_printing.h"
#include "coordinates/stake_table_store.h"
#include "platform/qt_host.h"
#include "tallyfen/curve/curve_coordinate_form.h"

class QTableView;

namespace coordinates {
class StakeTableModel;
}

namespace tallyfen {

class CurveCoordinateWindow : public QWidget {
  Q_OBJECT
 public:
  explicit CurveCoordinateWindow(QWidget* parent = nullptr);
  ~CurveCoordinateWindow() override;

  // The state behind the window (for tests and tools).
  CurveCoordinateForm& form() { return form_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  // Runs one handler between reading the widgets into the form and writing the form back.
  void Run(void (*handler)(CurveCoordinateForm&));
  void PullFields();
  void PushFields();
  void RefreshGrid();

  platform::QtHost host_{this};
  // This window's stake table, in its own database file; opening it leaves the rows alone.
  coordinates::SqliteStakeTable table_;
  coordinates::GbkTextFileStore files_;
  coordinates::QtReportPrinter printer_;
  CurveCoordinateForm form_{host_, table_, files_, printer_};
  platform::ComputationProgress progress_{this};
  coordinates::StakeTableModel* model_ = nullptr;
  QTableView* grid_ = nullptr;
  std::uint64_t shownGrid_ = 0;  // the form's grid version the model shows
};

}  // namespace tallyfen
