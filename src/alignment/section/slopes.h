// Side slopes (边坡) and slope staking (边坡放样). Beyond the outermost edge of a side the road
// meets the ground by a fill slope (填方, falling away from the edge) or a cut slope (挖方,
// rising from it), each 1:m: m metres across for every metre of height.
//
// Staking: the surveyor stands on the ground beyond the edge. The slope from the edge meets the
// level of his point at catch_offset = |Oe| + |Ze − z|·m; he moves by catch_offset − |offset|
// (positive away from the centreline) and shoots again until he stands within 0.01 m of it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <vector>

#include "alignment/section/design_surface.h"
#include "alignment/table_reader.h"

namespace survey::alignment::section {

enum class SlopeKind { Fill, Cut };

// Within this distance of the catch point the stake is set: move is 0.
inline constexpr double kCatchTolerance = 0.01;
// Ratios beyond this are a typing error (1:100 is a flat plain, not a slope).
inline constexpr double kMaxSlopeRatio = 100;

struct SideSlopes {
  double ratio[2][2] = {{0, 0}, {0, 0}};  // [side][kind]: m of 1:m
  double Ratio(Side side, SlopeKind kind) const {
    return ratio[side == Side::Left ? 0 : 1][kind == SlopeKind::Fill ? 0 : 1];
  }
};

// side,kind,ratio (侧,类型,坡率): side left/right (左/右), kind fill/cut (填/挖, also 填方/挖方),
// ratio m of 1:m, > 0. Every side needs both a fill and a cut slope, once each.
SideSlopes ReadSideSlopes(std::string bytes, std::string_view fileName);
// Its columns, in the order of the cells it reads.
const std::vector<ColumnHeading>& SideSlopesColumns();

struct SlopeStake {
  SlopeKind kind = SlopeKind::Fill;
  double edgeOffset = 0, edgeElevation = 0;  // Oe (signed), Ze
  double catchOffset = 0;                    // unsigned, like the surveyor reads it
  double move = 0;                           // + away from the centreline, − toward it; 0 at the catch point
  double slopeElevation = 0;                 // the slope surface at the point's offset
  double slopeDz = 0;                        // z − slopeElevation
  bool atCatch = false;
};

// The stake for a point at `offset` (beyond the section's edge on its side) with elevation z;
// nothing for a point on or inside the surface.
std::optional<SlopeStake> StakeSlope(const CrossSection& section, const SideSlopes& slopes, double offset, double z);

// The same, from the edge alone (the section's outermost point on the point's side).
SlopeStake StakeSlopeFromEdge(double edgeOffset, double edgeElevation, double fillRatio, double cutRatio,
                              double offset, double z);

}  // namespace survey::alignment::section
