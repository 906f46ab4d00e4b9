// The design at a located point with the cross-section: the surface's elevation at its offset
// and, beyond the outermost edge with side slopes, the slope stake for its measured z. Plain
// values, so that the result table (below the section library) keeps them beside the located
// rows, and one layout of their columns for the command line's CSV and the window's grids.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace survey::alignment {

// Where the slope from the edge meets the level of the point (section/slopes.h).
struct SlopeStakeValues {
  bool cut = false;            // false: fill (the point below the edge)
  double catchOffset = 0;      // unsigned
  double move = 0;             // + away from the centreline, − toward it; 0 at the catch point
  double slopeElevation = 0;   // the slope surface at the point's offset
  double slopeDz = 0;          // z − slopeElevation
  bool atCatch = false;
};

struct PointDesign {
  std::optional<double> surface;    // section_elevation: nothing beyond the outermost edge
  std::optional<double> surfaceDz;  // section_dz = z − surface
  std::optional<SlopeStakeValues> slope;
  std::optional<double> fillCut;    // 填挖高度 = design − z (the surface's, else the slope's), fill positive
};

namespace layout {

// After the locate columns: section_elevation; section_dz with z; the slope stake's six columns
// with slopes; fill_cut with z.
inline std::vector<std::string> PointDesignKeys(bool withZ, bool withSlopes) {
  std::vector<std::string> keys = {"section_elevation"};
  if (withZ) keys.push_back("section_dz");
  if (withSlopes) {
    for (const char* k : {"kind", "catch_offset", "move", "slope_elevation", "slope_dz", "slope_status"}) keys.push_back(k);
  }
  if (withZ) keys.push_back("fill_cut");
  return keys;
}

// The machine words fill/cut and catch/move; the surveyor reads 填/挖, and at the catch point
// 坡脚 (the toe of a fill) or 坡口 (the top of a cut).
template <class Out>
void Cells(Out& out, const PointDesign& d, bool withZ, bool withSlopes) {
  out.Number(d.surface);
  if (withZ) out.Number(d.surfaceDz);
  if (withSlopes) {
    if (d.slope) {
      const SlopeStakeValues& s = *d.slope;
      out.Word(s.cut ? "cut" : "fill", s.cut ? "挖" : "填");
      out.Number(s.catchOffset);
      out.Number(s.move);
      out.Number(s.slopeElevation);
      out.Number(s.slopeDz);
      if (s.atCatch) out.Word("catch", s.cut ? "坡口" : "坡脚"); else out.Word("move", "移动");
    } else {
      for (int i = 0; i < 6; ++i) out.Empty();
    }
  }
  if (withZ) out.Number(d.fillCut);
}

}  // namespace layout

}  // namespace survey::alignment
