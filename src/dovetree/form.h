// The state and handlers of the window hhForm1, without the window: the six input fields, the
// report box's text and insertion point. The window, the batch mode and the tests all drive
// these handlers.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "common/host.h"

namespace dovetree {

inline constexpr const char* kWindowTitle = "Dovetree切线及偏角";
// The program title: print failures carry it as their message title.
inline constexpr const char* kProgramTitle = "Dovetree";

// What printing reports back.
struct PrintResult {
  bool ok = false;
  bool cancelled = false;  // the user closed the print dialog: not a failure
  std::string error;
  int code = 0;
};

// A failed print: the description, a blank and the code, under the program title.
survey::Message PrintFailedMessage(const std::string& description, int code);

class HhForm {
 public:
  // Window load: the report box shows the help text, the insertion point at its end.
  HhForm();

  std::string Text1;  // JD
  std::string Text2;  // alpha, packed D.MMSS
  std::string Text3;  // R
  std::string Text4;  // Ls
  std::string Text5;  // M, the instrument station
  std::string Text6;  // JZ, the extra stake

  // Main calculation: refuses (data-error message, report unchanged) an empty field among
  // Text1 to Text5 or input the deflections cannot be computed from; otherwise rebuilds the
  // report and puts the insertion point at its end.
  void Command1_Click(survey::Host& host);
  // Extra stake: the same checks over Text1 to Text6; otherwise inserts one line at the
  // insertion point (at the start of the next line when the point is inside a line) and
  // moves the insertion point past it.
  void Command2_Click(survey::Host& host);
  // Print: the report after three blanks (the word-processor sequence pasted them before the
  // text), in Hei 12 pt; the report is not changed. A failure shows PrintFailedMessage.
  void Command3_Click(survey::Host& host);

  // Prints a text; empty where there is no printer (batch mode, core tests).
  std::function<PrintResult(const std::string& text)> printText;

  // The report as the box holds it: lines end with CR LF.
  const std::string& Report() const { return report_; }
  // The insertion point as a byte offset into Report().
  std::size_t InsertionOffset() const { return insertion_; }

  // The box's view: LF line ends, positions counted as the box counts them (UTF-16 units, a
  // CR LF counting one).
  std::string ReportWithLf() const;
  std::size_t InsertionCharacters() const;
  // Takes back what the user did in the box: edited text (LF or CR LF) and where the cursor is.
  // A position beyond the end means the end.
  void SetReportFromBox(std::string_view text, std::size_t cursorCharacters);

 private:
  std::string report_;
  std::size_t insertion_ = 0;
};

}  // namespace dovetree
