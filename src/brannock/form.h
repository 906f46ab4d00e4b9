// The state of the window qxjsForm1 and its handlers, free of any toolkit: the window, the
// batch mode and the tests all drive the same code.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/host.h"
#include "common/report_lines.h"

namespace brannock {

inline constexpr std::string_view kProgramTitle = "Brannock";

// The report box's text at start and after a reset.
std::string HelpText();

// What the toolbar buttons do, by key; a key that matches none does nothing.
enum class ToolbarAction { None, Reset, Compute, ExtraStake, Save, Font, Print, Help, HomePage, Exit };
ToolbarAction ActionForKey(std::string_view key);

// Result of writing or printing, as the outside world reports it.
struct Outcome {
  bool ok = false;
  bool cancelled = false;  // a print dialog the user closed: not a failure
  std::string error;       // the reason, for the user
  int code = 0;            // numeric code shown after the reason
};

// The date field's form yy-M-d (26-12-6); the report prints "20" before it.
std::string DateFieldText(int year, int month, int day);

class Form {
 public:
  // Design data, extra stake and date fields, by control name.
  std::string Text1, Text2, Text3, Text4 = "0", Text5, Text7;
  std::string report = HelpText();  // the report box, CR LF line ends
  // Where the next extra-stake line goes, a byte offset into the report: its end after a
  // main computation or a reset, just after the line after an extra stake, or where the user
  // left the cursor (snapped to a line start when the line is written).
  std::size_t insertionPoint = report.size();
  std::string title{kProgramTitle};

  // Writes the saved-report record (UTF-8 in, the file's encoding is the writer's); must
  // leave an earlier file intact when it fails.
  std::function<Outcome(const std::string& path, const std::string& utf8)> writeTextFile;
  // Prints a text in the report's print face; nullptr where there is no printer (batch mode).
  std::function<Outcome(const std::string& text)> printText;

  // Main computation: true when the report was rebuilt. Refusals leave everything unchanged.
  bool Command1_Click(survey::Host& host);
  // Extra stake: the line put into the report at the insertion point and where it went, or
  // nullopt when refused.
  std::optional<survey::InsertedLines> Command2_Click(survey::Host& host);
  // Print the report (three blanks before it); the report is not changed.
  void Command4_Click(survey::Host& host);
  // Reset the report to the help text; the fields keep their contents.
  void Command5_Click();
  // Save the report as a quoted record: true when written (the title then shows the path).
  bool Command7_Click(survey::Host& host);

  // Takes back what the user did in the report box: its text (LF line ends) and the cursor
  // position as the box counts it.
  void SetReportFromBox(std::string_view text, std::size_t boxPosition);
  // The insertion point as the box counts positions.
  std::size_t InsertionBoxPosition() const { return survey::BoxPositionOfByteOffset(report, insertionPoint); }

  static survey::FileRequest SaveRequest();
  static std::string PrintedText(std::string_view report);
};

// The failure message of save: the file and the reason.
survey::Message SaveFailedMessage(const std::string& path, const std::string& reason);
// The failure message of print: the description, a blank, the code.
survey::Message PrintFailedMessage(const std::string& description, int code);

}  // namespace brannock
