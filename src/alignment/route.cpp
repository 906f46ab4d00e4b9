#include "alignment/route.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "alignment/alignment_error.h"
#include "alignment/locate_index.h"

namespace survey::alignment {

namespace {

constexpr double kHalfPi = 1.5707963267948966;
// No route is longer; it keeps every station and chainage a plain finite number.
constexpr double kMaxRouteLength = 1e8;
// A chainage this far beyond an end (rounding of a station converted back) still names the end.
constexpr double kChainageSlack = 1e-6;

char KindLetter(ElementKind kind) {
  switch (kind) {
    case ElementKind::Line:
      return 'Z';
    case ElementKind::Arc:
      return 'Y';
    case ElementKind::Spiral:
      return 'H';
  }
  return 'Z';
}

std::vector<MainPoint> JdMainPoints(const std::vector<CurveRow>& curves, double length) {
  std::vector<MainPoint> points;
  points.reserve(5 * curves.size() + 2);
  points.push_back({"QD", 0});
  for (const CurveRow& c : curves) {
    points.push_back({c.name + (c.hasEntryTransition ? " ZH" : " ZY"), c.zh});
    if (c.hasEntryTransition) points.push_back({c.name + " HY", c.hy});
    points.push_back({c.name + " QZ", c.qz});
    if (c.hasExitTransition) points.push_back({c.name + " YH", c.yh});
    points.push_back({c.name + (c.hasExitTransition ? " HZ" : " YZ"), c.hz});
  }
  points.push_back({"ZD", length});
  // QZ lies before HY when the entry transition is longer than half the curve.
  std::stable_sort(points.begin(), points.end(),
                   [](const MainPoint& a, const MainPoint& b) { return a.chainage < b.chainage; });
  return points;
}

double LengthOf(const std::vector<Element>& elements) {
  if (elements.empty()) return 0;
  return elements.back().startChainage + elements.back().length;
}

}  // namespace

struct Route::LazyIndex {
  std::once_flag once;
  std::unique_ptr<LocateIndex> index;
};

Route::Route(std::vector<Element> elements, StationLine stations, std::vector<MainPoint> mainPoints,
             std::vector<CurveRow> curves, double closureError)
    : elements_(std::move(elements)),
      stations_(std::move(stations)),
      mainPoints_(std::move(mainPoints)),
      curves_(std::move(curves)),
      closureError_(closureError),
      length_(LengthOf(elements_)) {
  if (elements_.empty()) throw AlignmentError("路线没有线元。");
  index_ = std::make_shared<LazyIndex>();
}

Pose Route::PointAt(double chainage, double offset, double skew) const {
  if (!std::isfinite(chainage)) throw AlignmentError("桩号不是有限数。");
  if (!std::isfinite(offset)) throw AlignmentError("偏距不是有限数。");
  if (!std::isfinite(skew) || !(std::fabs(skew) < kHalfPi)) throw AlignmentError("斜交角必须在 -90° 与 90° 之间。");
  if (chainage < -kChainageSlack || chainage > length_ + kChainageSlack) {
    throw AlignmentError("桩号 " + StationMessageText(StationAt(chainage)) + " 在路线之外（路线从 " +
                         StationMessageText(stations_.StartStation()) + " 到 " +
                         StationMessageText(stations_.EndStation()) + "）。");
  }
  chainage = std::clamp(chainage, 0.0, length_);
  auto it = std::upper_bound(elements_.begin(), elements_.end(), chainage,
                             [](double c, const Element& e) { return c < e.startChainage; });
  const Element& e = it == elements_.begin() ? elements_.front() : *(it - 1);
  Pose p = PoseAt(e, chainage - e.startChainage);
  if (offset != 0) {
    const double direction = p.azimuth + kHalfPi + skew;
    const double distance = offset / std::cos(skew);
    p.x += distance * std::cos(direction);
    p.y += distance * std::sin(direction);
  }
  return p;
}

Location Route::Locate(double x, double y) const {
  if (!std::isfinite(x) || !std::isfinite(y)) throw AlignmentError("坐标不是有限数。");
  std::call_once(index_->once, [this] { index_->index = std::make_unique<LocateIndex>(elements_); });
  return index_->index->Nearest(x, y);
}

Route BuildRouteFromJd(const std::vector<JdInput>& points, double startStation, std::vector<StationEquation> equations) {
  JdLayout layout = LayOutJd(points);
  const double length = LengthOf(layout.elements);
  if (!(length <= kMaxRouteLength)) throw AlignmentError("路线长度超出范围。");
  StationLine stations(startStation, std::move(equations), length);
  std::vector<MainPoint> mains = JdMainPoints(layout.curves, length);
  return Route(std::move(layout.elements), std::move(stations), std::move(mains), std::move(layout.curves),
               layout.closureError);
}

Route BuildRouteFromElements(const Pose& start, double startStation, const std::vector<ElementShape>& shapes,
                             std::vector<StationEquation> equations) {
  if (shapes.empty()) throw AlignmentError("线元表中没有线元。");
  if (shapes.size() > kMaxElements) throw AlignmentError("线元数超过 " + std::to_string(kMaxElements) + " 个。");
  std::vector<Element> elements = ChainElements(start, 0, shapes);
  const double length = LengthOf(elements);
  if (!(length <= kMaxRouteLength)) throw AlignmentError("路线长度超出范围。");
  StationLine stations(startStation, std::move(equations), length);
  std::vector<MainPoint> mains;
  mains.reserve(elements.size() + 1);
  mains.push_back({"QD", 0});
  for (std::size_t i = 1; i < elements.size(); ++i) {
    const std::string code{KindLetter(elements[i - 1].kind), KindLetter(elements[i].kind)};
    mains.push_back({"E" + std::to_string(i + 1) + " " + code, elements[i].startChainage});
  }
  mains.push_back({"ZD", length});
  return Route(std::move(elements), std::move(stations), std::move(mains), {}, 0);
}

}  // namespace survey::alignment
