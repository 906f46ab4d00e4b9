// The vertical profile: straight grades between grade change points, joined by parabolic
// vertical curves.
//
// Formulas (the standard quadratic-parabola vertical curve of road design, as in JTG D20 and
// the route-design textbooks): with grades i1, i2 and ω = i2 − i1, a symmetric curve of radius R
// has length L = R·|ω|, tangent T = L/2, external E = T²/(2R), and at a distance x from its
// start the ordinate y = x²/(2R) off the grade line (elevation = grade elevation ± y). An
// asymmetric curve (LandXML's UnsymParaCurve) of halves l1, l2 is two parabolas meeting under
// the point with the common grade gm = (l1·i1 + l2·i2)/(l1 + l2) and the external
// E = ω·l1·l2 / (2(l1 + l2)); each half is a parabola between its grade and gm. Exact for the
// parabola itself: no series is truncated, the only error is the double rounding of the
// arithmetic.
#pragma once

#include <string>
#include <vector>

#include "alignment/stations.h"

namespace survey::alignment {

// One grade change point of a vertical profile. `measure` is any quantity that increases
// along the route (the route's chainage, so that station equations cannot fold the profile
// back on itself); the caller converts stations to it and back.
struct ProfilePoint {
  std::string name;      // empty: named "BPD<n>" by its position, counted from 1
  double measure = 0;
  double elevation = 0;
  double radius = 0;     // R of the vertical curve at this point, 0 for none
  // Or an asymmetric parabolic curve: the lengths of its halves before and after the point
  // (both > 0, radius 0).
  double lengthIn = 0, lengthOut = 0;
};

// One row of the profile table: the point with its curve elements. Grades are ratios
// (rise over run), not percent.
struct ProfileRow {
  std::string name;
  double measure = 0;
  double elevation = 0;
  double radius = 0;
  bool hasGradeIn = false, hasGradeOut = false;   // false at the first / last point
  double gradeIn = 0, gradeOut = 0;
  bool hasCurve = false;                          // a curve is set and the grade really changes
  bool asymmetric = false;                        // given by lengthIn and lengthOut
  double lengthIn = 0, lengthOut = 0;             // as given (asymmetric only)
  double t = 0;                                   // tangent length of a symmetric curve
  double e = 0;                                   // external distance
  double curveStart = 0, curveEnd = 0;            // measures of the curve's ends
  double gradeMid = 0;                            // asymmetric: the common grade under the point
};

// The design elevation at a measure.
struct ProfileSample {
  double gradeElevation = 0;   // on the grade line (the broken line through the points)
  double elevation = 0;        // on the vertical curve where there is one
  double grade = 0;            // slope of the design line itself there, a ratio
};

// A vertical profile with parabolic vertical curves as road design sets them out: for a
// grade change w = i2 - i1 at a point with radius R, T = R|w|/2, E = T^2/(2R), and at a
// distance x from the nearer end of the curve the elevation is the tangent's minus x^2/(2R)
// on a crest and plus x^2/(2R) in a sag. The parabola's slope is what `grade` reports.
//
// An asymmetric curve with halves L1 before and L2 after the point is two parabolas meeting
// under the point with the common grade gm = (L1 i1 + L2 i2) / (L1 + L2): the first turns i1
// into gm over L1, the second gm into i2 over L2; E = |i2 - i1| L1 L2 / (2 (L1 + L2)).
class Profile {
 public:
  // Refuses fewer than two points, measures not strictly increasing, a non-finite number,
  // a negative radius or half length, a radius together with half lengths, only one half
  // length, a curve at the first or last point, and vertical curves that overlap each other
  // or run past either end (naming both points).
  explicit Profile(std::vector<ProfilePoint> points);

  const std::vector<ProfileRow>& Rows() const { return rows_; }
  double StartMeasure() const { return rows_.front().measure; }
  double EndMeasure() const { return rows_.back().measure; }
  // A profile that starts or ends within kProfileEndSlack of a measure covers it: files round
  // the profile's ends differently from the alignment's (0.002 ft seen).
  bool Covers(double measure) const {
    return measure >= StartMeasure() - kProfileEndSlack && measure <= EndMeasure() + kProfileEndSlack;
  }
  static constexpr double kProfileEndSlack = 0.001;

  // Throws AlignmentError where the profile does not cover the measure; within the slack
  // beyond an end, the end grade continues.
  ProfileSample At(double measure) const;

 private:
  std::vector<ProfileRow> rows_;
};

// The measure of a profile point given by station: its chainage on the route, continued
// straight on before the route's start and after its end (profiles often run a little past
// the alignment). A station in the gap of an equation is refused, naming the point.
double ProfileMeasureAtStation(const StationLine& stations, double station, const std::string& pointName);

// The station of a profile measure: the route's station, continued straight on before its
// start and after its end (the inverse of ProfileMeasureAtStation).
double ProfileStationAtMeasure(const StationLine& stations, double measure);

}  // namespace survey::alignment
