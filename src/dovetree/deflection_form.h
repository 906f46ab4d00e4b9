// The deflection window without its widgets: the six input texts, the report box's text and
// its insertion point, and the three commands. The window, the batch mode and the tests all
// drive this form.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/host.h"
#include "common/services.h"
#include "dovetree/station_deflections.h"

namespace dovetree {

inline constexpr const char* kWindowTitle = "缓和曲线切线及偏角";
// The program title: print failures carry it as their message title.
inline constexpr const char* kProgramTitle = "Dovetree";

// A failed print: the reason, a blank and the code, under the program title.
survey::Message PrintFailedMessage(const std::string& reason, int code);

// The input texts as typed.
struct DeflectionFields {
  std::string jd;          // JD, station of the intersection point (交点桩号)
  std::string alpha;       // α, deflection angle of the tangents, packed D.MMSS (30.1545 is 30°15'45")
  std::string radius;      // R, radius of the circular arc
  std::string ls;          // Ls, length of the transition
  std::string station;     // M, station of the instrument (置镜点桩号), on the entering transition
  std::string extra = {};  // JZ, station of an extra stake (随机加桩); the main calculation needs none
};

class StationDeflectionForm {
 public:
  // The report starts as the help text, the insertion point at its end. Print failures are
  // told through `host`; `printer` prints the report.
  StationDeflectionForm(survey::Host& host, survey::TextPrinter& printer);

  DeflectionFields& fields() { return fields_; }
  const DeflectionFields& fields() const { return fields_; }

  // Refuses (data-error message, report unchanged) an empty field among JD to M or input the
  // deflections cannot be computed from; otherwise rebuilds the report and puts the insertion
  // point at its end. JZ is not needed.
  survey::Outcome ComputeDeflections();
  // The same checks with JZ as well; otherwise inserts the stake's line at the insertion point
  // (at the start of the next line when the point is inside a line) and moves the point past it.
  survey::Outcome AddExtraStake();
  // Prints the report after three blanks (where the report has always been printed from); the
  // report is not changed. A failure shows PrintFailedMessage, a cancelled dialog nothing.
  survey::Outcome PrintReport();

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
  bool FieldsFilled(bool withExtraStake) const;
  // Shows the refusal and answers true when the two transitions of `input` overlap.
  bool Overlapping(const StationInput& input);

  survey::Host& host_;
  survey::TextPrinter& printer_;
  DeflectionFields fields_;
  std::string report_;
  std::size_t insertion_ = 0;
};

}  // namespace dovetree
