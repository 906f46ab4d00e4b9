// The alignment window: source tables, result tables, plan and profile views, reports and
// project files. Runs go through AlignmentForm and the RunController (long ones on a worker
// thread with progress and cancel; a cancelled run keeps the previous results); files in and
// out go through WindowTransfers, printed pages through WindowPrinting, both over the
// WindowSeam the window implements.
#pragma once

#include <QMainWindow>
#include <QUndoStack>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "alignment/window/form.h"
#include "alignment/window/grid_models.h"
#include "alignment/window/printing.h"
#include "alignment/window/project_document.h"
#include "alignment/window/report.h"
#include "alignment/window/route_views.h"
#include "alignment/window/run_controller.h"
#include "alignment/window/section_tabs.h"
#include "alignment/window/transfers.h"
#include "alignment/window/window_seam.h"
#include "platform/qt_host.h"

class QAction;
class QApplication;
class QCheckBox;
namespace survey::alignment::window {
class CheckPanel;
}
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;
class QTimer;

namespace survey::alignment::window {

class AlignmentWindow : public QMainWindow, private WindowSeam {
  Q_OBJECT

 public:
  explicit AlignmentWindow(QWidget* parent = nullptr);
  ~AlignmentWindow() override;

  AlignmentForm& Form() override { return form_; }
  SourceGridModel* Model(TableId id) override { return models_[static_cast<int>(id)]; }
  QTableView* SourceView(TableId id) { return sourceViews_[static_cast<int>(id)]; }
  ResultGridModel& Result(RunKind kind) override;
  QUndoStack& Undo() { return undo_; }
  PlanView* Plan() override { return plan_; }
  ProfileView* ProfileChart() { return profileView_; }
  SectionPanel* Sections() override { return sections_; }
  // Files in and out, and the clipboard; printed pages.
  WindowTransfers& Transfers() { return transfers_; }
  WindowPrinting& Printing() { return printing_; }
  CrossSectionView* SectionView() { return sectionView_; }

  // Handlers (menu entries and buttons call these; tests too).
  bool ComputeAll();  // curves, stakes and profile
  bool ComputeLocatePoint();
  bool ComputeLocateTable();
  bool ComputeStakeout();
  // F5 and the 计算 menu's first entry: the run of the result tab shown (反算 repeats its last
  // run, the point or the table), on any other tab the curves and stakes.
  bool ComputeShown();
  void CancelRun();
  bool Running() const { return runs_.Running(); }
  // Runs whose stake rows exceed this go to the worker thread.
  void SetThreadThreshold(std::size_t rows) { runs_.SetThreadThreshold(rows); }

  bool SaveTo(const QString& path);
  bool OpenFrom(const QString& path);
  bool Save();
  bool SaveAs();
  void OpenDialog();
  void NewProject();
  QString CurrentPath() const { return document_.Path(); }
  bool IsModified() const;
  // Results computed before the last change of an input: greyed under a banner until the next run.
  bool IsStale(RunKind kind) const;
  QStringList RecentFiles() const;

  // The 偏差检查 page and its 偏差报表 (window_check.cpp).
  bool ComputeCheck();
  CheckPanel* Check() { return check_; }
  std::optional<ReportTable> CheckReport() override;
  // The check grid's CSV (ExportResultCsv's for RunKind::Check); nullopt after a refusal shown.
  std::optional<std::string> CheckCsv() override;

  // Fields into the form (the line edits are bound as they change; this re-reads them all).
  void PullFields() override;
  // The form into the widgets (after an open or import).
  void PushFields();
  // Shows a result tab and selects a row as a click would (centres the plan on that stake).
  void ShowResultRow(RunKind kind, int row);

 signals:
  void RunFinished();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildUi();
  void BuildMenus();
  QWidget* BuildSettingsTab();
  QWidget* BuildSourceTab(TableId id);
  QWidget* BuildResultTab(RunKind kind, QWidget* options);
  // A result grid's CSV exports (UTF-8, GBK, through ExportResultCsv) and its 按显示格式 switch.
  void AddTransferActions(QTableView* view, RunKind kind, const std::function<void(bool)>& setAsShown);
  // The locate tab's fields, buttons and points grid, and the move of the last point in large
  // type (window_locate.cpp).
  QWidget* BuildLocateOptions();
  void ShowMove(const std::shared_ptr<const ResultTable>& located);
  QLineEdit* Field(const QString& name, std::string AlignmentForm::*member);
  bool StartRun(std::vector<RunKind> kinds);
  void Apply(RunOutcome& outcome);
  void ShowRefusal(const QString& text) override;
  void MarkModified();
  void UpdateTitle();
  void ClearResults();
  void RebuildRecentMenu();
  void OnCursor(double x, double y);
  void OnResultRow(RunKind kind, int row);
  void PasteIntoCurrent();
  void InsertRowInCurrent();
  void DeleteRowsInCurrent();
  void FillDownInCurrent();
  SourceGridModel* CurrentSourceModel(QTableView** view = nullptr);
  bool AskToSave() override;
  void MarkStale();
  void ShowStaleness();
  // True when the results of `kind` are current, after offering to compute them when stale.
  bool ResultsCurrent(RunKind kind) override;
  // A dialog's initial name in the project's folder (the name alone before the first save).
  std::string InProjectFolder(const std::string& name) const override;
  QWidget* BuildCheckTab();
  void ApplyCheck(const RunResult& result);
  // The project's name on a printed report: the 项目名称 field, else the file's name.
  QString ReportProjectName() const override;
  // The rest of the rooms' seam (window_seam.cpp).
  QWidget* DialogParent() override { return this; }
  survey::Host& Host() override { return host_; }
  void ShowStatus(const QString& text, int milliseconds) override;
  std::vector<int> SelectedResultRows(RunKind kind) override;
  void ChooseInputKind(InputKind kind) override;
  void StartImportedProject(AlignmentForm form) override;
  // The run F5 starts on the tab shown, and its name for the menu.
  RunKind ShownRun() const;
  void NameShownRun();

  AlignmentForm form_;
  QUndoStack undo_;
  platform::QtHost host_{this};
  SourceGridModel* models_[5] = {};
  QTableView* sourceViews_[5] = {};
  std::map<RunKind, ResultGridModel*> results_;
  std::map<RunKind, QTableView*> resultViews_;
  std::vector<std::pair<QLineEdit*, std::string AlignmentForm::*>> fields_;
  QRadioButton* jdKind_ = nullptr;
  QRadioButton* elementKind_ = nullptr;
  QCheckBox* degrees_ = nullptr;
  QTabWidget* leftTabs_ = nullptr;
  QTabWidget* rightTabs_ = nullptr;
  PlanView* plan_ = nullptr;
  ProfileView* profileView_ = nullptr;
  QLabel* cursorLabel_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  QLabel* staleBanner_ = nullptr;
  QLabel* moveLabel_ = nullptr;
  std::set<RunKind> staleKinds_;
  ProjectDocument document_{undo_};
  bool pushing_ = false;
  RunController runs_;
  RunKind lastLocate_ = RunKind::LocateTable;  // the 反算 tab's last run: F5 and an export repeat it
  QAction* computeShown_ = nullptr;
  bool runningCheck_ = false;  // the run started last is a check (its progress counts points)
  SectionPanel* sections_ = nullptr;
  CrossSectionView* sectionView_ = nullptr;
  CheckPanel* check_ = nullptr;
  WindowTransfers transfers_{*this};
  WindowPrinting printing_{*this};
};

int RunWindow(QApplication& app);

}  // namespace survey::alignment::window
