// The design surface where the commands and the window use it: the section at a station with
// the profile that goes with the route, the rows of the `section` listing (break points with
// their coordinates), and the side stakes at every part edge (--edges).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "alignment/profile.h"
#include "alignment/route.h"
#include "alignment/section/design_surface.h"

namespace survey::alignment::section {

// The section at a chainage. With a profile that reaches the chainage the elevations are
// absolute; with one that does not reach it they are unknown (`known` false); without a
// profile they are relative to the design line.
struct SectionAtStation {
  CrossSection section;
  bool known = true;
  // The design elevation at an offset: absent beyond the surface or where the profile does not reach.
  std::optional<double> ElevationAt(double offset) const {
    return known ? section.ElevationAt(offset) : std::nullopt;
  }
};
SectionAtStation SectionAt(const SectionModel& model, const Profile* profile, double chainage);

// One row of the `section` listing: the design line, or a part's outer edge, with its side stake.
struct SectionRow {
  bool designLine = false;
  Side side = Side::Left;
  const SectionPart* part = nullptr;  // null on the design line
  double offset = 0, width = 0, slope = 0;
  std::optional<double> elevation;
  double x = 0, y = 0;
};

// The design line, then each part's outer edge outward, left side then right side; the points
// square to the centre line at the chainage.
void AppendSectionRows(const Route& route, const SectionAtStation& at, double chainage, std::vector<SectionRow>& out);

// The side stakes of --edges: every part's outer edge, left side outward then right side,
// named "左 行车道", "右 土路肩" …; their offsets at a station (widening included).
std::vector<std::string> EdgeNames(const TypicalSection& section);
void EdgeOffsets(const CrossSection& section, std::vector<double>& out);

// The side name as rows and names print it: 左 / 右.
const char* SideText(Side side);

}  // namespace survey::alignment::section
