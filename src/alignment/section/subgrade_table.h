// The 路基设计表 (subgrade design table) as text cells, for printing: one row per stake with its
// station, the design line's elevation, and for each part of each side (left outward, then
// right outward) its width, cross slope and outer-edge elevation as they are at that stake.
// Pure text so that any page layout can print it; the page count and the layout are the
// printer's.
#pragma once

#include <string>
#include <vector>

#include "alignment/profile.h"
#include "alignment/route.h"
#include "alignment/section/design_surface.h"
#include "alignment/stake_list.h"

namespace survey::alignment::section {

struct SubgradeTable {
  std::string title;                           // 路基设计表
  bool relative = false;                       // no profile: elevations relative to the design line
  std::vector<std::string> headers;            // with units
  std::vector<std::vector<std::string>> rows;  // as many cells as headers
};

// Stations in K notation and lengths with `decimals` places, slopes in percent with two; an
// elevation the profile does not reach is an empty cell.
SubgradeTable MakeSubgradeTable(const Route& route, const SectionModel& model, const Profile* profile,
                                const StakeOptions& stakes, int decimals);

}  // namespace survey::alignment::section
