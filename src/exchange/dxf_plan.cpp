#include "exchange/dxf_plan.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include <dxflib/dl_dxf.h>

#include "exchange/dxf_string_writer.h"
#include "exchange/exchange_error.h"
#include "exchange/field_text.h"

namespace survey::exchange {

namespace {

constexpr std::size_t kMaxCurveVertices = 1'000'000;

struct LayerStyle {
  const char* name;
  int colour;  // AutoCAD colour index
};
// 中线 red, 交点 cyan, 主点 yellow, 桩号 green, 边桩 magenta.
constexpr LayerStyle kCentreLine{"中线", 1};
constexpr LayerStyle kIntersections{"交点", 4};
constexpr LayerStyle kMainPoints{"主点", 2};
constexpr LayerStyle kStations{"桩号", 3};
constexpr LayerStyle kSideStakes{"边桩", 6};
constexpr LayerStyle kLayers[] = {kCentreLine, kIntersections, kMainPoints, kStations, kSideStakes};

void Check(double v) {
  if (!std::isfinite(v) || std::fabs(v) > kMaxCoordinate) throw ExchangeError("图形的坐标值无效或超出范围，无法写入。");
}
void Check(const PlanPoint& p) {
  Check(p.x);
  Check(p.y);
}

// Angle of the drawing (degrees anticlockwise from drawing X = east) of the direction from
// `c` to `p`, in [0, 360).
double DrawingAngle(const PlanPoint& c, const PlanPoint& p) {
  double a = std::atan2(p.x - c.x, p.y - c.y) * 180.0 / std::numbers::pi;
  if (a < 0) a += 360.0;
  return a;
}

class PlanWriter {
 public:
  PlanWriter(std::string& out, double textHeight) : dw_(out), textHeight_(textHeight) {}

  void Begin() {
    dxf_.writeHeader(dw_);
    dw_.dxfString(9, "$INSUNITS");  // metres
    dw_.dxfInt(70, 6);
    dw_.sectionEnd();
    dw_.sectionTables();
    dxf_.writeVPort(dw_);
    dw_.tableLinetypes(3);
    dxf_.writeLinetype(dw_, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
    dxf_.writeLinetype(dw_, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
    dxf_.writeLinetype(dw_, DL_LinetypeData("CONTINUOUS", "Continuous", 0, 0, 0.0));
    dw_.tableEnd();
    dw_.tableLayers(1 + static_cast<int>(std::size(kLayers)));
    dxf_.writeLayer(dw_, DL_LayerData("0", 0), DL_Attributes("", 7, -3, "CONTINUOUS", 1.0));
    for (const LayerStyle& layer : kLayers) {
      dxf_.writeLayer(dw_, DL_LayerData(DxfText(layer.name), 0), DL_Attributes("", layer.colour, -3, "CONTINUOUS", 1.0));
    }
    dw_.tableEnd();
    dw_.tableStyle(1);
    dxf_.writeStyle(dw_, DL_StyleData("Standard", 0, 0.0, 1.0, 0.0, 0, textHeight_, "txt", ""));
    dw_.tableEnd();
    dxf_.writeView(dw_);
    dxf_.writeUcs(dw_);
    dw_.tableAppid(1);
    dxf_.writeAppid(dw_, "ACAD");
    dw_.tableEnd();
    dxf_.writeDimStyle(dw_, 1, 1, 1, 1, 1);
    dxf_.writeBlockRecord(dw_);
    dw_.tableEnd();
    dw_.sectionEnd();
    dw_.sectionBlocks();
    for (const char* block : {"*Model_Space", "*Paper_Space", "*Paper_Space0"}) {
      dxf_.writeBlock(dw_, DL_BlockData(block, 0, 0.0, 0.0, 0.0));
      dxf_.writeEndBlock(dw_, block);
    }
    dw_.sectionEnd();
    dw_.sectionEntities();
  }

  void End() {
    dw_.sectionEnd();
    dxf_.writeObjects(dw_);
    dxf_.writeObjectsEnd(dw_);
    dw_.dxfEOF();
  }

  void Layer(const LayerStyle& layer) { attributes_ = DL_Attributes(DxfText(layer.name), 256, -1, "BYLAYER", 1.0); }

  void Line(const PlanPoint& a, const PlanPoint& b) {
    Check(a);
    Check(b);
    dxf_.writeLine(dw_, DL_LineData(a.y, a.x, 0.0, b.y, b.x, 0.0), attributes_);
  }

  void Arc(const PlanArc& arc) {
    Check(arc.centre);
    Check(arc.from);
    Check(arc.to);
    Check(arc.radius);
    if (!(arc.radius > 0)) throw ExchangeError("圆曲线半径应大于 0。");
    // DXF arcs run anticlockwise from the first angle to the second.
    const double a = DrawingAngle(arc.centre, arc.from), b = DrawingAngle(arc.centre, arc.to);
    const DL_ArcData data(arc.centre.y, arc.centre.x, 0.0, arc.radius, arc.turnsLeft ? a : b, arc.turnsLeft ? b : a);
    dxf_.writeArc(dw_, data, attributes_);
  }

  void Polyline(const std::vector<PlanPoint>& points, bool closed = false) {
    for (const PlanPoint& p : points) Check(p);
    dxf_.writePolyline(dw_, DL_PolylineData(static_cast<int>(points.size()), 0, 0, closed ? 1 : 0), attributes_);
    for (const PlanPoint& p : points) dxf_.writeVertex(dw_, DL_VertexData(p.y, p.x, 0.0, 0.0));
    dxf_.writePolylineEnd(dw_);
  }

  void Point(const PlanPoint& p) {
    Check(p);
    dxf_.writePoint(dw_, DL_PointData(p.y, p.x, 0.0), attributes_);
  }

  // Left-aligned text with its base point at `p`, rotated by `angle` (radians anticlockwise
  // from drawing X).
  void Text(const PlanPoint& p, const std::string& text, double angle = 0.0) {
    Check(p);
    if (text.empty()) return;
    dxf_.writeText(dw_, DL_TextData(p.y, p.x, 0.0, p.y, p.x, 0.0, textHeight_, 1.0, 0, 0, 0, DxfText(text), "Standard", angle),
                   attributes_);
  }

  double TextHeight() const { return textHeight_; }

 private:
  DxfStringWriter dw_;
  DL_Dxf dxf_;
  DL_Attributes attributes_;
  double textHeight_;
};

// Vertices on the curve, evenly spaced so that each chord stays within kChordTolerance of it:
// a chord c of a curve of curvature k lies k c^2 / 8 from it.
std::vector<PlanPoint> CurveVertices(const PlanCurve& curve) {
  Check(curve.length);
  Check(curve.maxCurvature);
  if (!(curve.length > 0) || !curve.pointAt) throw ExchangeError("缓和曲线长度应大于 0。");
  const double k = std::fabs(curve.maxCurvature);
  double pieces = 1;
  if (k > 0) pieces = std::ceil(curve.length / std::sqrt(8.0 * kChordTolerance / k));
  if (!(pieces < static_cast<double>(kMaxCurveVertices))) throw ExchangeError("缓和曲线需要的折线点超过一百万个，无法绘出。");
  const std::size_t n = std::max<std::size_t>(1, static_cast<std::size_t>(pieces));
  std::vector<PlanPoint> points;
  points.reserve(n + 1);
  for (std::size_t i = 0; i <= n; ++i) {
    points.push_back(curve.pointAt(i == n ? curve.length : curve.length * static_cast<double>(i) / static_cast<double>(n)));
  }
  return points;
}

}  // namespace

std::string DxfText(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const std::size_t n = utf8.size();
  for (std::size_t i = 0; i < n;) {
    const unsigned c = p[i];
    if (c < 0x80) {
      // A line break would end the group; the text stays on one line.
      out.push_back(c == '\n' || c == '\r' ? ' ' : static_cast<char>(c));
      ++i;
      continue;
    }
    const std::size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    unsigned cp = len == 1 ? 0xFFFD : c & (0xFF >> (len + 1));
    for (std::size_t k = 1; k < len; ++k) cp = i + k < n ? (cp << 6) | (p[i + k] & 0x3F) : 0xFFFD;
    if (cp > 0xFFFF) cp = 0xFFFD;  // \U+ holds four digits
    char buf[12];
    std::snprintf(buf, sizeof buf, "\\U+%04X", cp);
    out += buf;
    i += len;
  }
  return out;
}

std::string WritePlanDxf(const PlanDrawing& drawing) {
  Check(drawing.textHeight);
  if (!(drawing.textHeight > 0)) throw ExchangeError("文字高度应大于 0。");
  std::string out;
  out.reserve(4096 + drawing.stakes.size() * 420 + drawing.sideStakes.size() * 200);
  PlanWriter w(out, drawing.textHeight);
  w.Begin();

  w.Layer(kCentreLine);
  for (const PlanLine& line : drawing.straights) w.Line(line.from, line.to);
  for (const PlanArc& arc : drawing.arcs) w.Arc(arc);
  for (const PlanCurve& curve : drawing.spirals) w.Polyline(CurveVertices(curve));

  w.Layer(kIntersections);
  if (drawing.tangentPolygon.size() >= 2) w.Polyline(drawing.tangentPolygon);
  for (const PlanLabel& jd : drawing.jds) w.Text(jd.at, jd.text);

  w.Layer(kMainPoints);
  for (const PlanLabel& main : drawing.mainPoints) {
    w.Point(main.at);
    w.Text(main.at, main.text);
  }

  // The tick runs from the stake one text height to the right of the route; the label
  // continues it, reading away from the centre line.
  w.Layer(kStations);
  const double h = w.TextHeight();
  for (const PlanStake& stake : drawing.stakes) {
    Check(stake.azimuth);
    const double right = stake.azimuth + std::numbers::pi / 2;
    const PlanPoint tip{stake.at.x + h * std::cos(right), stake.at.y + h * std::sin(right)};
    w.Point(stake.at);
    w.Line(stake.at, tip);
    if (!stake.label.empty()) {
      const PlanPoint base{stake.at.x + 1.5 * h * std::cos(right), stake.at.y + 1.5 * h * std::sin(right)};
      w.Text(base, stake.label, std::numbers::pi / 2 - right);
    }
  }

  w.Layer(kSideStakes);
  for (const PlanLabel& side : drawing.sideStakes) {
    w.Point(side.at);
    w.Text(side.at, side.text);
  }
  w.End();
  return out;
}

}  // namespace survey::exchange
