// The rows of the deviation report (偏差报表), computed from typed inputs: the command line reads
// its options and files into them, the window its tables and fields, and both get the same rows.
//
// The design elevation of a measured point is the cross-section's surface at its offset, the
// side slope beyond the edge (with slopes), or the profile's elevation on the design line where
// no section is given.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "alignment/check/field_check.h"
#include "alignment/route_design.h"
#include "alignment/route_rows.h"
#include "alignment/section/design_surface.h"
#include "alignment/section/slopes.h"

namespace survey::alignment::check {

// The design surface at a located point: the section's, or beyond the edge the side slope's
// (which slope depends on the point's z: below the edge fill, above it cut).
struct DesignAt {
  std::optional<double> surface;
  std::optional<section::SlopeStake> slope;
  std::optional<double> Elevation() const {
    if (surface) return surface;
    if (slope) return slope->slopeElevation;
    return std::nullopt;
  }
};
// `slopes` may be null; `z` is needed for a slope stake.
DesignAt DesignAtPoint(const section::SectionModel& model, const Profile* profile, const section::SideSlopes* slopes,
                       double chainage, double offset, std::optional<double> z);

enum class CheckResult { Pass, Fail, Outside };

// One measured point of the deviation report.
struct CheckRow {
  std::string_view name;
  double x = 0, y = 0, z = 0;
  bool inside = false;
  double station = 0, offset = 0;
  std::optional<double> designZ, dz;              // dz = z − design
  std::optional<double> along, across, distance;  // with an intended position
  CheckResult result = CheckResult::Outside;
};

// What a check run found: the columns it has and the tolerances it used.
struct CheckRun {
  bool withIntended = false;
  ZTolerance toleranceZ;
  double toleranceXy = kDefaultToleranceXy;
  CheckSummary summary;
  std::string maxDzName, maxXyName;  // the points of the largest deviations
};

// The measured points in their table's order. Every point has a z; `lines` name the table's
// line of each point for refusals (0 for none). With intended positions `station` and `offset`
// hold one value per point, NaN where a row gives none; without, both are empty.
struct CheckPoints {
  std::vector<SurveyedPoint> points;
  std::vector<int> lines;
  std::vector<double> station, offset;
};

struct CheckInputs {
  const RouteDesign* design = nullptr;            // with its profile
  const section::SectionModel* section = nullptr;  // optional
  const section::SideSlopes* slopes = nullptr;     // optional, with a section
  const CheckPoints* points = nullptr;
  ZTolerance toleranceZ;
  double toleranceXy = kDefaultToleranceXy;
};

// Refuses (AlignmentError naming both lines) the first name that repeats an earlier one.
void RefuseDuplicateNames(const CheckPoints& points);

// Refuses (AlignmentError) a design without a profile and repeated names, then calls `start`
// (when given) once with the run's columns and tolerances and `sink` for every point in the
// table's order (the row's name lives until the call returns); returns the summary. An intended
// station off the route is refused when its row comes.
CheckRun ForEachCheckRow(const CheckInputs& inputs, const std::function<void(const CheckRun&)>& start,
                         const std::function<void(const CheckRow&, const CheckRun&)>& sink);

// The columns of the command's CSV (and of the window's grid).
std::vector<std::string> CheckKeys(bool withIntended);
// A row's cells under CheckKeys, as the command prints them (`decimals` places).
std::vector<std::string> CheckCells(const CheckRow& row, bool withIntended, int decimals);

// The order the window lists the rows in: the failures first, then the passes, then the points
// outside the route or the surface, each group in the table's order (the order they were shot).
std::vector<std::size_t> FailuresFirst(const std::vector<CheckRow>& rows);

// A run's rows kept for showing: each row's name owned by `names`, the rows in the table's order.
struct CheckTable {
  CheckRun run;
  std::deque<std::string> names;
  std::vector<CheckRow> rows;
  std::vector<std::size_t> order;  // FailuresFirst(rows)
  int decimals = 3;

  CheckTable() = default;
  // The rows' names view into `names`: a copy would view the original's.
  CheckTable(const CheckTable&) = delete;
  CheckTable& operator=(const CheckTable&) = delete;
};

// "pass", "fail", "outside".
const char* CheckResultKey(CheckResult result);
// The last line of the report: count, passed, failed and the largest deviations with their points.
std::string CheckSummaryText(const CheckRun& run, int decimals);

}  // namespace survey::alignment::check
