#include "alignment/element.h"

#include <cmath>
#include <string>

#include "alignment/alignment_error.h"
#include "alignment/clothoid.h"

namespace survey::alignment {

namespace {

constexpr double kTwoPi = 6.283185307179586;
// No road has an element this long; it keeps every chainage sum finite.
constexpr double kMaxElementLength = 1e8;
// Grid coordinates of any projection stay far inside this.
constexpr double kMaxCoordinate = 1e9;

// Integral of |curvature| over the element.
double Sweep(ElementKind kind, double length, double k0, double k1) {
  switch (kind) {
    case ElementKind::Line:
      return 0;
    case ElementKind::Arc:
      return std::fabs(k0) * length;
    case ElementKind::Spiral:
      if ((k0 >= 0 && k1 >= 0) || (k0 <= 0 && k1 <= 0)) return 0.5 * (std::fabs(k0) + std::fabs(k1)) * length;
      return (k0 * k0 + k1 * k1) / (2 * std::fabs(k1 - k0)) * length;
  }
  return 0;
}

std::string ElementName(const ElementShape& shape, std::size_t index) {
  if (shape.line > 0) return "第 " + std::to_string(shape.line) + " 行";
  return "线元 " + std::to_string(index + 1);
}

}  // namespace

double NormalizeAzimuth(double a) {
  if (!std::isfinite(a)) return a;
  double r = std::fmod(a, kTwoPi);
  if (r < 0) r += kTwoPi;
  if (r >= kTwoPi) r = 0;
  return r;
}

double CurvatureRate(const Element& e) {
  return e.kind == ElementKind::Spiral ? (e.endCurvature - e.startCurvature) / e.length : 0.0;
}

double AbsoluteTurn(const Element& e) { return Sweep(e.kind, e.length, e.startCurvature, e.endCurvature); }

double CurvatureAt(const Element& e, double s) {
  if (e.kind != ElementKind::Spiral) return e.startCurvature;
  return e.startCurvature + CurvatureRate(e) * s;
}

Pose PoseAt(const Element& e, double s) {
  const double ca = std::cos(e.start.azimuth);
  const double sa = std::sin(e.start.azimuth);
  if (e.kind == ElementKind::Line) return {e.start.x + s * ca, e.start.y + s * sa, e.start.azimuth};
  const ClothoidPoint p = ClothoidAt(e.startCurvature, CurvatureRate(e), s);
  return {e.start.x + (p.along * ca - p.right * sa), e.start.y + (p.along * sa + p.right * ca),
          NormalizeAzimuth(e.start.azimuth + p.turn)};
}

Pose EndPose(const Element& e) { return PoseAt(e, e.length); }

std::vector<Element> ChainElements(const Pose& start, double startChainage, const std::vector<ElementShape>& shapes) {
  if (!std::isfinite(start.x) || !std::isfinite(start.y) || !std::isfinite(start.azimuth)) {
    throw AlignmentError("起点坐标或方位角不是有限数。");
  }
  if (std::fabs(start.x) > kMaxCoordinate || std::fabs(start.y) > kMaxCoordinate) {
    throw AlignmentError("起点坐标超出范围。");
  }
  std::vector<Element> out;
  out.reserve(shapes.size());
  Pose pose{start.x, start.y, NormalizeAzimuth(start.azimuth)};
  double chainage = startChainage;
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    const ElementShape& shape = shapes[i];
    if (!(shape.length > 0) || !std::isfinite(shape.length)) {
      throw AlignmentError(ElementName(shape, i) + "：长度必须是大于 0 的数。");
    }
    if (shape.length > kMaxElementLength) throw AlignmentError(ElementName(shape, i) + "：长度超出范围。");
    Element e;
    e.kind = shape.kind;
    e.length = shape.length;
    e.startCurvature = shape.kind == ElementKind::Line ? 0.0 : shape.startCurvature;
    e.endCurvature = shape.kind == ElementKind::Spiral ? shape.endCurvature : e.startCurvature;
    if (!std::isfinite(e.startCurvature) || !std::isfinite(e.endCurvature)) {
      throw AlignmentError(ElementName(shape, i) + "：半径不是有效的数。");
    }
    if (!(Sweep(e.kind, e.length, e.startCurvature, e.endCurvature) <= kMaxElementTurn * (1 + 1e-12))) {
      throw AlignmentError(ElementName(shape, i) + "：线元转角超过 360°，半径过小或长度过长。");
    }
    e.start = pose;
    e.startChainage = chainage;
    out.push_back(e);
    pose = EndPose(e);
    chainage += e.length;
  }
  return out;
}

}  // namespace survey::alignment
