// Which kind of point file a file is, told by its content: a user picks a file, not a format.
//   GSI-16  the first non-blank line begins with "*" and two digits;
//   CASS    the first non-blank line has 4 or 5 comma-separated fields, the third and fourth
//           numbers (a CASS list has no header);
//   CSV     anything else: the suite's own table with its header line (name,x,y ...).
#pragma once

#include <optional>
#include <string_view>

#include "exchange/point_record.h"

namespace survey::exchange {

enum class PointFormat { kCsv, kCass, kGsi16 };

PointFormat DetectPointFormat(std::string_view bytes);

// "csv", "cass", "gsi16" (as options spell them); nullopt for another word.
std::optional<PointFormat> PointFormatNamed(std::string_view name);

// Reads a CASS or GSI-16 file (the CSV table is its program's to read).
PointFile ReadPointFile(std::string_view bytes, PointFormat format);

}  // namespace survey::exchange
