// The curve deflection calculator without its window: the design data go in, the report of
// curve elements, main points and deflection angles comes out, and extra stakes go into it
// where the surveyor wants them. The window, the batch mode and the tests drive this class.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/host.h"
#include "common/outcome.h"
#include "common/report_lines.h"
#include "common/services.h"
#include "curve/curve_elements.h"

namespace brannock {

inline constexpr std::string_view kProgramTitle = "Brannock";

// The report box's text at start and after a reset.
std::string HelpText();

// What the toolbar buttons do.
enum class ToolbarAction { None, Reset, Compute, ExtraStake, Save, Font, Print, Help, HomePage, Exit };
// The action of a toolbar key ("qk", "js", ...); a key that matches none does nothing.
ToolbarAction ActionForKey(std::string_view key);

// The date field's form yy-M-d (26-12-6); the report prints "20" before it.
std::string DateFieldText(int year, int month, int day);

// The texts of the input fields, as typed.
struct CurveDeflectionFields {
  std::string jd;            // JD, station of the intersection point
  std::string alpha;         // α, deflection angle at JD, packed D.MMSS (88.2222 = 88°22′22″)
  std::string radius;        // R, radius of the circular curve
  std::string ls = "0";      // Ls, transition length; 0 for a curve without transitions
  std::string extraStation;  // JZ, station of an extra stake (加桩)
  std::string printDate;     // yy-M-d, printed at the report's end after "20"
};

class CurveDeflectionForm {
 public:
  // `files` takes the saved report, `printer` the printed one.
  CurveDeflectionForm(survey::Host& host, survey::TextFileStore& files, survey::TextPrinter& printer);

  CurveDeflectionFields& fields() { return fields_; }
  const CurveDeflectionFields& fields() const { return fields_; }
  // The report box's text, CR LF line ends.
  const std::string& report() const { return report_; }
  // The window title: the program's name, or the path the report was last saved to.
  const std::string& title() const { return title_; }
  // Where the next extra-stake line goes, a byte offset into the report: its end after a
  // computation or a reset, just after the line after an extra stake, or where the user left
  // the cursor (snapped to a line start when the line is written).
  std::size_t insertionPoint() const { return insertionPoint_; }
  // The same place as the report box counts positions.
  std::size_t InsertionBoxPosition() const { return survey::BoxPositionOfByteOffset(report_, insertionPoint_); }

  // Rebuilds the report from the design data; Refused (after the message, with nothing
  // changed) when they are missing or unusable.
  survey::Outcome ComputeReport();
  // Puts the extra stake's line into the report at the insertion point (lastInserted() says
  // what went in and where); Refused, with nothing changed, after the message.
  survey::Outcome AddExtraStake();
  // The line the last AddExtraStake put in, nullopt when it was refused or none has run.
  const std::optional<survey::InsertedLines>& lastInserted() const { return lastInserted_; }
  // Prints three blanks and the report; the report is not changed. Refused once the failure
  // has been shown.
  survey::Outcome PrintReport();
  // Back to the help text; the fields keep their contents.
  void ResetReport();
  // Saves the report as a quoted record to a path the user picks; the title then shows the
  // path. Refused once the failure has been shown.
  survey::Outcome SaveReport();

  // Takes back what the user did in the report box: its text (LF line ends) and the cursor
  // position as the box counts it.
  void SetReportFromBox(std::string_view text, std::size_t boxPosition);

  static survey::FileRequest SaveRequest();

 private:
  bool FieldsFilled() const;
  // Shows the refusal and answers true when the two transitions of `input` overlap.
  bool Overlapping(const survey::curve::CurveInput& input);

  survey::Host& host_;
  survey::TextFileStore& files_;
  survey::TextPrinter& printer_;
  CurveDeflectionFields fields_;
  std::string report_ = HelpText();
  std::optional<survey::InsertedLines> lastInserted_;
  std::size_t insertionPoint_ = report_.size();
  std::string title_{kProgramTitle};
};

// The failure message of save: the file and the reason.
survey::Message SaveFailedMessage(const std::string& path, const std::string& reason);
// The failure message of print: the description, a blank, the code.
survey::Message PrintFailedMessage(const std::string& description, int code);

}  // namespace brannock
