// The CASS point list (.dat), the point file of Chinese field and office software: one point a
// line, `点名,编码,Y(东),X(北),高程`, e.g. `K10+020左5,,365760.368,2936912.007,1118.852`.
// Mind the order: east comes BEFORE north (the file's Y is east, its X north). The code and
// the elevation may be empty. Text is GBK, lines end in CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "exchange/point_record.h"

namespace survey::exchange {

// The file's text as UTF-8 (for a text store that encodes it), CR LF, `decimals` decimals.
// Refuses names with a comma or line break, empty names and values that are not finite.
std::string CassText(const std::vector<PointRecord>& points, int decimals = 3);

// The file's bytes: GBK, CR LF, `decimals` decimals (0 to 6) for coordinates and elevations.
// Names must be unique (MakeNamesUnique) and hold no comma or line break; a name or code GBK
// cannot hold is refused (ExchangeError).
std::string WriteCassPoints(const std::vector<PointRecord>& points, int decimals = 3);

// Reads a point list (GBK or UTF-8, CR LF or LF). Blank lines are skipped. A line of 4 fields
// has no elevation; a line of fewer or more than 4 or 5 fields, a blank name or a coordinate
// that is not a number is refused with its line.
PointFile ReadCassPoints(std::string_view bytes);

}  // namespace survey::exchange
