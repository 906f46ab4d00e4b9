// The three cross-section tables the surveyor prepares beside the route: the typical section
// (标准横断面), the superelevation table (超高表) and the widening table (加宽表). They are
// read with the program's table reader (UTF-8 or GBK, comma or tab, English or Chinese
// headers, stations in metres or K notation); every refusal names the file and the line, and
// the column or part at fault: "“section.csv” 第 4 行：宽度 必须大于 0：“-1”。".
//
// Cross slopes are in percent and negative where the surface falls away from the design line,
// so a normal crown is -2 on both sides and a right-hand curve with 6 % superelevation is
// left +6, right -6.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "alignment/table_reader.h"

namespace survey::alignment::section {

enum class Side { Left, Right };

// Slopes beyond this are no road surface but a typing error (a side slope 1:1.5 is 67 %).
inline constexpr double kMaxCrossSlopePercent = 20;

// One part of a side of the typical section, listed outward from the design line.
struct SectionPart {
  std::string name;       // 行车道, 硬路肩, 土路肩 …
  double width = 0;       // m, > 0
  double slope = 0;       // percent, the template (normal section) slope
  bool super = false;     // takes the superelevation slope
  bool widen = false;     // takes the widening (exactly one part of a side, or none)
  bool median = false;    // the median (column median 1, or named 中央分隔带); first part only
  int line = 0;
};

// The parts of both sides. A side may be empty (a one-sided template); a side stake on it is
// refused when it is asked for.
struct TypicalSection {
  std::vector<SectionPart> left, right;
  const std::vector<SectionPart>& Parts(Side side) const { return side == Side::Left ? left : right; }
};

// side,part,width,slope,super,widen[,median] (侧,名称,宽度,横坡,超高,加宽[,中央分隔带]).
// side left/right (左/右, also L/R); super, widen and median 1 or 0 (是/否), blank 0. A side
// where no part says widen 1 widens its first super part. Refuses widths <= 0 or not numbers,
// slopes beyond ±20 %, two widen parts on one side, a median that is not its side's first part.
TypicalSection ReadTypicalSection(std::string bytes, std::string_view fileName);

// One row of the superelevation (slopes in percent) or widening (metres) table.
struct SideValuesRow {
  double station = 0;
  std::string stationText;   // as typed, for display
  double left = 0, right = 0;
  int line = 0;
};

// station,left,right (桩号,左,右): cross slopes of the super parts in percent; beyond ±20 %
// is refused.
std::vector<SideValuesRow> ReadSuperelevationTable(std::string bytes, std::string_view fileName);

// station,left,right (桩号,左,右): the widening of each side in metres (a negative value
// narrows; the resulting width is checked where it is used).
std::vector<SideValuesRow> ReadWideningTable(std::string bytes, std::string_view fileName);

// The columns the readers take, in the order of the cells they read (the window's grids keep
// this order): the typical section's, and the superelevation and widening tables'.
const std::vector<ColumnHeading>& TypicalSectionColumns();
const std::vector<ColumnHeading>& SideValuesColumns();

// The prefix that names a file in a refusal: "“section.csv” ".
std::string FilePrefix(std::string_view fileName);

}  // namespace survey::alignment::section
