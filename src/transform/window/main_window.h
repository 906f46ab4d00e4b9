// The transform window: tabs for the Gauss–Krüger projection (one point and a table), the zone
// change, fitting four or seven parameters and applying them. Every computation is a command of
// the batch mode (RunCommand) run on the window's tables, so a click and a script give the same
// digits.
#pragma once

#include <QApplication>
#include <QGroupBox>
#include <QMainWindow>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/qt_host.h"
#include "platform/worker_run.h"
#include "transform/batch.h"
#include "transform/window/grids.h"

class QBoxLayout;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace survey::transform::window {

// Ellipsoid, central meridian or zone, projection height, scale, zone number before y.
class ZoneBox : public QGroupBox {
  Q_OBJECT
 public:
  ZoneBox(const QString& title, const QString& objectPrefix, bool withEllipsoid, bool withPrefix, QWidget* parent);
  // The options of the batch mode, each name preceded by `optionPrefix` ("" or "to-").
  std::vector<std::string> Options(const std::string& optionPrefix) const;

  QComboBox* ellipsoid = nullptr;
  QLineEdit* customA = nullptr;
  QLineEdit* customInvf = nullptr;
  QComboBox* mode = nullptr;  // 中央子午线 / 带号
  QLineEdit* meridian = nullptr;
  QLineEdit* zone = nullptr;
  QComboBox* width = nullptr;
  QLineEdit* height = nullptr;
  QLineEdit* scale = nullptr;
  QCheckBox* prefix = nullptr;
};

class TransformWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit TransformWindow(QWidget* parent = nullptr);
  ~TransformWindow() override;

  // The handlers, named for what they do (buttons and tests call them).
  void ProjectPoint();
  void ProjectTable();
  void RezoneTable();
  void FitParameters();
  void SaveParameters();
  void OpenParameters();
  void ApplyParameters();
  void CopyResults(ResultGrid* grid);
  void ExportResults(ResultGrid* grid, const std::string& csv);

  QTabWidget* tabs() const { return tabs_; }

  // Tables of more rows than this are computed on a worker thread, the window live meanwhile.
  void SetThreadThreshold(int rows) { threadThreshold_ = rows; }
  bool Running() const { return tableReading_ || worker_.Running(); }
  // Stops waiting for a threaded run; the results shown before stay.
  void CancelRun();

 signals:
  void RunFinished();  // a threaded run has ended (shown, refused, cancelled or discarded)

 private:
  // What a table run computes: the command, its options, the grid and its columns, the
  // parameter text; equal requests give equal results.
  struct TableRequest {
    std::string command;
    std::vector<std::string> options;
    PointGrid* input = nullptr;
    std::vector<std::string> columns;
    std::string parameters;
    std::uint64_t generation = 0;  // of the input grid
    bool operator==(const TableRequest&) const = default;
  };
  TableRequest ProjectionRequest() const;
  TableRequest RezoneRequest() const;
  TableRequest FitRequest() const;
  TableRequest ApplyRequest() const;
  // Runs a table command: at once for a small table, else on the worker thread. `show` gets
  // the result once it is there and the inputs are still those of `request`
  // (`current` rebuilds them); a refusal is shown either way.
  struct RunOutcome {
    CommandResult result;
    std::optional<std::string> refusal;
  };
  struct TableReading {
    PointGrid* input;
    std::vector<std::string> columns;
    int next;  // the first row not yet read
    std::string table;
  };
  void RunTable(const TableRequest& request, std::function<TableRequest()> current,
                std::function<void(CommandResult&)> show);
  // Runs a batch command on `table` (as its --points file) and the window's parameter text;
  // shows a refusal and returns false.
  bool Run(const std::string& command, std::vector<std::string> options, const std::string& table, std::string& csv,
           std::string& summary, std::string* parameterFile = nullptr);
  void Refuse(const std::string& message);
  void UpdateProjectionColumns();
  void UpdateFitColumns();
  void UpdateApplyColumns();
  // The right-hand column of a tab: the input grid under its title with 粘贴 (and 清空) and the
  // run button, the result grid under its title with 复制结果 and 导出 CSV…. Object names: the
  // grids' as given, the buttons' from `name` ("<name>PasteButton" …) and `resultName`.
  struct TablePane {
    QStringList inputHeaders = {};
    QString inputObject = {}, resultsObject = {};
    QString name = {};  // prefix of the paste and clear buttons
    bool clearButton = false;
    QString runText = {}, runObject = {};  // the run button
    QString inputTitle = {}, resultsTitle = {};
    QString resultName = {};  // prefix of the copy and export buttons
  };
  // Adds the column to `layout`; `run` is what the run button does, `csv` the results' CSV.
  void AddTablePane(QWidget* page, QBoxLayout* layout, const TablePane& pane, PointGrid*& input, ResultGrid*& results,
                    std::string* csv, std::function<void()> run);

  platform::QtHost host_;
  QTabWidget* tabs_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  int threadThreshold_ = 20'000;

  // Projection.
  ZoneBox* projectionZone_ = nullptr;
  QRadioButton* forwardRadio_ = nullptr;
  QCheckBox* projectionDegrees_ = nullptr;
  QLineEdit* pointFirst_ = nullptr;
  QLineEdit* pointSecond_ = nullptr;
  QLabel* pointFirstLabel_ = nullptr;
  QLabel* pointSecondLabel_ = nullptr;
  QLabel* pointResult_ = nullptr;
  PointGrid* projectionInput_ = nullptr;
  ResultGrid* projectionResults_ = nullptr;
  std::string projectionCsv_;

  // Zone change.
  ZoneBox* rezoneFrom_ = nullptr;
  ZoneBox* rezoneTo_ = nullptr;
  PointGrid* rezoneInput_ = nullptr;
  ResultGrid* rezoneResults_ = nullptr;
  std::string rezoneCsv_;

  // Fitting.
  QRadioButton* fitFourRadio_ = nullptr;
  QComboBox* fitLayout_ = nullptr;  // 空间直角坐标 / 大地坐标
  QComboBox* fitFromEllipsoid_ = nullptr;
  QComboBox* fitToEllipsoid_ = nullptr;
  QCheckBox* fitDegrees_ = nullptr;
  QLineEdit* maxResidual_ = nullptr;
  PointGrid* commonPoints_ = nullptr;
  ResultGrid* residuals_ = nullptr;
  QPlainTextEdit* fitSummary_ = nullptr;
  std::string residualCsv_;
  std::string fittedParameters_;

  // Applying.
  QPlainTextEdit* parameterText_ = nullptr;
  QComboBox* applyLayout_ = nullptr;  // 平面坐标 / 空间直角坐标 / 大地坐标
  QComboBox* applyFromEllipsoid_ = nullptr;
  QComboBox* applyToEllipsoid_ = nullptr;
  QCheckBox* applyDegrees_ = nullptr;
  QCheckBox* applyProject_ = nullptr;
  ZoneBox* applyZone_ = nullptr;
  PointGrid* applyInput_ = nullptr;
  ResultGrid* applyResults_ = nullptr;
  std::string applyCsv_;
  std::string loadedParameters_;

  std::unique_ptr<QTimer> tableReading_;  // while a large grid is read before its run
  std::function<void(bool cancelled)> cancelReading_;
  platform::WorkerRun worker_;  // last: its threads are waited for before the widgets go
};

int RunWindow(QApplication& app);

}  // namespace survey::transform::window
