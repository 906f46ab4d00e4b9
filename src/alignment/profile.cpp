#include "alignment/profile.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <utility>

#include "alignment/alignment_error.h"

namespace survey::alignment {

namespace {

// Curves that touch are allowed; the tolerance absorbs the rounding of T = R|w|/2 when a
// designer made two curves meet exactly.
constexpr double kTouchTolerance = 1e-9;

double CurveSign(const ProfileRow& row) { return row.gradeOut > row.gradeIn ? 1.0 : -1.0; }

}  // namespace

Profile::Profile(std::vector<ProfilePoint> points) {
  if (points.size() < 2) throw AlignmentError("纵断面至少需要两个变坡点。");
  rows_.reserve(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    ProfilePoint& p = points[i];
    ProfileRow row;
    row.name = p.name.empty() ? "BPD" + std::to_string(i + 1) : std::move(p.name);
    if (!std::isfinite(p.measure) || !std::isfinite(p.elevation) || !std::isfinite(p.radius) ||
        !std::isfinite(p.lengthIn) || !std::isfinite(p.lengthOut)) {
      throw AlignmentError(row.name + "：桩号、高程或竖曲线半径不是有限数。");
    }
    if (p.radius < 0) throw AlignmentError(row.name + "：竖曲线半径不能为负。");
    if (p.lengthIn < 0 || p.lengthOut < 0) throw AlignmentError(row.name + "：竖曲线的前后长度不能为负。");
    if ((p.lengthIn > 0) != (p.lengthOut > 0)) {
      throw AlignmentError(row.name + "：不对称竖曲线须同时给出前半长度和后半长度。");
    }
    row.asymmetric = p.lengthIn > 0;
    if (row.asymmetric && p.radius != 0) {
      throw AlignmentError(row.name + "：竖曲线半径与前后长度只能给一种。");
    }
    if ((i == 0 || i + 1 == points.size()) && (p.radius != 0 || row.asymmetric)) {
      throw AlignmentError(row.name + "：纵断面的起点和终点不能设竖曲线。");
    }
    if (i > 0 && !(p.measure > rows_.back().measure)) {
      throw AlignmentError(row.name + "：桩号必须大于前一变坡点 " + rows_.back().name + " 的桩号。");
    }
    row.measure = p.measure;
    row.elevation = p.elevation;
    row.radius = p.radius;
    row.lengthIn = p.lengthIn;
    row.lengthOut = p.lengthOut;
    rows_.push_back(std::move(row));
  }

  for (std::size_t i = 0; i + 1 < rows_.size(); ++i) {
    const double grade = (rows_[i + 1].elevation - rows_[i].elevation) / (rows_[i + 1].measure - rows_[i].measure);
    if (!std::isfinite(grade)) {
      throw AlignmentError(rows_[i + 1].name + "：与 " + rows_[i].name + " 之间的坡度超出范围。");
    }
    rows_[i].hasGradeOut = true;
    rows_[i].gradeOut = grade;
    rows_[i + 1].hasGradeIn = true;
    rows_[i + 1].gradeIn = grade;
  }

  for (ProfileRow& row : rows_) {
    const double change = std::fabs(row.gradeOut - row.gradeIn);
    if (row.asymmetric) {
      if (change == 0) continue;
      row.hasCurve = true;
      const double total = row.lengthIn + row.lengthOut;
      row.gradeMid = (row.lengthIn * row.gradeIn + row.lengthOut * row.gradeOut) / total;
      row.e = change * row.lengthIn * row.lengthOut / (2 * total);
      row.curveStart = row.measure - row.lengthIn;
      row.curveEnd = row.measure + row.lengthOut;
      continue;
    }
    if (row.radius == 0 || change == 0) continue;
    row.hasCurve = true;
    row.t = row.radius * change / 2;
    row.e = row.t * row.t / (2 * row.radius);
    row.curveStart = row.measure - row.t;
    row.curveEnd = row.measure + row.t;
    if (!std::isfinite(row.t) || !std::isfinite(row.e)) {
      throw AlignmentError(row.name + "：竖曲线半径过大。");
    }
  }

  // Each curve must fit between its neighbours' curves (or the profile's ends).
  for (std::size_t i = 1; i + 1 < rows_.size(); ++i) {
    const ProfileRow& row = rows_[i];
    if (!row.hasCurve) continue;
    const ProfileRow& before = rows_[i - 1];
    const double reachBefore = before.hasCurve ? before.curveEnd : before.measure;
    if (row.curveStart < reachBefore - kTouchTolerance) {
      throw AlignmentError("竖曲线重叠：" + before.name + " 与 " + row.name + " 之间的坡段长度不够设置竖曲线。");
    }
    const ProfileRow& after = rows_[i + 1];
    if (!after.hasCurve && row.curveEnd > after.measure + kTouchTolerance) {
      throw AlignmentError("竖曲线重叠：" + row.name + " 与 " + after.name + " 之间的坡段长度不够设置竖曲线。");
    }
  }
}

ProfileSample Profile::At(double measure) const {
  if (!Covers(measure)) throw AlignmentError("所求桩号不在纵断面范围内。");
  // The grade segment [k, k+1] that holds the measure (the first or last within the slack).
  const auto after = std::upper_bound(rows_.begin(), rows_.end(), measure,
                                      [](double m, const ProfileRow& row) { return m < row.measure; });
  const std::size_t k = after == rows_.end()     ? rows_.size() - 2
                        : after == rows_.begin() ? 0
                                                 : static_cast<std::size_t>(after - rows_.begin()) - 1;
  const ProfileRow& a = rows_[k];
  const ProfileRow& b = rows_[k + 1];

  ProfileSample sample;
  sample.gradeElevation = a.elevation + a.gradeOut * (measure - a.measure);
  sample.elevation = sample.gradeElevation;
  sample.grade = a.gradeOut;
  // At most one curve reaches into a point of the segment: the back half of a's curve or
  // the front half of b's, since curves do not overlap.
  if (a.hasCurve && a.asymmetric && measure < a.curveEnd) {
    // The second parabola, gm to i2 over lengthOut, measured back from its end.
    const double x = a.curveEnd - measure;
    const double c = (a.gradeOut - a.gradeMid) / (2 * a.lengthOut);
    sample.elevation += c * x * x;
    sample.grade = a.gradeOut - 2 * c * x;
  } else if (b.hasCurve && b.asymmetric && measure > b.curveStart) {
    // The first parabola, i1 to gm over lengthIn.
    const double x = measure - b.curveStart;
    const double c = (b.gradeMid - b.gradeIn) / (2 * b.lengthIn);
    sample.elevation += c * x * x;
    sample.grade = b.gradeIn + 2 * c * x;
  } else if (a.hasCurve && measure < a.curveEnd) {
    const double x = a.curveEnd - measure;
    const double sign = CurveSign(a);
    sample.elevation += sign * x * x / (2 * a.radius);
    sample.grade = a.gradeOut - sign * x / a.radius;
  } else if (b.hasCurve && measure > b.curveStart) {
    const double x = measure - b.curveStart;
    const double sign = CurveSign(b);
    sample.elevation += sign * x * x / (2 * b.radius);
    sample.grade = b.gradeIn + sign * x / b.radius;
  }
  return sample;
}

double ProfileMeasureAtStation(const StationLine& stations, double station, const std::string& pointName) {
  const StationLine::Found found = stations.Find(station);
  switch (found.where) {
    case StationLine::Where::Inside: return found.chainage;
    case StationLine::Where::Before: return station - stations.StartStation();
    case StationLine::Where::After: return stations.Length() + (station - stations.EndStation());
    case StationLine::Where::Gap: break;
  }
  throw AlignmentError(pointName + "：桩号 " + StationMessageText(station) + " 落在断链的空缺中，路线上没有这个桩号。");
}

double ProfileStationAtMeasure(const StationLine& stations, double measure) {
  if (measure < 0) return stations.StartStation() + measure;
  if (measure > stations.Length()) return stations.EndStation() + (measure - stations.Length());
  return stations.StationAt(measure);
}

}  // namespace survey::alignment
