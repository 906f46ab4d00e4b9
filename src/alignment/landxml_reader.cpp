#include "alignment/landxml_reader.h"

#include <pugixml.hpp>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <map>
#include <mutex>
#include <new>
#include <numbers>
#include <string>
#include <system_error>
#include <utility>

#include "alignment/alignment_error.h"

namespace survey::alignment {

namespace {

// ---- memory budget -------------------------------------------------------------------
// pugixml spends about 70 bytes per node, so a file of tiny elements needs many times its
// own size. Its allocations go through these two functions, which refuse to go past the
// budget; the parse then fails with "out of memory" and is refused instead of exhausting
// the machine.
constexpr std::size_t kParseMemoryBudget = 1024u * 1024u * 1024u;
constexpr std::size_t kHeader = alignof(std::max_align_t);
std::atomic<std::size_t> g_parserBytes{0};

void* BudgetedAllocate(std::size_t size) {
  const std::size_t total = g_parserBytes.fetch_add(size + kHeader) + size + kHeader;
  if (total > kParseMemoryBudget) {
    g_parserBytes.fetch_sub(size + kHeader);
    return nullptr;
  }
  auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
  if (block == nullptr) {
    g_parserBytes.fetch_sub(size + kHeader);
    return nullptr;
  }
  std::memcpy(block, &size, sizeof size);
  return block + kHeader;
}

void BudgetedDeallocate(void* pointer) {
  if (pointer == nullptr) return;
  auto* block = static_cast<unsigned char*>(pointer) - kHeader;
  std::size_t size = 0;
  std::memcpy(&size, block, sizeof size);
  g_parserBytes.fetch_sub(size + kHeader);
  std::free(block);
}

void InstallBudget() {
  static std::once_flag once;
  std::call_once(once, [] { pugi::set_memory_management_functions(BudgetedAllocate, BudgetedDeallocate); });
}

// ---- names and numbers ----------------------------------------------------------------
// Files may put the LandXML namespace on a prefix ("lx:Alignment"); only the local name counts.
std::string_view LocalName(const pugi::xml_node& node) {
  std::string_view name = node.name();
  const std::size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

pugi::xml_node Child(const pugi::xml_node& node, std::string_view name) {
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
    if (c.type() == pugi::node_element && LocalName(c) == name) return c;
  }
  return {};
}

std::string_view Trim(std::string_view s) {
  const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  while (!s.empty() && space(s.front())) s.remove_prefix(1);
  while (!s.empty() && space(s.back())) s.remove_suffix(1);
  return s;
}

// A finite decimal number and nothing else ("nan", "inf" and trailing text are not numbers).
std::optional<double> ParseNumber(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ','; };
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && space(text[i])) ++i;
    std::size_t j = i;
    while (j < text.size() && !space(text[j])) ++j;
    if (j > i) words.push_back(text.substr(i, j - i));
    i = j;
  }
  return words;
}

// Beyond these no road is designed; larger values are typing errors or attacks, and would
// only overflow later.
constexpr double kMaxCoordinate = 1e9;
constexpr double kMaxLength = 1e7;

struct Units {
  double linear = 1;      // metres per file unit
  double elevation = 1;
  enum class Angle { Radians, Grads, Degrees, Dms } angle = Angle::Degrees, direction = Angle::Degrees;
};

double LinearFactor(std::string_view unit) {
  if (unit == "meter" || unit == "metre") return 1;
  if (unit == "kilometer") return 1000;
  if (unit == "centimeter") return 0.01;
  if (unit == "millimeter") return 0.001;
  if (unit == "foot" || unit == "feet" || unit == "internationalFoot") return 0.3048;
  if (unit == "USSurveyFoot") return 1200.0 / 3937.0;
  if (unit == "inch") return 0.0254;
  if (unit == "mile" || unit == "miles") return 1609.344;
  throw AlignmentError("LandXML：不支持的长度单位“" + std::string(unit) + "”。");
}

Units::Angle AngleKind(std::string_view unit) {
  if (unit == "radians") return Units::Angle::Radians;
  if (unit == "grads") return Units::Angle::Grads;
  if (unit == "decimal degrees") return Units::Angle::Degrees;
  if (unit == "decimal dd.mm.ss") return Units::Angle::Dms;
  throw AlignmentError("LandXML：不支持的角度单位“" + std::string(unit) + "”。");
}

double ToRadians(double value, Units::Angle kind) {
  switch (kind) {
    case Units::Angle::Radians: return value;
    case Units::Angle::Grads: return value * std::numbers::pi / 200;
    case Units::Angle::Degrees: return value * std::numbers::pi / 180;
    case Units::Angle::Dms: {
      // d.mmss: 45.3025 is 45 deg 30 min 25 s.
      const double sign = value < 0 ? -1 : 1;
      const double a = std::fabs(value);
      const double degrees = std::floor(a);
      const double minutes = std::floor((a - degrees) * 100 + 1e-9);
      const double seconds = ((a - degrees) * 100 - minutes) * 100;
      return sign * (degrees + minutes / 60 + seconds / 3600) * std::numbers::pi / 180;
    }
  }
  return value;
}

Units ReadUnits(const pugi::xml_node& root) {
  Units units;
  const pugi::xml_node holder = Child(root, "Units");
  pugi::xml_node system = holder ? Child(holder, "Metric") : pugi::xml_node();
  if (!system && holder) system = Child(holder, "Imperial");
  if (!system) return units;   // no Units: metres and decimal degrees
  if (const pugi::xml_attribute a = system.attribute("linearUnit")) units.linear = LinearFactor(Trim(a.value()));
  units.elevation = units.linear;
  if (const pugi::xml_attribute a = system.attribute("elevationUnit")) units.elevation = LinearFactor(Trim(a.value()));
  if (const pugi::xml_attribute a = system.attribute("angularUnit")) units.angle = AngleKind(Trim(a.value()));
  units.direction = units.angle;
  if (const pugi::xml_attribute a = system.attribute("directionUnit")) units.direction = AngleKind(Trim(a.value()));
  return units;
}

// Reads one element's attributes, each refusal naming the element.
class ElementReader {
 public:
  ElementReader(std::string label, const Units& units, const std::map<std::string, std::string, std::less<>>& points)
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
    *value *= units_.linear;
    if (!(*value > 0)) Fail(std::string(attribute) + " 必须大于 0");
    if (*value > kMaxLength) Fail(std::string(attribute) + " 过大");
    return value;
  }

  // A radius attribute: "INF" (any case) is a straight end.
  std::optional<double> Radius(const pugi::xml_node& node, const char* attribute) const {
    const pugi::xml_attribute a = node.attribute(attribute);
    if (!a) return std::nullopt;
    std::string text(Trim(a.value()));
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (text == "INF" || text == "INFINITY") return std::numeric_limits<double>::infinity();
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
    LandXmlPoint p{*north * units_.linear, *east * units_.linear};
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
    return 0;
  }

  [[noreturn]] void Fail(const std::string& what) const { throw AlignmentError(label_ + "：" + what + "。"); }

 private:
  std::string label_;
  const Units& units_;
  const std::map<std::string, std::string, std::less<>>& points_;
};

std::string ElementLabel(std::size_t index, std::string_view kind) {
  return "LandXML 第 " + std::to_string(index) + " 个线元（" + std::string(kind) + "）";
}

LandXmlElement ReadElement(const pugi::xml_node& node, std::size_t index, const Units& units,
                           const std::map<std::string, std::string, std::less<>>& points) {
  const std::string_view kind = LocalName(node);
  const ElementReader r(ElementLabel(index, kind), units, points);
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
    e.rot = r.Rotation(node);
    e.dirStart = r.Direction(node, "dirStart");
    e.dirEnd = r.Direction(node, "dirEnd");
  }
  if (!e.start || !e.end) r.Fail("缺少 Start 或 End 点");
  return e;
}

std::vector<LandXmlProfilePoint> ReadProfile(const pugi::xml_node& profAlign, const Units& units,
                                             const std::string& alignment) {
  std::vector<LandXmlProfilePoint> points;
  for (pugi::xml_node node = profAlign.first_child(); node; node = node.next_sibling()) {
    if (node.type() != pugi::node_element) continue;
    const std::string_view kind = LocalName(node);
    if (kind != "PVI" && kind != "ParaCurve" && kind != "CircCurve") {
      if (kind == "UnsymParaCurve") {
        throw AlignmentError("LandXML 路线 " + alignment + "：纵断面中不支持不对称竖曲线（UnsymParaCurve）。");
      }
      continue;
    }
    const std::string label = "LandXML 路线 " + alignment + " 纵断面第 " + std::to_string(points.size() + 1) + " 个变坡点（" + std::string(kind) + "）";
    const std::map<std::string, std::string, std::less<>> none;
    const ElementReader r(label, units, none);
    const std::vector<std::string_view> words = Words(node.child_value());
    if (words.size() != 2) r.Fail("内容应为“桩号 高程”");
    const std::optional<double> station = ParseNumber(words[0]);
    const std::optional<double> elevation = ParseNumber(words[1]);
    if (!station || !elevation) r.Fail("桩号或高程不是有限的数字");
    LandXmlProfilePoint p;
    if (const pugi::xml_attribute name = node.attribute("name")) p.name = Trim(name.value());
    p.station = *station * units.linear;
    p.elevation = *elevation * units.elevation;
    if (std::fabs(p.station) > kMaxCoordinate || std::fabs(p.elevation) > kMaxCoordinate) r.Fail("桩号或高程过大");
    if (kind == "ParaCurve") {
      const std::optional<double> length = r.Length(node, "length");
      if (!length) r.Fail("缺少 length");
      p.curveLength = *length;
    } else if (kind == "CircCurve") {
      const std::optional<double> radius = r.Length(node, "radius");
      if (!radius) r.Fail("缺少 radius");
      p.curveRadius = *radius;
    }
    points.push_back(std::move(p));
  }
  return points;
}

LandXmlAlignment ReadAlignment(const pugi::xml_node& node, const Units& units,
                               const std::map<std::string, std::string, std::less<>>& points, std::size_t ordinal) {
  LandXmlAlignment alignment;
  alignment.name = Trim(node.attribute("name").value());
  const std::string label = alignment.name.empty() ? "LandXML 第 " + std::to_string(ordinal) + " 条路线" : "LandXML 路线 " + alignment.name;
  const ElementReader r(label, units, points);
  if (const std::optional<double> start = r.Number(node, "staStart")) {
    alignment.staStart = *start * units.linear;
    if (std::fabs(alignment.staStart) > kMaxCoordinate) r.Fail("staStart 过大");
  }
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
    if (c.type() != pugi::node_element) continue;
    const std::string_view kind = LocalName(c);
    if (kind == "StaEquation") {
      const std::optional<double> back = r.Number(c, "staBack");
      const std::optional<double> ahead = r.Number(c, "staAhead");
      if (!back || !ahead) r.Fail("断链（StaEquation）缺少 staBack 或 staAhead");
      const LandXmlStationEquation eq{*back * units.linear, *ahead * units.linear};
      if (std::fabs(eq.back) > kMaxCoordinate || std::fabs(eq.ahead) > kMaxCoordinate) r.Fail("断链桩号过大");
      alignment.equations.push_back(eq);
    } else if (kind == "CoordGeom") {
      for (pugi::xml_node e = c.first_child(); e; e = e.next_sibling()) {
        if (e.type() != pugi::node_element) continue;
        const std::string_view ek = LocalName(e);
        if (ek == "Line" || ek == "Curve" || ek == "Spiral") {
          alignment.elements.push_back(ReadElement(e, alignment.elements.size() + 1, units, points));
        } else if (ek == "Chain" || ek == "IrregularLine") {
          r.Fail("不支持的平面线元“" + std::string(ek) + "”");
        }
      }
    } else if (kind == "Profile" && !alignment.hasProfile) {
      for (pugi::xml_node p = c.first_child(); p; p = p.next_sibling()) {
        if (p.type() == pugi::node_element && LocalName(p) == "ProfAlign") {
          alignment.hasProfile = true;
          alignment.profile = ReadProfile(p, units, alignment.name);
          break;
        }
      }
    }
  }
  return alignment;
}

std::string ParseFailure(const pugi::xml_parse_result& result, std::size_t size) {
  if (result.status == pugi::status_out_of_memory) return "LandXML 文件的元素过多，解析所需内存超出限制。";
  if (result.status == pugi::status_no_document_element) return "LandXML 文件是空的（没有 XML 元素）。";
  // An error in the file's last few bytes is an end that came too early, whatever the
  // parser was reading at the time.
  constexpr std::ptrdiff_t kTail = 64;
  if (result.offset + kTail >= static_cast<std::ptrdiff_t>(size)) {
    return "LandXML 文件在结尾处不完整（可能被截断），位置：第 " + std::to_string(result.offset) + " 字节。";
  }
  return "LandXML 文件不是合法的 XML（" + std::string(result.description()) + "），位置：第 " +
         std::to_string(result.offset) + " 字节。";
}

}  // namespace

LandXmlDocument ParseLandXml(std::string_view bytes) {
  if (bytes.size() > kLandXmlMaxBytes) throw AlignmentError("LandXML 文件超过 200 MB，拒绝读取。");
  // Every node starts with "<", so counting them bounds the parser's work and memory before it
  // starts: a file of millions of tiny elements is refused at once instead of after seconds.
  if (std::count(bytes.begin(), bytes.end(), '<') > static_cast<std::ptrdiff_t>(kLandXmlMaxMarkup)) {
    throw AlignmentError("LandXML 文件的标记超过 " + std::to_string(kLandXmlMaxMarkup / 1'000'000) + " 百万个，拒绝读取。");
  }
  InstallBudget();
  // DOCTYPE declarations are skipped, not processed, and only the five predefined entities
  // and character references are expanded: no entity expansion can grow the document, and
  // nothing outside the file is fetched.
  constexpr unsigned kOptions = pugi::parse_cdata | pugi::parse_escapes | pugi::parse_wconv_attribute | pugi::parse_eol;
  pugi::xml_document xml;
  const pugi::xml_parse_result result = xml.load_buffer(bytes.data(), bytes.size(), kOptions, pugi::encoding_auto);
  if (!result) throw AlignmentError(ParseFailure(result, bytes.size()));

  const pugi::xml_node root = xml.document_element();
  if (!root || LocalName(root) != "LandXML") throw AlignmentError("文件不是 LandXML（根元素不是 LandXML）。");
  const Units units = ReadUnits(root);

  std::map<std::string, std::string, std::less<>> points;
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
    if (bytes.size() > kLandXmlMaxBytes) throw AlignmentError("LandXML 文件 " + path + " 超过 200 MB，拒绝读取。");
  }
  if (in.bad()) throw AlignmentError("读取 LandXML 文件 " + path + " 失败。");
  return ParseLandXml(bytes);
}

const LandXmlAlignment& SelectAlignment(const LandXmlDocument& document, const std::string& name) {
  if (name.empty()) return document.alignments.front();
  std::string names;
  for (const LandXmlAlignment& a : document.alignments) {
    if (a.name == name) return a;
    names += (names.empty() ? "" : "、") + (a.name.empty() ? std::string("（无名）") : a.name);
  }
  throw AlignmentError("LandXML 文件中没有名为 “" + name + "” 的路线；文件中的路线：" + names + "。");
}

}  // namespace survey::alignment

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

[[noreturn]] void Refuse(const LandXmlElement& e, const std::string& what) {
  throw AlignmentError("LandXML 第 " + std::to_string(e.index) + " 个线元（" + KindName(e.kind) + "）：" + what + "。");
}

// Points closer than this fix no direction.
constexpr double kMinDirectionBase = 1e-6;

// The element's start azimuth, from its points where they fix it.
double StartAzimuth(const LandXmlElement& e) {
  switch (e.kind) {
    case LandXmlElementKind::Line:
      if (Distance(*e.start, *e.end) > kMinDirectionBase) return Azimuth(*e.start, *e.end);
      if (e.dir) return NormalizeAzimuth(*e.dir);
      break;
    case LandXmlElementKind::Curve:
      // The centre lies to the right of a clockwise arc, so the tangent is a quarter turn
      // counter-clockwise from the radius towards the centre (and the other way for ccw).
      if (e.center && e.rot != 0 && Distance(*e.start, *e.center) > kMinDirectionBase) {
        return NormalizeAzimuth(Azimuth(*e.start, *e.center) - e.rot * std::numbers::pi / 2);
      }
      if (e.dirStart) return NormalizeAzimuth(*e.dirStart);
      break;
    case LandXmlElementKind::Spiral:
      if (e.pi && Distance(*e.start, *e.pi) > kMinDirectionBase) return Azimuth(*e.start, *e.pi);
      if (e.dirStart) return NormalizeAzimuth(*e.dirStart);
      break;
  }
  Refuse(e, "点与方向属性都无法确定起点方向");
}

ElementShape ShapeOf(const LandXmlElement& e) {
  ElementShape shape;
  shape.line = 0;
  switch (e.kind) {
    case LandXmlElementKind::Line:
      shape.kind = ElementKind::Line;
      shape.length = e.length ? *e.length : Distance(*e.start, *e.end);
      break;
    case LandXmlElementKind::Curve: {
      shape.kind = ElementKind::Arc;
      if (e.rot == 0) Refuse(e, "缺少转向 rot");
      double radius = 0;
      if (e.radius) {
        radius = *e.radius;
      } else if (e.center) {
        radius = Distance(*e.start, *e.center);
      } else {
        Refuse(e, "缺少 radius 和 Center");
      }
      if (!(radius > kMinDirectionBase)) Refuse(e, "半径必须大于 0");
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
        Refuse(e, "缺少 length");
      }
      break;
    }
    case LandXmlElementKind::Spiral: {
      shape.kind = ElementKind::Spiral;
      if (!e.length) Refuse(e, "缺少 length");
      if (!e.radiusStart || !e.radiusEnd) Refuse(e, "缺少 radiusStart 或 radiusEnd");
      if (std::isinf(*e.radiusStart) && std::isinf(*e.radiusEnd)) Refuse(e, "两端半径都是 INF，不是缓和曲线");
      if (e.rot == 0) Refuse(e, "缺少转向 rot");
      shape.length = *e.length;
      shape.startCurvature = std::isinf(*e.radiusStart) ? 0 : e.rot / *e.radiusStart;
      shape.endCurvature = std::isinf(*e.radiusEnd) ? 0 : e.rot / *e.radiusEnd;
      break;
    }
  }
  if (!(shape.length > 0) || !std::isfinite(shape.length)) Refuse(e, "长度必须大于 0");
  return shape;
}

std::string Millimetres(double metres) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.3f mm", metres * 1000);
  return buffer;
}

}  // namespace

LandXmlImport ImportLandXml(const LandXmlDocument& document, const LandXmlImportOptions& options) {
  const LandXmlAlignment& a = SelectAlignment(document, options.name);
  const std::string label = a.name.empty() ? std::string("LandXML 路线") : "LandXML 路线 " + a.name;
  if (a.elements.empty()) throw AlignmentError(label + "：没有平面线元（CoordGeom）。");
  if (a.elements.size() > kMaxElements) throw AlignmentError(label + "：平面线元过多。");

  std::vector<ElementShape> shapes;
  shapes.reserve(a.elements.size());
  for (const LandXmlElement& e : a.elements) shapes.push_back(ShapeOf(e));

  const LandXmlElement& first = a.elements.front();
  const Pose start{first.start->x, first.start->y, StartAzimuth(first)};
  std::vector<StationEquation> equations;
  for (const LandXmlStationEquation& eq : a.equations) equations.push_back({eq.back, eq.ahead});
  Route chained = BuildRouteFromElements(start, a.staStart, shapes, equations);

  std::vector<Element> elements = chained.Elements();
  if (options.trustPoints) {
    for (std::size_t i = 0; i < elements.size(); ++i) {
      const LandXmlElement& e = a.elements[i];
      elements[i].start = Pose{e.start->x, e.start->y, StartAzimuth(e)};
    }
  }

  double largest = 0;
  std::size_t worst = 0;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    const Pose end = EndPose(elements[i]);
    const double difference = std::hypot(end.x - a.elements[i].end->x, end.y - a.elements[i].end->y);
    if (!(difference <= largest)) {
      largest = difference;
      worst = i + 1;
    }
    if (!options.trustPoints && !(difference <= kLandXmlEndTolerance)) {
      Refuse(a.elements[i], "按几何推算的终点与文件中的 End 相差 " + Millimetres(difference) +
                                "，超过 1 mm（文件有误或前后不一致；确认各线元的点可信时可用 --trust-points）");
    }
  }

  LandXmlImport result{a.name,
                       options.trustPoints ? Route(std::move(elements), chained.Stations(), chained.MainPoints(), {}, 0)
                                           : std::move(chained),
                       std::nullopt, {}, largest, worst};

  if (a.hasProfile) {
    const StationLine& stations = result.route.Stations();
    std::vector<ProfilePoint> points;
    for (std::size_t i = 0; i < a.profile.size(); ++i) {
      const LandXmlProfilePoint& p = a.profile[i];
      const std::string name = p.name.empty() ? "BPD" + std::to_string(i + 1) : p.name;
      points.push_back({p.name, ProfileMeasureAtStation(stations, p.station, name), p.elevation, p.curveRadius});
      result.profileStations.push_back(p.station);
    }
    // A ParaCurve gives the curve's length L = R |i2 - i1|; the radius follows from the grades.
    for (std::size_t i = 1; i + 1 < a.profile.size(); ++i) {
      if (a.profile[i].curveLength == 0) continue;
      const ProfilePoint& before = points[i - 1];
      ProfilePoint& p = points[i];
      const ProfilePoint& after = points[i + 1];
      const double gradeIn = (p.elevation - before.elevation) / (p.measure - before.measure);
      const double gradeOut = (after.elevation - p.elevation) / (after.measure - p.measure);
      const double change = std::fabs(gradeOut - gradeIn);
      p.radius = change > 0 && std::isfinite(change) ? a.profile[i].curveLength / change : 0;
    }
    // A curve on an end point is left for the profile to refuse by name.
    for (std::size_t i : {std::size_t{0}, a.profile.size() - 1}) {
      if (i < a.profile.size() && a.profile[i].curveLength > 0) points[i].radius = a.profile[i].curveLength;
    }
    result.profile.emplace(std::move(points));
  }
  return result;
}

}  // namespace survey::alignment
