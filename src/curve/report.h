// The setting-out report: fixed-width plain text read in a monospaced face where a CJK
// character is two columns wide. Lines end with CR LF.
//
// Each field rule is a function of its own, so that every report of the suite built on these
// columns (the transition station report among them) writes its fields the same way.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/notation.h"
#include "curve/curve_elements.h"
#include "curve/stake_rows.h"

namespace survey::curve {

inline constexpr std::string_view kCrLf = "\r\n";
// Every report line but the banner starts with this indent; headings with kHeadingIndent.
inline constexpr std::size_t kIndent = 15;
inline constexpr std::size_t kHeadingIndent = 25;
// Gap between the values of one element line.
inline constexpr std::size_t kGap = 5;

inline constexpr std::size_t kStakeStationWidth = 17;
inline constexpr std::size_t kMainStationNumberWidth = 11;
inline constexpr std::size_t kDeflectionWidth = 15;

// The reverse deflection printed for the start and end rows instead of a computed one.
inline constexpr std::string_view kFixedReverseText = "360°0′0″";

std::string Blanks(std::size_t count);

// The suffix behind a main station: "(起点)", "(缓圆)", "(曲中)", "(圆缓)", "(终点)", "(加桩)";
// none for an ordinary stake.
std::string_view RowSuffix(RowKind kind);

// Ordinary stake: the signed float text padded to 17 characters.
std::string StakeStationField(float station);

// A number text, a suffix, then `numberWidth` - n blanks where n is the length of the number
// text alone (none when n reaches the width). With the four-character suffix of two CJK
// characters and width 11 the field is 17 columns wide, like the stake field.
std::string SuffixedStationField(std::string_view numberText, std::string_view suffix,
                                 std::size_t numberWidth = kMainStationNumberWidth);

// Main point or extra stake: the signed float text, the row's suffix, blanks to width 11.
std::string MainStationField(float station, RowKind kind);

// DmsText(SplitDms(J), signed form) padded to 15 characters.
std::string DeflectionField(double J);

// DmsText(SplitDms(360 - J), plain form), not padded.
std::string ReverseText(double J);

// The station field a row of this kind uses.
std::string StationField(const StakeRow& row);

// One row line without its CR LF: indent, station field, deflection field, then the reverse
// text (start and end rows: the fixed reverse text followed by 4 and 5 blanks).
std::string RowLine(const StakeRow& row);

// What the head of a report echoes and lists: the design data as typed, alpha's parsed
// components, the element texts (p and q come as texts, because their precision differs
// between the reports), the float elements and main stations.
struct ReportHead {
  std::string banner;
  std::string jdText, rText, lsText;
  PackedAngle alpha;
  std::string pText, qText;
  float L = 0, T = 0, E = 0, QZ = 0, ZH = 0, HY = 0, YH = 0, HZ = 0;
};

// The head of a report from a set of elements. p and q print in their own precision: doubles
// in this program's elements, floats in the instrument-station elements.
template <class Elements>
ReportHead MakeReportHead(std::string banner, std::string jdText, std::string rText, std::string lsText,
                          const Elements& e) {
  ReportHead h;
  h.banner = std::move(banner);
  h.jdText = std::move(jdText);
  h.rText = std::move(rText);
  h.lsText = std::move(lsText);
  h.alpha = e.alpha;
  h.pText = PlainNumberText(e.p);
  h.qText = PlainNumberText(e.q);
  h.L = e.L;
  h.T = e.T;
  h.E = e.E;
  CopyMainStations(h, e);
  return h;
}

// Lines 1 to 14 of a report: the banner line verbatim, design data, curve elements, the list heading.
std::vector<std::string> HeadLines(const ReportHead& head);

// The closing line: maker's date and the print date "20" + the date field text (yy-M-d).
std::string DateLine(std::string_view dateText);

// Brannock's banner line (line 1), written as it stands.
std::string BrannockBanner();

// The whole main report: head, start row, rows, end row, a line of 5 blanks, the date line.
// Every line ends with CR LF.
std::vector<std::string> MainReportLines(const ReportHead& head, const std::vector<StakeRow>& rows,
                                         std::string_view dateText);
std::string WriteMainReport(const ReportHead& head, const std::vector<StakeRow>& rows, std::string_view dateText);

// Appends the extra stake's line with its CR LF.
void AppendExtraStakeLine(std::string& report, const StakeRow& extra);
std::string ExtraStakeLine(const StakeRow& extra);

// The saved-report record: a double quote, the report unchanged, a double quote, CR LF.
std::string SavedReportRecord(std::string_view report);

// Lines joined, each ended by CR LF.
std::string JoinCrLf(const std::vector<std::string>& lines);

}  // namespace survey::curve
