// The columns of every kind of row the route's queries answer with, and each row's cells in
// the program's formats: one layout for the command line's CSV and the window's grids, so the
// two cannot drift apart.
//
// `Out` takes cells in order: Text(string_view), Number(double) (the run's decimals),
// Number(optional<double>) (empty when absent), Angle(radians, AngleKind) (the run's unit),
// Percent(ratio) (four places), Empty(), and tells Decimals().
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "alignment/route_rows.h"
#include "alignment/text_format.h"

namespace survey::alignment::layout {

inline std::vector<std::string> CurveKeys() {
  return {"name", "x",  "y", "turn", "alpha", "r",  "ls1", "ls2", "t1", "t2",
          "l",    "e", "j", "zh",   "hy",    "qz", "yh",  "hz",  "straight_after"};
}
inline std::vector<std::string> ElevationKeys() { return {"grade_elevation", "elevation", "grade"}; }
// x_D,y_D for each offset as it was typed.
inline std::vector<std::string> StakeKeys(const std::vector<std::string>& offsetLabels, bool withProfile) {
  std::vector<std::string> keys = {"name", "station", "x", "y", "azimuth"};
  for (const std::string& label : offsetLabels) {
    keys.push_back("x_" + label);
    keys.push_back("y_" + label);
  }
  if (withProfile) {
    for (std::string& k : ElevationKeys()) keys.push_back(std::move(k));
  }
  return keys;
}
inline std::vector<std::string> PointKeys(bool withProfile) {
  std::vector<std::string> keys = {"station", "x", "y", "azimuth"};
  if (withProfile) {
    for (std::string& k : ElevationKeys()) keys.push_back(std::move(k));
  }
  return keys;
}
// dz only with a profile and a z column.
inline std::vector<std::string> LocateKeys(bool withProfile, bool withZ) {
  std::vector<std::string> keys = {"name", "x", "y", "station", "offset", "status"};
  if (withProfile) {
    for (std::string& k : ElevationKeys()) keys.push_back(std::move(k));
    if (withZ) keys.push_back("dz");
  }
  return keys;
}
inline std::vector<std::string> StakeoutKeys() { return {"name", "station", "x", "y", "azimuth", "angle", "distance"}; }
inline std::vector<std::string> ProfileKeys() {
  return {"name", "station", "elevation", "r", "t", "e", "grade_in", "grade_out", "curve_start", "curve_end"};
}

template <class Out>
void ElevationCells(Out& out, const std::optional<DesignElevation>& elevation) {
  if (!elevation) {
    out.Empty();
    out.Empty();
    out.Empty();
    return;
  }
  out.Number(elevation->gradeElevation);
  out.Number(elevation->elevation);
  out.Percent(elevation->grade);
}

template <class Out>
void Cells(Out& out, const CurveTableRow& row) {
  out.Text(row.name);
  out.Number(row.x);
  out.Number(row.y);
  out.Text(row.turnRight ? "right" : "left");
  out.Angle(row.alpha, AngleKind::Angle);
  for (double v : {row.r, row.ls1, row.ls2, row.t1, row.t2, row.l, row.e, row.j}) out.Number(v);
  out.Number(row.zh);
  out.Number(row.hy);
  out.Number(row.qz);
  out.Number(row.yh);
  out.Number(row.hz);
  out.Number(row.straightAfter);
}

template <class Out>
void Cells(Out& out, const StakeRow& row, bool withProfile) {
  out.Text(row.name);
  out.Number(row.station);
  out.Number(row.x);
  out.Number(row.y);
  out.Angle(row.azimuth, AngleKind::Azimuth);
  for (const SidePoint& side : row.sides) {
    out.Number(side.x);
    out.Number(side.y);
  }
  if (withProfile) ElevationCells(out, row.elevation);
}

template <class Out>
void Cells(Out& out, const StationPoint& row, bool withProfile) {
  out.Number(row.station);
  out.Number(row.x);
  out.Number(row.y);
  out.Angle(row.azimuth, AngleKind::Azimuth);
  if (withProfile) ElevationCells(out, row.elevation);
}

template <class Out>
void Cells(Out& out, const LocateRow& row, bool withProfile, bool withZ) {
  out.Text(row.name);
  out.Number(row.x);
  out.Number(row.y);
  if (row.inside) {
    out.Number(row.station);
    out.Number(row.offset);
    out.Text("ok");
  } else {
    out.Empty();
    out.Empty();
    out.Text("outside");
  }
  if (withProfile) {
    ElevationCells(out, row.elevation);
    if (withZ) out.Number(row.dz);
  }
}

// A side stake is named after its stake and its signed offset ("JD3 HY +5.000", "-5.000").
inline std::string StakeoutName(const StakeoutRow& row, int decimals) {
  std::string name(row.stakeName);
  if (!row.offset) return name;
  if (!name.empty()) name.push_back(' ');
  if (*row.offset >= 0) name.push_back('+');
  AppendFixed(name, *row.offset, decimals);
  return name;
}

template <class Out>
void Cells(Out& out, const StakeoutRow& row) {
  if (row.offset) {
    out.Text(StakeoutName(row, out.Decimals()));
  } else {
    out.Text(row.stakeName);
  }
  out.Number(row.station);
  out.Number(row.x);
  out.Number(row.y);
  out.Angle(row.aim.azimuth, AngleKind::Azimuth);
  out.Angle(row.aim.angle, AngleKind::Azimuth);
  out.Number(row.aim.distance);
}

template <class Out>
void Cells(Out& out, const ProfileTableLine& row) {
  out.Text(row.name);
  out.Number(row.station);
  out.Number(row.elevation);
  out.Number(row.radius);
  out.Number(row.t);
  out.Number(row.e);
  if (row.gradeIn) out.Percent(*row.gradeIn); else out.Empty();
  if (row.gradeOut) out.Percent(*row.gradeOut); else out.Empty();
  out.Number(row.curveStart);
  out.Number(row.curveEnd);
}

}  // namespace survey::alignment::layout
