// The cross-section tables of the alignment window (标准横断面, 超高表, 加宽表, 边坡) and how they
// apply, as the surveyor typed them, and the section queries on the form's route: the section
// at a stake, the `section` rows of the stake list and the 路基设计表. Plain C++ (no Qt), so
// the window and its tests ask the same typed API as the `section` command.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "alignment/result_table.h"
#include "alignment/route.h"
#include "alignment/route_design.h"
#include "alignment/section/section_rows.h"
#include "alignment/section/slopes.h"
#include "alignment/section/subgrade_table.h"
#include "alignment/stake_list.h"

namespace survey::alignment::window {

enum class SectionTableId { Section, Superelevation, Widening, Slopes };
inline constexpr SectionTableId kSectionTables[] = {SectionTableId::Section, SectionTableId::Superelevation,
                                                    SectionTableId::Widening, SectionTableId::Slopes};

struct SectionColumn {
  std::string key;    // the table file's English header
  std::string title;  // shown in the grid (with its unit)
};

// Where a table is refused: the row of the grid (-1 when the refusal names no line) and why.
struct SectionProblem {
  SectionTableId table = SectionTableId::Section;
  int row = -1;
  std::string message;
};

struct SectionInputs {
  std::vector<std::vector<std::string>> grids[4];
  section::SectionOptions options;

  std::vector<std::vector<std::string>>& Grid(SectionTableId id) { return grids[static_cast<int>(id)]; }
  const std::vector<std::vector<std::string>>& Grid(SectionTableId id) const { return grids[static_cast<int>(id)]; }
  static const std::vector<SectionColumn>& Columns(SectionTableId id);
  static std::string Title(SectionTableId id);  // "标准横断面"

  // Whether the typical section has a row: without it there is no section to compute.
  bool HasSection() const;
  // The table as its reader reads it (English header, comma separated, blank rows left out).
  // `lines` receives, for every line after the header, the grid row it came from.
  std::string Csv(SectionTableId id, std::vector<int>* lines = nullptr) const;

  // The tables read and placed on the route's stations: the design surface, or the first
  // problem with the grid row its refusal names.
  std::optional<section::SectionModel> Model(const StationLine& stations, SectionProblem* problem) const;
  // Only the readers (no route): the problem of each table, for red cells while typing.
  std::vector<SectionProblem> ReaderProblems() const;

  // Whether the 边坡 table has a row: without it there are no slope stakes.
  bool HasSlopes() const;
  // The side slopes of the 边坡 table, or nullopt with the problem (none without rows).
  std::optional<section::SideSlopes> Slopes(SectionProblem* problem) const;
};

// A table file (the `section` command's: UTF-8 or GBK, comma or tab, English or Chinese
// headers) as the grid's rows, the cells as typed and in the grid's columns. A file the table's
// reader refuses is refused whole, with its reason and line ("第 4 行：宽度 必须大于 0：“-1”。"),
// as AlignmentError: an import never brings in a table the command would not take.
std::vector<std::vector<std::string>> SectionGridFromFile(SectionTableId id, const std::string& bytes);

// What a locate run measures its points against: the design surface and, when the 边坡 table
// has rows, the side slopes (as the command line's --section and --slopes).
struct LocateSection {
  section::SectionModel model;
  std::optional<section::SideSlopes> slopes;
};
// None without a typical section or without a profile (the surface's elevations would only be
// relative); throws AlignmentError with the refusal of a table that cannot be read.
std::optional<LocateSection> LocateSectionOf(const SectionInputs& inputs, const RouteDesign& design);

// A measured point of the points table as the cross-section view draws it: at its offset and
// height, named, with its dz (section_dz on the surface, slope_dz beyond the edge; none beyond
// the edge without slopes).
struct SectionMark {
  std::string name;
  double chainage = 0, offset = 0, z = 0;
  std::optional<double> dz;
  bool onSlope = false;
};
// The view shows the points within this distance along the route of the section's station.
inline constexpr double kMarkHalfWidth = 10.0;
// The rows (name,x,y,z) with a z whose foot point lies on the route within `halfWidth` of
// `chainage` (limits included), in the table's order. Rows that cannot be read are left out
// (their cells are red); without a profile there are none, the section's heights being only
// relative then.
std::vector<SectionMark> MarksNear(const std::vector<std::vector<std::string>>& pointRows, const RouteDesign& design,
                                   const section::SectionModel& model, const section::SideSlopes* slopes, double chainage,
                                   double halfWidth = kMarkHalfWidth);

// The slope stake in words, as the surveyor on the point reads it: "向外 0.250 m" (move away
// from the centreline), "向内 0.120 m", and at the catch point "已到坡脚" (fill) or "已到坡口"
// (cut). Millimetres at least, more with more decimals.
std::string MoveWords(const SlopeStakeValues& stake, int decimals);
// For the last row of a locate run (the rover's last point): its name, station and move, as
// the locate tab shows it in large type; "" when that point has no slope stake.
std::string LastMoveText(const ResultTable& table);

// Option values as the project file and the command line spell them.
const char* ProfileAtKey(section::ProfileAt v);
const char* RotateAboutKey(section::RotateAbout v);
const char* TransitionKey(section::Transition v);
std::optional<section::ProfileAt> ProfileAtFromKey(const std::string& key);
std::optional<section::RotateAbout> RotateAboutFromKey(const std::string& key);
std::optional<section::Transition> TransitionFromKey(const std::string& key);

// The `section` rows of a stake list, as the grid shows them (the command's columns).
struct SectionRowsResult {
  std::vector<std::string> keys;  // name,station,side,part,offset,width,slope,elevation|relative_elevation,x,y
  std::vector<std::vector<std::string>> rows;
  // Each row's stake chainage, so that a row selects its stake's section.
  std::vector<double> chainages;
};
// The grid holds its rows as texts (about 400 bytes a row): beyond this many the window refuses
// and the `section` command, which streams them, is the way.
inline constexpr std::size_t kMaxSectionGridRows = 500'000;
// Refuses (AlignmentError) what the stake list refuses, and more than `maxRows` rows.
SectionRowsResult SectionRowsOf(const Route& route, const section::SectionModel& model, const Profile* profile,
                                const StakeOptions& stakes, int decimals, std::size_t maxRows = kMaxSectionGridRows);

}  // namespace survey::alignment::window
