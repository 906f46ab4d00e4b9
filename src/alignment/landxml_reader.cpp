#include "alignment/landxml_reader.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <map>
#include <numbers>
#include <string>
#include <utility>

#include "alignment/alignment_error.h"
#include "alignment/landxml_xml.h"

namespace survey::alignment {

namespace {

using landxml::Child;
using landxml::LocalName;
using landxml::ParseNumber;
using landxml::Trim;
using landxml::Words;

// Beyond these no road is designed; larger values are typing errors or attacks, and would
// only overflow later.
constexpr double kMaxCoordinate = 1e9;
constexpr double kMaxLength = 1e7;
// Writers put a huge finite radius (5.9e300, 1e20) on a spiral's straight end for infinity;
// no curve of a road is this flat.
constexpr double kInfiniteRadius = 1e12;

// Unit names as writers spell them loosely: "decimal  dd.mm.ss", "Meter".
std::string NormalisedUnit(std::string_view text) {
  std::string out;
  for (const char c : Trim(text)) {
    const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r';
    if (blank && !out.empty() && out.back() == ' ') continue;
    out += blank ? ' ' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return out;
}

// A unit is refused only when something is measured in it, so a file that declares an
// unknown angular unit but gives every direction by points still imports.
struct LinearUnit {
  double factor = 1;   // metres per file unit, 0 when unknown
  std::string name;
};

enum class AngleKind { Radians, Grads, Degrees, Dms, Unknown };
struct AngleUnit {
  AngleKind kind = AngleKind::Degrees;
  std::string name;
};

LinearUnit ReadLinear(std::string_view text) {
  const std::string unit = NormalisedUnit(text);
  const std::pair<const char*, double> known[] = {
      {"meter", 1},       {"metre", 1},        {"kilometer", 1000},         {"centimeter", 0.01},
      {"millimeter", 0.001}, {"foot", 0.3048}, {"feet", 0.3048},            {"internationalfoot", 0.3048},
      {"ussurveyfoot", 1200.0 / 3937.0},       {"inch", 0.0254},            {"mile", 1609.344},
      {"miles", 1609.344}};
  for (const auto& [name, factor] : known) {
    if (unit == name) return {factor, std::string(text)};
  }
  return {0, std::string(Trim(text))};
}

AngleUnit ReadAngle(std::string_view text) {
  const std::string unit = NormalisedUnit(text);
  if (unit == "radians") return {AngleKind::Radians, {}};
  if (unit == "grads") return {AngleKind::Grads, {}};
  if (unit == "decimal degrees") return {AngleKind::Degrees, {}};
  if (unit == "decimal dd.mm.ss") return {AngleKind::Dms, {}};
  return {AngleKind::Unknown, std::string(Trim(text))};
}

struct Units {
  LinearUnit linear, elevation;
  AngleUnit direction;
};

Units ReadUnits(const pugi::xml_node& root) {
  Units units;
  const pugi::xml_node holder = Child(root, "Units");
  pugi::xml_node system = holder ? Child(holder, "Metric") : pugi::xml_node();
  if (!system && holder) system = Child(holder, "Imperial");
  if (!system) return units;   // no Units: metres and decimal degrees
  if (const pugi::xml_attribute a = system.attribute("linearUnit")) units.linear = ReadLinear(a.value());
  units.elevation = units.linear;
  if (const pugi::xml_attribute a = system.attribute("elevationUnit")) units.elevation = ReadLinear(a.value());
  if (const pugi::xml_attribute a = system.attribute("angularUnit")) units.direction = ReadAngle(a.value());
  if (const pugi::xml_attribute a = system.attribute("directionUnit")) units.direction = ReadAngle(a.value());
  return units;
}

double Metres(const LinearUnit& unit) {
  if (unit.factor == 0) throw AlignmentError("LandXML：不支持的长度单位“" + unit.name + "”。");
  return unit.factor;
}

double ToRadians(double value, const AngleUnit& unit) {
  switch (unit.kind) {
    case AngleKind::Radians: return value;
    case AngleKind::Grads: return value * std::numbers::pi / 200;
    case AngleKind::Degrees: return value * std::numbers::pi / 180;
    case AngleKind::Dms: {
      // d.mmss: 45.3025 is 45 deg 30 min 25 s.
      const double sign = value < 0 ? -1 : 1;
      const double a = std::fabs(value);
      const double degrees = std::floor(a);
      const double minutes = std::floor((a - degrees) * 100 + 1e-9);
      const double seconds = ((a - degrees) * 100 - minutes) * 100;
      return sign * (degrees + minutes / 60 + seconds / 3600) * std::numbers::pi / 180;
    }
    case AngleKind::Unknown: break;
  }
  throw AlignmentError("LandXML：不支持的角度单位“" + unit.name + "”。");
}

using PointTable = std::map<std::string, std::string, std::less<>>;

// Reads one element's attributes, each refusal naming the element.
class ElementReader {
 public:
  ElementReader(std::string label, const Units& units, const PointTable& points)
      : label_(std::move(label)), units_(units), points_(points) {}

  std::optional<double> Number(const pugi::xml_node& node, const char* attribute) const {
    const pugi::xml_attribute a = node.attribute(attribute);
    if (!a) return std::nullopt;
    const std::optional<double> value = ParseNumber(a.value());
    if (!value) Fail(std::string(attribute) + " 不是有限的数字");
    return value;
  }

  std::optional<double> Length(const pugi::xml_node& node, const char* attribute) const {
    std::optional<double> value = Number(node, attribute);
    if (!value) return value;
    *value *= Metres(units_.linear);
    if (!(*value > 0)) Fail(std::string(attribute) + " 必须大于 0");
    if (*value > kMaxLength) Fail(std::string(attribute) + " 过大");
    return value;
  }

  // A length whose sign some writers use for crest or sag, read by its size.
  std::optional<double> Magnitude(const pugi::xml_node& node, const char* attribute) const {
    std::optional<double> value = Number(node, attribute);
    if (!value) return value;
    *value = std::fabs(*value) * Metres(units_.linear);
    if (!(*value > 0)) Fail(std::string(attribute) + " 不能为 0");
    if (*value > kMaxLength) Fail(std::string(attribute) + " 过大");
    return value;
  }

  // A radius attribute: "INF" (any case) or a radius beyond kInfiniteRadius is a straight end.
  std::optional<double> Radius(const pugi::xml_node& node, const char* attribute) const {
    const pugi::xml_attribute a = node.attribute(attribute);
    if (!a) return std::nullopt;
    std::string text(Trim(a.value()));
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (text == "INF" || text == "INFINITY") return std::numeric_limits<double>::infinity();
    const std::optional<double> value = Number(node, attribute);
    if (value && *value * Metres(units_.linear) > kInfiniteRadius) return std::numeric_limits<double>::infinity();
    return Length(node, attribute);
  }

  std::optional<double> Direction(const pugi::xml_node& node, const char* attribute) const {
    std::optional<double> value = Number(node, attribute);
    if (!value) return value;
    if (std::fabs(*value) > 1e6) Fail(std::string(attribute) + " 过大");
    return ToRadians(*value, units_.direction);
  }

  std::optional<LandXmlPoint> Point(const pugi::xml_node& parent, std::string_view name) const {
    const pugi::xml_node node = Child(parent, name);
    if (!node) return std::nullopt;
    std::string_view text = node.child_value();
    if (Trim(text).empty()) {
      // A reference to a CgPoint instead of coordinates.
      const pugi::xml_attribute ref = node.attribute("pntRef");
      if (!ref) Fail(std::string(name) + " 点没有坐标");
      const auto found = points_.find(std::string_view(Trim(ref.value())));
      if (found == points_.end()) Fail(std::string(name) + " 点引用的 “" + ref.value() + "” 不存在");
      text = found->second;
    }
    const std::vector<std::string_view> words = Words(text);
    if (words.size() < 2 || words.size() > 3) Fail(std::string(name) + " 点应为“北坐标 东坐标 [高程]”");
    const std::optional<double> north = ParseNumber(words[0]);
    const std::optional<double> east = ParseNumber(words[1]);
    if (!north || !east) Fail(std::string(name) + " 点的坐标不是有限的数字");
    const double metres = Metres(units_.linear);
    LandXmlPoint p{*north * metres, *east * metres};
    if (std::fabs(p.x) > kMaxCoordinate || std::fabs(p.y) > kMaxCoordinate) Fail(std::string(name) + " 点的坐标过大");
    return p;
  }

  int Rotation(const pugi::xml_node& node) const {
    const pugi::xml_attribute a = node.attribute("rot");
    if (!a) return 0;
    const std::string_view value = Trim(a.value());
    if (value == "cw") return 1;
    if (value == "ccw") return -1;
    Fail("rot 应为 cw 或 ccw");
  }

  [[noreturn]] void Fail(const std::string& what) const { throw AlignmentError(label_ + "：" + what + "。"); }

 private:
  std::string label_;
  const Units& units_;
  const PointTable& points_;
};

LandXmlElement ReadElement(const pugi::xml_node& node, std::size_t index, const Units& units, const PointTable& points,
                           const std::string& alignment) {
  const std::string_view kind = LocalName(node);
  const ElementReader r(alignment + " 第 " + std::to_string(index) + " 个线元（" + std::string(kind) + "）", units, points);
  LandXmlElement e;
  e.index = index;
  e.start = r.Point(node, "Start");
  e.end = r.Point(node, "End");
  e.length = r.Length(node, "length");
  if (kind == "Line") {
    e.kind = LandXmlElementKind::Line;
    e.dir = r.Direction(node, "dir");
  } else if (kind == "Curve") {
    e.kind = LandXmlElementKind::Curve;
    e.center = r.Point(node, "Center");
    e.pi = r.Point(node, "PI");
    e.radius = r.Radius(node, "radius");
    if (e.radius && std::isinf(*e.radius)) r.Fail("圆曲线的半径不能为 INF");
    e.rot = r.Rotation(node);
    e.dirStart = r.Direction(node, "dirStart");
    e.dirEnd = r.Direction(node, "dirEnd");
  } else {
    e.kind = LandXmlElementKind::Spiral;
    const pugi::xml_attribute type = node.attribute("spiType");
    const std::string_view spiType = type ? Trim(type.value()) : std::string_view("clothoid");
    if (spiType != "clothoid") r.Fail("不支持的缓和曲线类型“" + std::string(spiType) + "”，只能放样回旋线（clothoid）");
    e.pi = r.Point(node, "PI");
    e.radiusStart = r.Radius(node, "radiusStart");
    e.radiusEnd = r.Radius(node, "radiusEnd");
    if (e.radiusStart && e.radiusEnd && *e.radiusStart == *e.radiusEnd) {
      r.Fail("缓和曲线两端的半径须不同（相同时为直线或圆曲线）");
    }
    e.rot = r.Rotation(node);
    e.dirStart = r.Direction(node, "dirStart");
    e.dirEnd = r.Direction(node, "dirEnd");
  }
  if (!e.start || !e.end) r.Fail("缺少 Start 或 End 点");
  return e;
}

std::vector<LandXmlProfilePoint> ReadProfilePoints(const pugi::xml_node& profAlign, const Units& units,
                                                   const std::string& label) {
  std::vector<LandXmlProfilePoint> points;
  const PointTable none;
  for (pugi::xml_node node = profAlign.first_child(); node; node = node.next_sibling()) {
    if (node.type() != pugi::node_element) continue;
    const std::string_view kind = LocalName(node);
    if (kind != "PVI" && kind != "ParaCurve" && kind != "CircCurve" && kind != "UnsymParaCurve") continue;
    const ElementReader r(label + " 第 " + std::to_string(points.size() + 1) + " 个变坡点（" + std::string(kind) + "）",
                          units, none);
    const std::vector<std::string_view> words = Words(node.child_value());
    if (words.size() != 2) r.Fail("内容应为“桩号 高程”");
    const std::optional<double> station = ParseNumber(words[0]);
    const std::optional<double> elevation = ParseNumber(words[1]);
    if (!station || !elevation) r.Fail("桩号或高程不是有限的数字");
    LandXmlProfilePoint p;
    if (const pugi::xml_attribute name = node.attribute("name")) p.name = Trim(name.value());
    p.station = *station * Metres(units.linear);
    p.elevation = *elevation * Metres(units.elevation);
    if (std::fabs(p.station) > kMaxCoordinate || std::fabs(p.elevation) > kMaxCoordinate) r.Fail("桩号或高程过大");
    if (kind == "ParaCurve") {
      const std::optional<double> length = r.Magnitude(node, "length");
      if (!length) r.Fail("缺少 length");
      p.curveLength = *length;
    } else if (kind == "CircCurve") {
      const std::optional<double> radius = r.Magnitude(node, "radius");
      if (!radius) r.Fail("缺少 radius");
      p.curveRadius = *radius;
    } else if (kind == "UnsymParaCurve") {
      const std::optional<double> in = r.Magnitude(node, "lengthIn");
      const std::optional<double> out = r.Magnitude(node, "lengthOut");
      if (!in || !out) r.Fail("缺少 lengthIn 或 lengthOut");
      p.lengthIn = *in;
      p.lengthOut = *out;
    }
    points.push_back(std::move(p));
  }
  return points;
}

// Everything but the name; throws what makes the alignment unreadable.
void FillAlignment(const pugi::xml_node& node, const Units& units, const PointTable& points, const std::string& label,
                   LandXmlAlignment& alignment) {
  const ElementReader r(label, units, points);
  if (const std::optional<double> start = r.Number(node, "staStart")) {
    alignment.staStart = *start * Metres(units.linear);
    if (std::fabs(alignment.staStart) > kMaxCoordinate) r.Fail("staStart 过大");
  }
  std::size_t equationIndex = 0;
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
    if (c.type() != pugi::node_element) continue;
    const std::string_view kind = LocalName(c);
    if (kind == "StaEquation") {
      ++equationIndex;
      const pugi::xml_attribute backText = c.attribute("staBack");
      const pugi::xml_attribute aheadText = c.attribute("staAhead");
      if (!backText || !aheadText) r.Fail("断链（StaEquation）缺少 staBack 或 staAhead");
      const std::optional<double> back = ParseNumber(backText.value());
      const std::optional<double> ahead = ParseNumber(aheadText.value());
      if (!back || !ahead) {
        // Km-post conventions write the post before the start as staBack="NaN": it moves no
        // station, so it is passed over, not refused.
        std::string what = "第 " + std::to_string(equationIndex) + " 个断链（staBack=\"" + backText.value() +
                           "\" staAhead=\"" + aheadText.value() + "\"";
        if (const pugi::xml_attribute desc = c.attribute("desc")) what += std::string(" desc=\"") + desc.value() + "\"";
        alignment.notes.push_back(what + "）的桩号不是数字，不能改变桩号，已跳过。");
        continue;
      }
      const double metres = Metres(units.linear);
      LandXmlStationEquation eq{*back * metres, *ahead * metres, std::nullopt};
      if (const std::optional<double> internal = r.Number(c, "staInternal")) eq.internal = *internal * metres;
      if (std::fabs(eq.back) > kMaxCoordinate || std::fabs(eq.ahead) > kMaxCoordinate ||
          std::fabs(eq.internal.value_or(0)) > kMaxCoordinate) {
        r.Fail("断链桩号过大");
      }
      alignment.equations.push_back(eq);
    } else if (kind == "CoordGeom") {
      for (pugi::xml_node e = c.first_child(); e; e = e.next_sibling()) {
        if (e.type() != pugi::node_element) continue;
        const std::string_view ek = LocalName(e);
        if (ek == "Line" || ek == "Curve" || ek == "Spiral") {
          alignment.elements.push_back(ReadElement(e, alignment.elements.size() + 1, units, points, label));
        } else if (ek == "Chain" || ek == "IrregularLine") {
          r.Fail("不支持的平面线元“" + std::string(ek) + "”");
        }
      }
    } else if (kind == "Profile") {
      for (pugi::xml_node p = c.first_child(); p; p = p.next_sibling()) {
        if (p.type() != pugi::node_element || LocalName(p) != "ProfAlign") continue;
        LandXmlProfile profile;
        profile.name = Trim(p.attribute("name").value());
        const std::string profileLabel = label + " 纵断面" + (profile.name.empty() ? std::string() : " " + profile.name);
        // A bad profile refuses the elevations, not the plan: it is checked when it is used.
        try {
          profile.points = ReadProfilePoints(p, units, profileLabel);
        } catch (const AlignmentError& error) {
          profile.fault = error.what();
          profile.points.clear();
        }
        alignment.profiles.push_back(std::move(profile));
      }
    }
  }
}

LandXmlAlignment ReadAlignment(const pugi::xml_node& node, const Units& units, const PointTable& points,
                               std::size_t ordinal) {
  LandXmlAlignment alignment;
  alignment.name = Trim(node.attribute("name").value());
  const std::string label = alignment.name.empty() ? "LandXML 第 " + std::to_string(ordinal) + " 条路线"
                                                   : "LandXML 路线 " + alignment.name;
  try {
    FillAlignment(node, units, points, label, alignment);
  } catch (const AlignmentError& error) {
    LandXmlAlignment faulty;
    faulty.name = std::move(alignment.name);
    faulty.fault = error.what();
    return faulty;
  }
  return alignment;
}

}  // namespace

LandXmlDocument ParseLandXml(std::string_view bytes) {
  pugi::xml_document xml;
  landxml::ParseXml(bytes, xml);

  const pugi::xml_node root = xml.document_element();
  if (!root || LocalName(root) != "LandXML") throw AlignmentError("文件不是 LandXML（根元素不是 LandXML）。");
  const Units units = ReadUnits(root);

  PointTable points;
  for (pugi::xml_node holder = root.first_child(); holder; holder = holder.next_sibling()) {
    if (holder.type() != pugi::node_element || LocalName(holder) != "CgPoints") continue;
    for (pugi::xml_node p = holder.first_child(); p; p = p.next_sibling()) {
      if (p.type() == pugi::node_element && LocalName(p) == "CgPoint" && p.attribute("name")) {
        points.emplace(std::string(Trim(p.attribute("name").value())), std::string(p.child_value()));
      }
    }
  }

  LandXmlDocument document;
  for (pugi::xml_node holder = root.first_child(); holder; holder = holder.next_sibling()) {
    if (holder.type() != pugi::node_element || LocalName(holder) != "Alignments") continue;
    for (pugi::xml_node a = holder.first_child(); a; a = a.next_sibling()) {
      if (a.type() == pugi::node_element && LocalName(a) == "Alignment") {
        document.alignments.push_back(ReadAlignment(a, units, points, document.alignments.size() + 1));
      }
    }
  }
  if (document.alignments.empty()) throw AlignmentError("LandXML 文件中没有路线（Alignment）。");
  return document;
}

LandXmlDocument ReadLandXmlFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw AlignmentError("无法打开 LandXML 文件 " + path + "：" + std::strerror(errno) + "。");
  std::string bytes;
  constexpr std::size_t kChunk = 1u << 20;
  std::string chunk(kChunk, '\0');
  while (in) {
    in.read(chunk.data(), static_cast<std::streamsize>(kChunk));
    bytes.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > kLandXmlMaxBytes) {
      throw AlignmentError("LandXML 文件 " + path + " 超过 " + std::to_string(kLandXmlMaxBytes >> 20) + " MB，拒绝读取。");
    }
  }
  if (in.bad()) throw AlignmentError("读取 LandXML 文件 " + path + " 失败。");
  return ParseLandXml(bytes);
}

const LandXmlAlignment& SelectAlignment(const LandXmlDocument& document, const std::string& name) {
  const LandXmlAlignment* found = name.empty() ? &document.alignments.front() : nullptr;
  std::string names;
  for (const LandXmlAlignment& a : document.alignments) {
    if (found == nullptr && a.name == name) found = &a;
    names += (names.empty() ? "" : "、") + (a.name.empty() ? std::string("（无名）") : a.name);
  }
  if (found == nullptr) throw AlignmentError("LandXML 文件中没有名为 “" + name + "” 的路线；文件中的路线：" + names + "。");
  if (!found->fault.empty()) throw AlignmentError(found->fault);
  return *found;
}

}  // namespace survey::alignment
