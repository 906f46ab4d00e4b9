#include "alignment/jd_method.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "alignment/alignment_error.h"
#include "alignment/clothoid.h"

namespace survey::alignment {

namespace {

constexpr double kPi = 3.141592653589793;
// Grid coordinates of any projection stay far inside this; beyond it differences lose the
// millimetre and squares approach overflow.
constexpr double kMaxCoordinate = 1e9;
// A deflection this close to 180 degrees is the reversed case, not a curve.
constexpr double kAngleSlack = 1e-12;

// The name of a point where it has none: QD, JD1, JD2, ..., ZD.
std::string NameOf(const std::vector<JdInput>& points, std::size_t i) {
  if (!points[i].name.empty()) return points[i].name;
  if (i == 0) return "QD";
  if (i + 1 == points.size()) return "ZD";
  return "JD" + std::to_string(i);
}

// A point as a refusal names it: its name, and its table line where it has one.
std::string Label(const std::vector<JdInput>& points, std::size_t i) {
  const std::string name = NameOf(points, i);
  if (points[i].line > 0) return name + "（第 " + std::to_string(points[i].line) + " 行）";
  return name;
}

std::string Metres(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

struct Transition {
  double p = 0, q = 0, beta = 0;
};

// The exact shift p, tangent offset q and angle beta of a clothoid of length ls ending at radius r.
Transition TransitionOf(double r, double ls) {
  if (ls == 0) return {};
  const ClothoidPoint end = ClothoidAt(0, 1 / (r * ls), ls);
  const double beta = ls / (2 * r);
  const double half = std::sin(0.5 * beta);
  return {end.right - 2 * r * (half * half), end.along - r * std::sin(beta), beta};
}

bool Finite(const CurveRow& c) {
  for (double v : {c.p1, c.q1, c.p2, c.q2, c.t1, c.t2, c.l, c.e, c.j}) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

}  // namespace

JdLayout LayOutJd(const std::vector<JdInput>& points) {
  const std::size_t n = points.size();
  if (n < 2) throw AlignmentError("至少需要起点 QD 和终点 ZD 两个点。");
  if (n > kMaxJdRows) throw AlignmentError("点数超过 " + std::to_string(kMaxJdRows) + " 个。");
  for (std::size_t i = 0; i < n; ++i) {
    const JdInput& p = points[i];
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) throw AlignmentError(Label(points, i) + "：坐标不是有效的数。");
    if (std::fabs(p.x) > kMaxCoordinate || std::fabs(p.y) > kMaxCoordinate) {
      throw AlignmentError(Label(points, i) + "：坐标超出范围。");
    }
  }
  // Legs between consecutive points: azimuth and length.
  std::vector<double> azimuth(n - 1), distance(n - 1);
  for (std::size_t i = 0; i + 1 < n; ++i) {
    const double dx = points[i + 1].x - points[i].x;
    const double dy = points[i + 1].y - points[i].y;
    if (dx == 0 && dy == 0) {
      throw AlignmentError(Label(points, i) + " 与 " + Label(points, i + 1) + " 重合。");
    }
    azimuth[i] = NormalizeAzimuth(std::atan2(dy, dx));
    distance[i] = std::hypot(dx, dy);
  }

  JdLayout out;
  out.curves.reserve(n - 2);
  for (std::size_t i = 1; i + 1 < n; ++i) {
    const JdInput& jd = points[i];
    const std::string name = Label(points, i);
    if (!std::isfinite(jd.r) || !(jd.r > 0)) throw AlignmentError(name + "：半径必须大于 0。");
    if (!std::isfinite(jd.ls1) || !std::isfinite(jd.ls2)) throw AlignmentError(name + "：缓和曲线长度不是有效的数。");
    if (jd.ls1 < 0 || jd.ls2 < 0) throw AlignmentError(name + "：缓和曲线长度不能为负。");
    const double turn = std::remainder(azimuth[i] - azimuth[i - 1], 2 * kPi);
    if (std::fabs(turn) < kMinTurn) {
      throw AlignmentError(name + "：转角小于 0.01″（与前后两点共线），不能设曲线。");
    }
    if (std::fabs(turn) >= kPi - kAngleSlack) throw AlignmentError(name + "：转角为 180°，路线折返。");

    CurveRow c;
    c.name = NameOf(points, i);
    c.x = jd.x;
    c.y = jd.y;
    c.turnRight = turn > 0;
    c.alpha = std::fabs(turn);
    c.r = jd.r;
    c.ls1 = jd.ls1;
    c.ls2 = jd.ls2;
    const Transition entry = TransitionOf(jd.r, jd.ls1);
    const Transition exit = TransitionOf(jd.r, jd.ls2);
    c.p1 = entry.p;
    c.q1 = entry.q;
    c.beta1 = entry.beta;
    c.p2 = exit.p;
    c.q2 = exit.q;
    c.beta2 = exit.beta;
    c.hasEntryTransition = jd.ls1 > 0;
    c.hasExitTransition = jd.ls2 > 0;
    if (c.beta1 + c.beta2 > c.alpha * (1 + 1e-12)) {
      throw AlignmentError(name + "：缓和曲线过长，两侧缓和曲线角之和 β1 + β2 大于转角 α。");
    }
    // With the centre C at R + p1 from the incoming tangent and R + p2 from the outgoing one:
    //   T1 = ((R + p2) - (R + p1) cos a) / sin a + q1, and T2 likewise;
    // written with 1 - cos a = 2 sin^2(a/2) so that small deflections lose nothing.
    const double sinA = std::sin(c.alpha);
    const double half = std::sin(0.5 * c.alpha);
    const double versine = 2 * (half * half);
    const double rp1 = jd.r + c.p1;
    const double rp2 = jd.r + c.p2;
    c.t1 = ((c.p2 - c.p1) + rp1 * versine) / sinA + c.q1;
    c.t2 = ((c.p1 - c.p2) + rp2 * versine) / sinA + c.q2;
    double arc = jd.r * (c.alpha - c.beta1 - c.beta2);
    if (arc < 1e-9) arc = 0;
    c.l = c.ls1 + arc + c.ls2;
    c.e = std::hypot(c.t1 - c.q1, rp1) - jd.r;
    c.j = c.t1 + c.t2 - c.l;
    if (!Finite(c)) throw AlignmentError(name + "：曲线要素超出数值范围。");
    out.curves.push_back(std::move(c));
  }

  // Straights between consecutive tangent points; a negative one means the tangents overlap.
  std::vector<double> straight(n - 1);
  for (std::size_t i = 0; i + 1 < n; ++i) {
    const double before = i > 0 ? out.curves[i - 1].t2 : 0.0;
    const double after = i + 2 < n ? out.curves[i].t1 : 0.0;
    const double s = distance[i] - before - after;
    if (s < -1e-9 * std::max(1.0, distance[i])) {
      throw AlignmentError(Label(points, i) + " 与 " + Label(points, i + 1) + "：切线重叠，夹直线长 " +
                           Metres(s) + " m。");
    }
    straight[i] = std::max(s, 0.0);
  }

  // Elements: each straight starts at the computed tangent point it leaves, each curve at its
  // computed ZH; the curve's walked end is then compared with its computed HZ.
  out.elements.reserve(4 * (n - 2) + 1);
  double chainage = 0;
  Pose from{points[0].x, points[0].y, azimuth[0]};
  std::string worst;
  auto addElement = [&](ElementKind kind, double length, double k0, double k1, const Pose& start) {
    Element e;
    e.kind = kind;
    e.length = length;
    e.startCurvature = k0;
    e.endCurvature = k1;
    e.start = start;
    e.startChainage = chainage;
    out.elements.push_back(e);
    chainage += length;
    return EndPose(e);
  };
  for (std::size_t i = 1; i + 1 < n; ++i) {
    CurveRow& c = out.curves[i - 1];
    if (straight[i - 1] > 0) addElement(ElementKind::Line, straight[i - 1], 0, 0, from);
    if (i == 1) c.straightBefore = straight[0];
    const double aIn = azimuth[i - 1];
    const double aOut = azimuth[i];
    Pose pose{c.x - c.t1 * std::cos(aIn), c.y - c.t1 * std::sin(aIn), aIn};
    const double k = (c.turnRight ? 1.0 : -1.0) / c.r;
    c.zh = chainage;
    if (c.ls1 > 0) pose = addElement(ElementKind::Spiral, c.ls1, 0, k, pose);
    c.hy = chainage;
    const double arc = c.l - c.ls1 - c.ls2;
    if (arc > 0) pose = addElement(ElementKind::Arc, arc, k, k, pose);
    c.yh = chainage;
    if (c.ls2 > 0) pose = addElement(ElementKind::Spiral, c.ls2, k, 0, pose);
    c.hz = chainage;
    c.qz = c.zh + 0.5 * c.l;
    c.straightAfter = straight[i];
    from = Pose{c.x + c.t2 * std::cos(aOut), c.y + c.t2 * std::sin(aOut), aOut};
    const double closure = std::hypot(pose.x - from.x, pose.y - from.y);
    if (!(closure <= out.closureError)) {
      out.closureError = closure;
      worst = Label(points, i);
    }
  }
  if (straight[n - 2] > 0) {
    const Pose end = addElement(ElementKind::Line, straight[n - 2], 0, 0, from);
    const double closure = std::hypot(end.x - points[n - 1].x, end.y - points[n - 1].y);
    if (!(closure <= out.closureError)) {
      out.closureError = closure;
      worst = Label(points, n - 1);
    }
  }
  if (!(out.closureError <= kMaxClosureError)) {
    throw AlignmentError(worst + "：闭合差 " + Metres(out.closureError) + " m 超过 1e-6 m，曲线终点不在下一切线上。");
  }
  return out;
}

}  // namespace survey::alignment
