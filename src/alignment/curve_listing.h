// The curve table (直线、曲线及转角表) of any route: a JD route's own rows, and for a route of
// elements the JDs read back from them.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "alignment/jd_method.h"
#include "alignment/route.h"

namespace survey::alignment {

// One element listed as it is, where its group cannot be read as one JD.
struct ElementListing {
  std::size_t index = 0;          // from 1
  ElementKind kind = ElementKind::Line;
  double length = 0;
  double startRadius = 0, endRadius = 0;   // 0: infinite (a straight end)
  bool turnRight = false;
  double startChainage = 0, endChainage = 0;
};

struct CurveListingRow {
  std::optional<CurveRow> jd;     // set: a JD row; else `element`
  ElementListing element;
};

// A JD route's rows unchanged. A route of elements is read as tangents joined by groups of an
// optional clothoid from the straight, a circular arc and an optional clothoid back to the
// straight, turning one way: each group is one JD at the intersection of its two tangents,
// laid out by the JD method so that every column is what a JD route would list (a straight
// meeting a straight at an angle is a JD without curve). A group that is not one JD (an egg
// clothoid between two arcs, a compound or reverse curve without a straight, an angle point
// inside it, or one whose JD layout does not reproduce its ends within 1 mm) is listed as one
// row per element. Rows are in chainage order.
std::vector<CurveListingRow> ListCurves(const Route& route);

}  // namespace survey::alignment
