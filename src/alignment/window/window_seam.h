// What the window's rooms (transfers, printing) need from the window: the form, the results on
// screen, the message and file dialogs, the project's folder and name, whether results are
// current. The window implements it; a room sees nothing else of it.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "alignment/window/form.h"
#include "alignment/window/report.h"

class QWidget;
namespace survey {
class Host;
}

namespace survey::alignment::window {

class PlanView;
class ResultGridModel;
class SectionPanel;
class SourceGridModel;

class WindowSeam {
 public:
  virtual ~WindowSeam() = default;

  // The parent of the rooms' own dialogs (print, preview).
  virtual QWidget* DialogParent() = 0;
  // Messages and file dialogs.
  virtual survey::Host& Host() = 0;
  virtual AlignmentForm& Form() = 0;
  // The fields into the form, before the form is read.
  virtual void PullFields() = 0;
  virtual void ShowRefusal(const QString& text) = 0;
  // A note in the status bar for `milliseconds`.
  virtual void ShowStatus(const QString& text, int milliseconds) = 0;
  // True when the results of `kind` are current, after offering to compute them when stale.
  virtual bool ResultsCurrent(RunKind kind) = 0;
  virtual ResultGridModel& Result(RunKind kind) = 0;
  // The 偏差检查 rows as the check command writes them; nullopt after a refusal shown.
  virtual std::optional<std::string> CheckCsv() = 0;
  // The 偏差报表 of the check on screen (plot page, then the rows); nullopt after a refusal shown.
  virtual std::optional<ReportTable> CheckReport() = 0;
  // The selected rows of a result grid, in ascending order.
  virtual std::vector<int> SelectedResultRows(RunKind kind) = 0;
  // A dialog's initial name in the project's folder (the name alone before the first save).
  virtual std::string InProjectFolder(const std::string& name) const = 0;
  // The project's name on a printed page: the 项目名称 field, else the file's name.
  virtual QString ReportProjectName() const = 0;

  // Transfers into the project.
  virtual SourceGridModel* Model(TableId id) = 0;
  // The 路线设置 page's input kind, as a click on it would set it.
  virtual void ChooseInputKind(InputKind kind) = 0;
  // False when the user keeps the changed project open (cancel in the save question).
  virtual bool AskToSave() = 0;
  // An imported route as a new untitled project, modified, without results.
  virtual void StartImportedProject(AlignmentForm form) = 0;

  // The drawings and tables printing reads.
  virtual PlanView* Plan() = 0;
  virtual SectionPanel* Sections() = 0;
};

}  // namespace survey::alignment::window
