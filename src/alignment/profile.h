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
  bool hasCurve = false;                          // R > 0 and the grade really changes
  double t = 0, e = 0;                            // tangent length and external distance
  double curveStart = 0, curveEnd = 0;            // measures of the curve's ends
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
class Profile {
 public:
  // Refuses fewer than two points, measures not strictly increasing, a non-finite number,
  // a negative radius, a radius at the first or last point, and vertical curves that
  // overlap each other or run past either end (naming both points).
  explicit Profile(std::vector<ProfilePoint> points);

  const std::vector<ProfileRow>& Rows() const { return rows_; }
  double StartMeasure() const { return rows_.front().measure; }
  double EndMeasure() const { return rows_.back().measure; }
  bool Covers(double measure) const { return measure >= StartMeasure() && measure <= EndMeasure(); }

  // Throws AlignmentError outside [StartMeasure, EndMeasure].
  ProfileSample At(double measure) const;

 private:
  std::vector<ProfileRow> rows_;
};

// The measure of a profile point given by station: its chainage on the route, continued
// straight on before the route's start and after its end (profiles often run a little past
// the alignment). A station in the gap of an equation is refused, naming the point.
double ProfileMeasureAtStation(const StationLine& stations, double station, const std::string& pointName);

}  // namespace survey::alignment
