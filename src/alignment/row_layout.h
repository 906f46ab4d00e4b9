// The columns of every kind of row the route's queries answer with, and each row's cells in
// the program's formats: one layout for the command line's CSV and the window's grids, so the
// two cannot drift apart.
//
// `Out` takes cells in order: Text(string_view), Number(double) (the run's decimals),
// Number(optional<double>) (empty when absent), Station(double or optional<double>),
// Angle(radians, AngleKind) (the run's unit), Percent(ratio) (four places), Turn(right),
// Status(inside), Empty(), and tells Decimals(). The machine form (CSV, the clipboard) writes a
// station as a number and turn and status as words of the file format ("left", "ok"); the
// window's display form writes them as a surveyor reads them (K10+469.825, 左, 正常).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "alignment/route_rows.h"
#include "alignment/text_format.h"

namespace survey::alignment::layout {

// The leg to the next point (straight_after, jd_distance, azimuth) follows the main points; a
// route of elements adds kind (qd, jd, zd, line, arc, spiral) and r_end.
inline std::vector<std::string> CurveKeys(bool fromElements = false) {
  std::vector<std::string> keys = {"name", "x",  "y",  "turn", "alpha",          "r",          "ls1",
                                   "ls2",  "t1", "t2", "l",    "e",              "j",          "zh",
                                   "hy",   "qz", "yh", "hz",   "straight_after", "jd_station", "jd_distance",
                                   "azimuth"};
  if (fromElements) {
    keys.push_back("kind");
    keys.push_back("r_end");
  }
  return keys;
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
// length_in,length_out only where the profile has an asymmetric curve.
inline std::vector<std::string> ProfileKeys(bool asymmetric = false) {
  std::vector<std::string> keys = {"name", "station", "elevation", "r", "t", "e", "grade_in", "grade_out", "curve_start", "curve_end"};
  if (asymmetric) {
    keys.push_back("length_in");
    keys.push_back("length_out");
  }
  return keys;
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
  if (row.kind == CurveRowKind::Jd) {
    out.Turn(row.turnRight);
    out.Angle(row.alpha, AngleKind::Angle);
    for (double v : {row.r, row.ls1, row.ls2, row.t1, row.t2, row.l, row.e, row.j}) out.Number(v);
    out.Station(row.zh);
    out.Station(row.hy);
    out.Station(row.qz);
    out.Station(row.yh);
    out.Station(row.hz);
  } else {
    for (int i = 0; i < 15; ++i) out.Empty();
  }
  out.Number(row.straightAfter);
  out.Station(row.jdStation);
  out.Number(row.jdDistance);
  if (row.azimuth) out.Angle(*row.azimuth, AngleKind::Azimuth); else out.Empty();
}

// An element in the JD columns it shares: start point, turn, start radius, length l, the
// stations of its ends in zh and hz; a group read back as a JD is a JD row of kind jd.
template <class Out>
void Cells(Out& out, const ElementCurveRow& row) {
  if (row.jd) {
    Cells(out, *row.jd);
    static const char* const points[] = {"jd", "qd", "zd"};
    out.Text(points[static_cast<int>(row.jd->kind)]);
    out.Empty();
    return;
  }
  const ElementTableRow& e = row.element;
  static const char* const kinds[] = {"line", "arc", "spiral"};
  out.Text("E" + std::to_string(e.index));
  out.Number(e.x);
  out.Number(e.y);
  if (e.kind == ElementKind::Line) out.Empty(); else out.Turn(e.turnRight);
  out.Empty();
  out.Number(e.startRadius);
  for (int i = 0; i < 4; ++i) out.Empty();
  out.Number(e.length);
  out.Empty();
  out.Empty();
  out.Station(e.startStation);
  for (int i = 0; i < 3; ++i) out.Empty();
  out.Station(e.endStation);
  for (int i = 0; i < 4; ++i) out.Empty();
  out.Text(kinds[static_cast<int>(e.kind)]);
  out.Number(e.endRadius);
}

template <class Out>
void Cells(Out& out, const StakeRow& row, bool withProfile) {
  out.Text(row.name);
  out.Station(row.station);
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
  out.Station(row.station);
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
    out.Station(row.station);
    out.Number(row.offset);
  } else {
    out.Empty();
    out.Empty();
  }
  out.Status(row.inside);
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
  out.Station(row.station);
  out.Number(row.x);
  out.Number(row.y);
  out.Angle(row.aim.azimuth, AngleKind::Azimuth);
  out.Angle(row.aim.angle, AngleKind::Azimuth);
  out.Number(row.aim.distance);
}

template <class Out>
void Cells(Out& out, const ProfileTableLine& row, bool asymmetric = false) {
  out.Text(row.name);
  out.Station(row.station);
  out.Number(row.elevation);
  out.Number(row.radius);
  out.Number(row.t);
  out.Number(row.e);
  if (row.gradeIn) out.Percent(*row.gradeIn); else out.Empty();
  if (row.gradeOut) out.Percent(*row.gradeOut); else out.Empty();
  out.Station(row.curveStart);
  out.Station(row.curveEnd);
  if (asymmetric) {
    out.Number(row.lengthIn);
    out.Number(row.lengthOut);
  }
}

}  // namespace survey::alignment::layout
