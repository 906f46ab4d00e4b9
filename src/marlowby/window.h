// The Marlowby window Form1: the ten input fields, the six floating buttons, the seven heading
// labels and the result grid MSFlexGrid1. It only binds widgets to the Form's handlers.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <memory>

#include "coordinates/gbk_text_files.h"
#include "coordinates/report_printing.h"
#include "coordinates/stake_grid.h"
#include "coordinates/stake_table_store.h"
#include "marlowby/form.h"
#include "platform/qt_host.h"

class QLineEdit;
class QProgressDialog;
class QTableView;

namespace marlowby {

class Form1 : public QWidget {
  Q_OBJECT
 public:
  // `databasePath` names the stake table file; by default "zxzb.db" in the per-user data folder.
  explicit Form1(QWidget* parent = nullptr, const QString& databasePath = QString());
  ~Form1() override;

  Form& State() { return form_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  template <typename Handler>
  void Run(Handler handler);
  void BuildControls();
  void PullFields();
  void PushFields();
  void RefreshGrid();

  platform::QtHost host_;
  coordinates::SqliteStakeTable table_;
  coordinates::GbkTextFileStore files_;
  coordinates::QtReportPrinter printer_;
  Form form_;
  std::array<QLineEdit*, 10> text_{};
  coordinates::StakeTableModel model_;
  QTableView* grid_ = nullptr;
  unsigned shownVersion_ = 0;
  std::unique_ptr<QProgressDialog> progressDialog_;
  bool unloaded_ = false;
};

}  // namespace marlowby
