#include "alignment/curve_listing.h"

#include <cmath>
#include <numbers>
#include <string>

#include "alignment/alignment_error.h"

namespace survey::alignment {

namespace {

// How far a rebuilt curve may miss the elements it stands for.
constexpr double kListingTolerance = 1e-3;
// Joints whose directions differ by less than this are tangent.
constexpr double kTangentAngle = 1e-9;

double Turn(double from, double to) {
  double d = NormalizeAzimuth(to - from);
  if (d > std::numbers::pi) d -= 2 * std::numbers::pi;
  return d;
}

bool AnglePointBefore(const std::vector<Element>& elements, std::size_t i) {
  if (i == 0) return false;
  const Pose end = EndPose(elements[i - 1]);
  const Pose& start = elements[i].start;
  return std::fabs(Turn(end.azimuth, start.azimuth)) > kTangentAngle ||
         std::hypot(end.x - start.x, end.y - start.y) > kListingTolerance;
}

ElementListing Listing(const Element& e, std::size_t index) {
  const auto radius = [](double k) { return k == 0 ? 0.0 : 1 / std::fabs(k); };
  return {index + 1,        e.kind, e.length, radius(e.startCurvature), radius(e.endCurvature),
          e.startCurvature + e.endCurvature > 0, e.startChainage, e.startChainage + e.length};
}

bool Same(double a, double b) { return std::fabs(a - b) <= 1e-9 * std::max(std::fabs(a), std::fabs(b)); }

// The JD of elements [first, last] if they form one: [spiral 0->k] [arc k] [spiral k->0].
std::optional<CurveRow> GroupAsJd(const std::vector<Element>& elements, std::size_t first, std::size_t last) {
  std::size_t i = first;
  double ls1 = 0, ls2 = 0, k = 0;
  const Element* in = nullptr;
  if (elements[i].kind == ElementKind::Spiral) {
    if (elements[i].startCurvature != 0) return std::nullopt;
    k = elements[i].endCurvature;
    ls1 = elements[i].length;
    in = &elements[i];
    ++i;
  }
  if (i <= last && elements[i].kind == ElementKind::Arc) {
    if (k != 0 && !Same(k, elements[i].startCurvature)) return std::nullopt;
    k = elements[i].startCurvature;
    ++i;
  } else if (in == nullptr) {
    return std::nullopt;
  }
  if (i <= last && elements[i].kind == ElementKind::Spiral) {
    if (!Same(elements[i].startCurvature, k) || elements[i].endCurvature != 0) return std::nullopt;
    ls2 = elements[i].length;
    ++i;
  }
  if (i != last + 1 || k == 0) return std::nullopt;
  for (std::size_t j = first + 1; j <= last; ++j) {
    if (AnglePointBefore(elements, j)) return std::nullopt;
  }

  const Pose zh = elements[first].start;
  const Pose hz = EndPose(elements[last]);
  const double alpha = Turn(zh.azimuth, hz.azimuth);
  if (std::fabs(alpha) < kTangentAngle || (alpha > 0) != (k > 0)) return std::nullopt;
  // The JD where the tangents meet: zh + t1 u = hz - t2 v.
  const double ux = std::cos(zh.azimuth), uy = std::sin(zh.azimuth);
  const double vx = std::cos(hz.azimuth), vy = std::sin(hz.azimuth);
  const double cross = ux * vy - uy * vx;
  const double dx = hz.x - zh.x, dy = hz.y - zh.y;
  const double t1 = (dx * vy - dy * vx) / cross;
  const double t2 = (dy * ux - dx * uy) / cross;
  if (!(t1 > 0) || !(t2 > 0) || !std::isfinite(t1) || !std::isfinite(t2)) return std::nullopt;
  const double jx = zh.x + t1 * ux, jy = zh.y + t1 * uy;

  // Laid out by the JD method between points on the two tangents beyond the curve, so that
  // every column comes from the same formulas as a JD route's.
  const double lead = 1 + t1, tail = 1 + t2;
  JdLayout layout;
  try {
    layout = LayOutJd({{"QD", jx - lead * ux, jy - lead * uy, 0, 0, 0},
                       {"JD", jx, jy, 1 / std::fabs(k), ls1, ls2},
                       {"ZD", jx + tail * vx, jy + tail * vy, 0, 0, 0}});
  } catch (const AlignmentError&) {
    return std::nullopt;
  }
  if (layout.curves.size() != 1) return std::nullopt;
  CurveRow row = layout.curves.front();
  if (std::fabs(row.t1 - t1) > kListingTolerance || std::fabs(row.t2 - t2) > kListingTolerance) return std::nullopt;
  const double shift = elements[first].startChainage - row.zh;
  for (double* c : {&row.zh, &row.hy, &row.qz, &row.yh, &row.hz}) *c += shift;
  if (std::fabs(row.hz - (elements[last].startChainage + elements[last].length)) > kListingTolerance) return std::nullopt;
  row.straightAfter.reset();
  row.straightBefore.reset();
  return row;
}

// A straight meeting a straight at an angle: a JD without curve at the joint.
CurveRow Kink(const Element& before, const Element& after) {
  CurveRow row;
  row.x = after.start.x;
  row.y = after.start.y;
  const double alpha = Turn(EndPose(before).azimuth, after.start.azimuth);
  row.turnRight = alpha > 0;
  row.alpha = std::fabs(alpha);
  row.zh = row.hy = row.qz = row.yh = row.hz = after.startChainage;
  return row;
}

}  // namespace

std::vector<CurveListingRow> ListCurves(const Route& route) {
  std::vector<CurveListingRow> rows;
  if (!route.Curves().empty()) {
    for (const CurveRow& c : route.Curves()) rows.push_back({c, {}});
    return rows;
  }
  const std::vector<Element>& elements = route.Elements();
  std::size_t jdCount = 0;
  std::size_t i = 0;
  while (i < elements.size()) {
    if (elements[i].kind == ElementKind::Line) {
      if (i > 0 && elements[i - 1].kind == ElementKind::Line && AnglePointBefore(elements, i)) {
        rows.push_back({Kink(elements[i - 1], elements[i]), {}});
      }
      ++i;
      continue;
    }
    // A group: the curved elements up to the next straight or a point of zero curvature.
    std::size_t last = i;
    while (last + 1 < elements.size() && elements[last + 1].kind != ElementKind::Line &&
           !(elements[last].endCurvature == 0 && elements[last + 1].startCurvature == 0)) {
      ++last;
    }
    const bool joinsTangentially = !AnglePointBefore(elements, i) &&
                                   !(last + 1 < elements.size() && AnglePointBefore(elements, last + 1));
    // Groups begin and end where the curvature is zero (a straight, a route end, or a joint of
    // two transitions), so their pattern alone decides.
    std::optional<CurveRow> jd = joinsTangentially ? GroupAsJd(elements, i, last) : std::nullopt;
    if (jd) {
      rows.push_back({std::move(jd), {}});
    } else {
      for (std::size_t j = i; j <= last; ++j) rows.push_back({std::nullopt, Listing(elements[j], j)});
    }
    i = last + 1;
  }
  // Names and the straights between JDs, as a JD route gives them.
  double previousEnd = 0;
  CurveRow* previous = nullptr;
  for (CurveListingRow& row : rows) {
    if (!row.jd) {
      previous = nullptr;
      previousEnd = row.element.endChainage;
      continue;
    }
    row.jd->name = "JD" + std::to_string(++jdCount);
    if (jdCount == 1 && row.jd->zh >= previousEnd) row.jd->straightBefore = row.jd->zh - previousEnd;
    if (previous != nullptr) previous->straightAfter = row.jd->zh - previous->hz;
    previous = &*row.jd;
    previousEnd = row.jd->hz;
  }
  if (previous != nullptr) previous->straightAfter = route.Length() - previous->hz;
  return rows;
}

}  // namespace survey::alignment
