// The report of the Dovetree window: plain text with CR LF line ends, laid out in columns for a
// monospaced font in which a CJK character is two columns wide.
#pragma once

#include <string>
#include <string_view>

#include "dovetree/station_deflections.h"

namespace dovetree {

// The report box's content before the first calculation; no line end after the last line.
std::string HelpText();

// The design data as typed; the report echoes them unchanged.
struct TypedDesignData {
  std::string_view jd, radius, ls;
};

// The whole report of a main calculation: heading, curve elements, then one line per row.
// Every line ends with CR LF; nothing follows the HY row.
std::string MainReport(const TypedDesignData& typed, const StationResult& result);

// One row line without its line end: 15 blanks, station field, deflection field, reverse.
std::string RowLine(const DeflectionRow& row);

// The line of an extra stake, CR LF included.
std::string ExtraStakeLine(const DeflectionRow& row);

}  // namespace dovetree
