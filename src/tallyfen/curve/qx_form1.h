// qxForm1, the curve coordinate window: binds its fields, options, buttons and grid to
// CurveForm and shows what the handlers report through Qt dialogs.
#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>

class QLineEdit;
class QProgressDialog;
class QRadioButton;
class QTableView;

namespace coordinates {
class SqliteStakeTable;
class StakeTableModel;
class GbkTextFileStore;
}  // namespace coordinates
namespace platform {
class QtHost;
}

namespace tallyfen {

class CurveForm;

class QxForm1 : public QWidget {
  Q_OBJECT
 public:
  explicit QxForm1(QWidget* parent = nullptr);
  ~QxForm1() override;

  // The state behind the window (for tests and tools).
  CurveForm& Form() { return *form_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  // Runs one handler between reading the widgets into the form and writing the form back.
  template <typename Handler>
  void Run(Handler handler);
  void PullFields();
  void PushFields();
  void RefreshGrid();

  std::unique_ptr<platform::QtHost> host_;
  std::unique_ptr<coordinates::SqliteStakeTable> table_;
  std::unique_ptr<coordinates::GbkTextFileStore> files_;
  std::unique_ptr<CurveForm> form_;
  std::unique_ptr<QProgressDialog> progressDialog_;
  QLineEdit* text_[13] = {};  // Text1 .. Text12 at their numbers
  QRadioButton* option1_ = nullptr;
  QRadioButton* option2_ = nullptr;
  coordinates::StakeTableModel* model_ = nullptr;
  QTableView* grid_ = nullptr;
  std::uint64_t shownGrid_ = 0;
};

}  // namespace tallyfen
