// The route's queries, answered as typed rows: what the command line writes as CSV and the
// window shows in its grids and plan. Stations are stations (equations applied), chainages run
// from 0 at the route's start; lengths in metres, angles in radians, grades as ratios.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "alignment/route.h"
#include "alignment/route_design.h"
#include "alignment/stake_list.h"
#include "alignment/stakeout.h"

namespace survey::alignment {

// One row of the curve table (直线、曲线及转角表): QD, each JD with its main points as stations,
// ZD. hy and yh are absent on a side without transition (zh and hz are then the curve's ZY and
// YZ). straightAfter, jdDistance and azimuth describe the leg to the next point of the table
// (QD to JD1, a JD to the next, the last JD to ZD; the straight from HZ to the next ZH), absent
// on ZD and where the next row is no point of the table. On QD and ZD only the point, its
// station and the leg are set.
enum class CurveRowKind { Jd, Start, End };
struct CurveTableRow {
  CurveRowKind kind = CurveRowKind::Jd;
  std::string name;
  double x = 0, y = 0;
  bool turnRight = false;
  double alpha = 0, r = 0, ls1 = 0, ls2 = 0, t1 = 0, t2 = 0, l = 0, e = 0, j = 0;
  double zh = 0;
  std::optional<double> hy;
  double qz = 0;
  std::optional<double> yh;
  double hz = 0;
  std::optional<double> straightAfter;
  double jdStation = 0;  // ZH + T1 on a JD
  std::optional<double> jdDistance, azimuth;
};
std::vector<CurveTableRow> CurveRows(const Route& route);

// A route of elements read as its curve table (see ListCurves): JD rows as a JD route lists
// them, and elements that form no JD one row each, stations at their ends.
struct ElementTableRow {
  std::size_t index = 0;     // from 1
  ElementKind kind = ElementKind::Line;
  double x = 0, y = 0;       // start point
  bool turnRight = false;
  std::optional<double> startRadius, endRadius;   // absent: straight end
  double length = 0, startStation = 0, endStation = 0;
};
struct ElementCurveRow {
  std::optional<CurveTableRow> jd;   // else `element`
  ElementTableRow element;
};
std::vector<ElementCurveRow> ElementCurveRows(const Route& route);

// The design elevation at a chainage: on the grade line, on the vertical curve, and the slope
// of the design line there.
struct DesignElevation {
  double gradeElevation = 0, elevation = 0, grade = 0;
};
// Absent where the profile does not reach.
std::optional<DesignElevation> ElevationAt(const RouteProfile& profile, double chainage);

struct SidePoint {
  double x = 0, y = 0;
};

// Which stakes, and which side stakes with each: offsets right positive, on the line at
// azimuth + 90° + skew.
struct StakeQuery {
  StakeOptions range;
  std::vector<double> offsets;
  double skew = 0;
};

struct StakeRow {
  std::string name;  // empty for a regular stake; "QD", "ZD", "JD3 HY", ...
  double station = 0, chainage = 0;
  double x = 0, y = 0, azimuth = 0;
  std::vector<SidePoint> sides;              // one per offset of the query
  std::optional<DesignElevation> elevation;  // with a profile, where it reaches
};

// Calls `sink` for every stake in order, the same row object refilled (copy what you keep).
// Every refusal comes before the first row (see ForEachStake).
void ForEachStakeRow(const RouteDesign& design, const StakeQuery& query, const std::function<void(const StakeRow&)>& sink);

// The position at one station; refuses a station in a gap or off the route.
struct StationPoint {
  double station = 0, chainage = 0;
  double x = 0, y = 0, azimuth = 0;
  std::optional<DesignElevation> elevation;
};
StationPoint PointAtStation(const Route& route, double station, double offset, double skew);

// A surveyed point to locate; z only where the points table gave one.
struct SurveyedPoint {
  std::string_view name;
  double x = 0, y = 0;
  std::optional<double> z;
};

struct LocateRow {
  std::string_view name;
  double x = 0, y = 0;
  bool inside = false;  // false: the foot point lies beyond an end, station and offset mean nothing
  double chainage = 0, station = 0, offset = 0;
  std::optional<DesignElevation> elevation;  // with a profile, inside and where it reaches
  std::optional<double> dz;                  // z minus the design elevation, where both are known
};

// Locates the points on all cores, a block at a time, and calls `sink` with the rows in the
// points' order; the design elevation is looked up when `withProfile` and the design has one.
void ForEachLocateRow(const RouteDesign& design, std::span<const SurveyedPoint> points, bool withProfile,
                      const std::function<void(const LocateRow&)>& sink);

// Setting-out data for one stake or side stake. `offset` is absent for the centre stake.
struct StakeoutRow {
  std::string stakeName;
  std::optional<double> offset;
  double station = 0, x = 0, y = 0;
  StakeoutAim aim;
};
// Each centre stake followed by its side stakes, in order; refusals before the first row.
void ForEachStakeoutRow(const Route& route, const StakeoutStation& instrument, const StakeQuery& query,
                        const std::function<void(const StakeoutRow&)>& sink);

// One grade change point with its vertical curve, stations where the profile table has them.
struct ProfileTableLine {
  std::string name;
  double station = 0, elevation = 0;
  std::optional<double> radius;                // absent for none
  std::optional<double> t, e;                  // where there is a vertical curve
  std::optional<double> gradeIn, gradeOut;     // absent at the first / last point
  std::optional<double> curveStart, curveEnd;  // stations of the vertical curve's ends
  std::optional<double> lengthIn, lengthOut;   // the halves of an asymmetric curve (t and radius absent)
};
std::vector<ProfileTableLine> ProfileLines(const Route& route, const RouteProfile& profile);

}  // namespace survey::alignment
