#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <utility>

#include "alignment/alignment_error.h"
#include "alignment/landxml_reader.h"

namespace survey::alignment {

namespace {

double Azimuth(const LandXmlPoint& from, const LandXmlPoint& to) {
  return NormalizeAzimuth(std::atan2(to.y - from.y, to.x - from.x));
}

double Distance(const LandXmlPoint& a, const LandXmlPoint& b) { return std::hypot(b.x - a.x, b.y - a.y); }

std::string KindName(LandXmlElementKind kind) {
  switch (kind) {
    case LandXmlElementKind::Line: return "Line";
    case LandXmlElementKind::Curve: return "Curve";
    case LandXmlElementKind::Spiral: return "Spiral";
  }
  return "";
}

[[noreturn]] void Refuse(const std::string& label, const LandXmlElement& e, const std::string& what) {
  throw AlignmentError(label + " 第 " + std::to_string(e.index) + " 个线元（" + KindName(e.kind) + "）：" + what + "。");
}

// Points closer than this fix no direction.
constexpr double kMinDirectionBase = 1e-6;

// The start azimuth the element's own points fix, if they fix one.
std::optional<double> PointsAzimuth(const LandXmlElement& e) {
  switch (e.kind) {
    case LandXmlElementKind::Line:
      if (Distance(*e.start, *e.end) > kMinDirectionBase) return Azimuth(*e.start, *e.end);
      break;
    case LandXmlElementKind::Curve:
      // The centre lies to the right of a clockwise arc, so the tangent is a quarter turn
      // counter-clockwise from the radius towards the centre (and the other way for ccw).
      if (e.center && e.rot != 0 && Distance(*e.start, *e.center) > kMinDirectionBase) {
        return NormalizeAzimuth(Azimuth(*e.start, *e.center) - e.rot * std::numbers::pi / 2);
      }
      break;
    case LandXmlElementKind::Spiral:
      if (e.pi && Distance(*e.start, *e.pi) > kMinDirectionBase) return Azimuth(*e.start, *e.pi);
      break;
  }
  return std::nullopt;
}

// The element's start azimuth, from its points where they fix it, else from its direction
// attribute.
double StartAzimuth(const std::string& label, const LandXmlElement& e) {
  if (const std::optional<double> fromPoints = PointsAzimuth(e)) return *fromPoints;
  const std::optional<double>& attribute = e.kind == LandXmlElementKind::Line ? e.dir : e.dirStart;
  if (attribute) return NormalizeAzimuth(*attribute);
  Refuse(label, e, "点与方向属性都无法确定起点方向");
}

ElementShape ShapeOf(const std::string& label, const LandXmlElement& e) {
  ElementShape shape;
  shape.line = 0;
  switch (e.kind) {
    case LandXmlElementKind::Line:
      shape.kind = ElementKind::Line;
      shape.length = e.length ? *e.length : Distance(*e.start, *e.end);
      break;
    case LandXmlElementKind::Curve: {
      shape.kind = ElementKind::Arc;
      if (e.rot == 0) Refuse(label, e, "缺少转向 rot");
      double radius = 0;
      if (e.radius) {
        radius = *e.radius;
      } else if (e.center) {
        radius = Distance(*e.start, *e.center);
      } else {
        Refuse(label, e, "缺少 radius 和 Center");
      }
      if (!(radius > kMinDirectionBase)) Refuse(label, e, "半径必须大于 0");
      shape.startCurvature = shape.endCurvature = e.rot / radius;
      if (e.length) {
        shape.length = *e.length;
      } else if (e.center) {
        // The angle swept from Start to End in the direction of rot.
        const double a0 = Azimuth(*e.center, *e.start);
        const double a1 = Azimuth(*e.center, *e.end);
        const double swept = NormalizeAzimuth(e.rot > 0 ? a1 - a0 : a0 - a1);
        shape.length = radius * swept;
      } else {
        Refuse(label, e, "缺少 length");
      }
      break;
    }
    case LandXmlElementKind::Spiral: {
      shape.kind = ElementKind::Spiral;
      if (!e.length) Refuse(label, e, "缺少 length");
      if (!e.radiusStart || !e.radiusEnd) Refuse(label, e, "缺少 radiusStart 或 radiusEnd");
      if (std::isinf(*e.radiusStart) && std::isinf(*e.radiusEnd)) Refuse(label, e, "两端半径都是 INF，不是缓和曲线");
      if (e.rot == 0) Refuse(label, e, "缺少转向 rot");
      shape.length = *e.length;
      shape.startCurvature = std::isinf(*e.radiusStart) ? 0 : e.rot / *e.radiusStart;
      shape.endCurvature = std::isinf(*e.radiusEnd) ? 0 : e.rot / *e.radiusEnd;
      break;
    }
  }
  if (!(shape.length > 0) || !std::isfinite(shape.length)) Refuse(label, e, "长度必须大于 0");
  return shape;
}

std::string Fixed(double value, int decimals) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return buffer;
}

std::string Millimetres(double metres) { return Fixed(metres * 1000, 3) + " mm"; }

double Gap(const Pose& end, const LandXmlPoint& stored) { return std::hypot(end.x - stored.x, end.y - stored.y); }

// Signed turn from one azimuth to another in (-pi, pi], right positive.
double Turn(double from, double to) {
  double d = NormalizeAzimuth(to - from);
  if (d > std::numbers::pi) d -= 2 * std::numbers::pi;
  return d;
}

// Each element continues the previous one's tangent, or, where only its own direction meets
// its stored End, leaves it at an angle point.
std::vector<Element> ChainWithAnglePoints(const std::string& label, const LandXmlAlignment& a,
                                          std::vector<Element> elements, LandXmlImport& result) {
  for (std::size_t i = 0; i < elements.size(); ++i) {
    const LandXmlElement& e = a.elements[i];
    if (i > 0) {
      const Pose previous = EndPose(elements[i - 1]);
      elements[i].start = previous;
      if (!(Gap(EndPose(elements[i]), *e.end) <= kLandXmlEndTolerance)) {
        if (const std::optional<double> own = PointsAzimuth(e)) {
          Element turned = elements[i];
          turned.start.azimuth = *own;
          if (Gap(EndPose(turned), *e.end) <= kLandXmlEndTolerance) {
            elements[i] = turned;
            result.anglePoints.push_back({e.index, turned.startChainage, Turn(previous.azimuth, *own)});
          }
        }
      }
    }
    const double difference = Gap(EndPose(elements[i]), *e.end);
    if (!(difference <= result.largestEndDifference)) {
      result.largestEndDifference = difference;
      result.largestEndDifferenceElement = i + 1;
    }
    if (!(difference <= kLandXmlEndTolerance)) {
      Refuse(label, e, "按几何推算的终点与文件中的 End 相差 " + Millimetres(difference) +
                           "，超过 1 mm（文件有误或前后不一致；确认各线元的点可信时可用 --trust-points）");
    }
  }
  return elements;
}

// Every element at its own stored Start: the gaps and contradictions are measured, and a
// broken chain is refused instead of being set out with jumps.
std::vector<Element> PlaceAtStoredStarts(const std::string& label, const LandXmlAlignment& a,
                                         std::vector<Element> elements, LandXmlImport& result) {
  for (std::size_t i = 0; i < elements.size(); ++i) {
    const LandXmlElement& e = a.elements[i];
    elements[i].start = Pose{e.start->x, e.start->y, StartAzimuth(label, e)};
    if (i > 0) {
      const double gap = Gap(EndPose(elements[i - 1]), *e.start);
      if (!(gap <= result.largestGap)) {
        result.largestGap = gap;
        result.largestGapElement = i + 1;
      }
      if (!(gap <= kLandXmlTrustLimit)) {
        Refuse(label, e, "Start 与上一线元推算的终点相距 " + Fixed(gap, 3) +
                             " m，超过 1 m：线元链断开，--trust-points 也不能接受");
      }
    }
    const double difference = Gap(EndPose(elements[i]), *e.end);
    if (!(difference <= result.largestEndDifference)) {
      result.largestEndDifference = difference;
      result.largestEndDifferenceElement = i + 1;
    }
    if (!(difference <= kLandXmlTrustLimit)) {
      Refuse(label, e, "按长度和半径推算的终点与文件中的 End 相差 " + Fixed(difference, 3) +
                           " m，超过 1 m：线元的长度与点矛盾，--trust-points 也不能接受");
    }
  }
  return elements;
}

const LandXmlProfile* ChooseProfile(const std::string& label, const LandXmlAlignment& a,
                                    const LandXmlImportOptions& options, LandXmlImport& result) {
  if (a.profiles.empty()) {
    if (!options.profileName.empty()) throw AlignmentError(label + "：没有纵断面（ProfAlign）。");
    return nullptr;
  }
  std::string names;
  const LandXmlProfile* chosen = options.profileName.empty() ? &a.profiles.front() : nullptr;
  for (const LandXmlProfile& p : a.profiles) {
    if (chosen == nullptr && p.name == options.profileName) chosen = &p;
    names += (names.empty() ? "" : "、") + (p.name.empty() ? std::string("（无名）") : p.name);
  }
  if (chosen == nullptr) {
    throw AlignmentError(label + "：没有名为 “" + options.profileName + "” 的纵断面；文件中的纵断面：" + names + "。");
  }
  if (options.profileName.empty() && a.profiles.size() > 1) {
    result.notes.push_back(label + " 有 " + std::to_string(a.profiles.size()) + " 个纵断面（" + names +
                           "），使用第一个；可用 --profile-name 选择。");
  }
  return chosen;
}

Profile BuildProfile(const LandXmlAlignment& a, const LandXmlProfile& source, const StationLine& stations,
                     std::vector<double>& displayed) {
  if (!source.fault.empty()) throw AlignmentError(source.fault);
  const std::vector<LandXmlProfilePoint>& given = source.points;
  std::vector<ProfilePoint> points;
  for (const LandXmlProfilePoint& p : given) {
    // Internal stations: staStart plus the distance along the alignment, equations or not.
    const double measure = p.station - a.staStart;
    points.push_back({p.name, measure, p.elevation, p.curveRadius, p.lengthIn, p.lengthOut});
    displayed.push_back(ProfileStationAtMeasure(stations, measure));
  }
  // A ParaCurve gives the curve's length L = R |i2 - i1|; the radius follows from the grades.
  for (std::size_t i = 1; i + 1 < given.size(); ++i) {
    if (given[i].curveLength == 0) continue;
    const ProfilePoint& before = points[i - 1];
    ProfilePoint& p = points[i];
    const ProfilePoint& after = points[i + 1];
    const double gradeIn = (p.elevation - before.elevation) / (p.measure - before.measure);
    const double gradeOut = (after.elevation - p.elevation) / (after.measure - p.measure);
    const double change = std::fabs(gradeOut - gradeIn);
    p.radius = change > 0 && std::isfinite(change) ? given[i].curveLength / change : 0;
  }
  // A curve on an end point is left for the profile to refuse by name.
  for (std::size_t i : {std::size_t{0}, given.size() - 1}) {
    if (i < given.size() && given[i].curveLength > 0) points[i].radius = given[i].curveLength;
  }
  return Profile(std::move(points));
}

}  // namespace

LandXmlImport ImportLandXml(const LandXmlDocument& document, const LandXmlImportOptions& options) {
  const LandXmlAlignment& a = SelectAlignment(document, options.name);
  const std::string label = a.name.empty() ? std::string("LandXML 路线") : "LandXML 路线 " + a.name;
  if (a.elements.empty()) throw AlignmentError(label + "：没有平面线元（CoordGeom）。");
  if (a.elements.size() > kMaxElements) throw AlignmentError(label + "：平面线元过多。");

  std::vector<ElementShape> shapes;
  shapes.reserve(a.elements.size());
  for (const LandXmlElement& e : a.elements) shapes.push_back(ShapeOf(label, e));

  const LandXmlElement& first = a.elements.front();
  const Pose start{first.start->x, first.start->y, StartAzimuth(label, first)};
  std::vector<StationEquation> equations;
  for (const LandXmlStationEquation& eq : a.equations) equations.push_back({eq.back, eq.ahead});
  Route chained = BuildRouteFromElements(start, a.staStart, shapes, equations);

  LandXmlImport result{a.name, chained, {}, std::nullopt, {}, {}, 0, 0, 0, 0, a.notes};
  std::vector<Element> elements = options.trustPoints ? PlaceAtStoredStarts(label, a, chained.Elements(), result)
                                                      : ChainWithAnglePoints(label, a, chained.Elements(), result);
  result.route = Route(std::move(elements), chained.Stations(), chained.MainPoints(), {}, 0);
  for (const LandXmlAnglePoint& p : result.anglePoints) {
    const double degrees = std::fabs(p.deflection) * 180 / std::numbers::pi;
    result.notes.push_back(label + " 第 " + std::to_string(p.element) + " 个线元的起点是转折点：桩号 " +
                           StationMessageText(result.route.StationAt(p.chainage)) + "，" +
                           (p.deflection >= 0 ? "右偏 " : "左偏 ") + Fixed(degrees, 4) + "°。");
  }
  // staInternal says where an equation lies; one that disagrees with staBack is named.
  const StationLine& stations = result.route.Stations();
  for (std::size_t i = 0; i < a.equations.size(); ++i) {
    if (!a.equations[i].internal) continue;
    const double fromBack = stations.Parts()[i + 1].chainage0;
    const double fromInternal = *a.equations[i].internal - a.staStart;
    if (std::fabs(fromBack - fromInternal) > kLandXmlEndTolerance) {
      result.notes.push_back(label + " 第 " + std::to_string(i + 1) + " 个断链的 staInternal 与 staBack 推算的位置相差 " +
                             Fixed(fromInternal - fromBack, 3) + " m，按 staBack 计算。");
    }
  }

  if (options.noProfile) return result;
  if (const LandXmlProfile* source = ChooseProfile(label, a, options, result)) {
    result.profileName = source->name;
    try {
      result.profile.emplace(BuildProfile(a, *source, stations, result.profileStations));
    } catch (const AlignmentError& error) {
      throw AlignmentError(std::string(error.what()) + "（纵断面有误；只需平面时可用 --no-profile 不读纵断面。）");
    }
  }
  return result;
}

}  // namespace survey::alignment
