// The coordinate calculators' stake tables (Marlowby, the curve window) as field points: the
// centre stake named by its station ("K1+810.791"), each side stake by the station, 左 or 右 and
// the offset the stakes were computed with ("K1+810.791左5"; the design offset, not the taped
// distance along a skew). Rows without a number for a point (" " or no value in a side field)
// give no point.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/host.h"
#include "common/services.h"
#include "coordinates/stake_record.h"
#include "exchange/point_record.h"

namespace survey::exchange {

// `sideOffset`: the form's side-stake offset field; when it is not a number above 0 the side
// stakes are named "…左" and "…右" without it.
std::vector<PointRecord> StakeTablePoints(const std::vector<coordinates::StakeRecord>& rows,
                                          std::string_view sideOffset);

// The export command beside ".ly": asks for a ".dat" path, writes the rows as a CASS point list
// (names made unique; the store writes GBK by atomic replace) and shows "导出成功", or the
// failure with the file's name and reason. `title` is the program's message title.
survey::Outcome ExportStakeRowsAsCass(survey::Host& host, survey::TextFileStore& files,
                                      const std::vector<coordinates::StakeRecord>& rows, std::string_view sideOffset,
                                      const std::string& initialName, const std::string& title);

}  // namespace survey::exchange
