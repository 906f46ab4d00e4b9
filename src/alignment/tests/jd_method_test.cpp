#include "alignment/jd_method.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "alignment/alignment_error.h"
#include "refusal.h"

namespace survey::alignment {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDeg = kPi / 180;

// QD 1,000 m before JD on azimuth `in`, ZD 1,000 m after it on azimuth `in + turn`.
std::vector<JdInput> OneCurve(double in, double turn, double r, double ls1, double ls2) {
  const JdInput jd{"JD1", 3000000.0, 500000.0, r, ls1, ls2};
  const double out = in + turn;
  return {{"QD", jd.x - 1000 * std::cos(in), jd.y - 1000 * std::sin(in)},
          jd,
          {"ZD", jd.x + 1000 * std::cos(out), jd.y + 1000 * std::sin(out)}};
}

double Distance(double x0, double y0, double x1, double y1) { return std::hypot(x1 - x0, y1 - y0); }

// Walks the curve's elements one after another and checks that each starts where the previous
// one ends, in position and azimuth.
void ExpectContinuous(const JdLayout& layout) {
  for (std::size_t i = 1; i < layout.elements.size(); ++i) {
    const Pose end = EndPose(layout.elements[i - 1]);
    const Pose& next = layout.elements[i].start;
    EXPECT_LT(Distance(end.x, end.y, next.x, next.y), 1e-9) << "joint " << i;
    EXPECT_NEAR(std::remainder(end.azimuth - next.azimuth, 2 * kPi), 0, 1e-12) << "joint " << i;
    EXPECT_NEAR(layout.elements[i - 1].startChainage + layout.elements[i - 1].length, layout.elements[i].startChainage,
                1e-9);
  }
}

const Element& ElementAt(const JdLayout& layout, double chainage) {
  for (const Element& e : layout.elements) {
    if (chainage >= e.startChainage - 1e-9 && chainage < e.startChainage + e.length - 1e-9) return e;
  }
  return layout.elements.back();
}

Pose PoseAtChainage(const JdLayout& layout, double chainage) {
  const Element& e = ElementAt(layout, chainage);
  return PoseAt(e, chainage - e.startChainage);
}

// Centre of the arc seen from a pose on it: R to the inside.
void CentreFrom(const Pose& p, double r, bool right, double& cx, double& cy) {
  const double side = right ? 1.0 : -1.0;
  cx = p.x + side * r * -std::sin(p.azimuth);
  cy = p.y + side * r * std::cos(p.azimuth);
}

TEST(JdMethod, SymmetricCurveElementsAgreeWithClassicFormulasAndWalk) {
  const double alpha = 40 * kDeg, r = 500, ls = 100;
  const JdLayout layout = LayOutJd(OneCurve(30 * kDeg, alpha, r, ls, ls));
  ASSERT_EQ(layout.curves.size(), 1u);
  const CurveRow& c = layout.curves[0];
  EXPECT_TRUE(c.turnRight);
  EXPECT_NEAR(c.alpha, alpha, 1e-12);
  // p and q by their series to the third term (the fourth is below 1e-10 m here).
  const double p = ls * ls / (24 * r) - std::pow(ls, 4) / (2688 * std::pow(r, 3)) + std::pow(ls, 6) / (506880 * std::pow(r, 5));
  const double q = ls / 2 - std::pow(ls, 3) / (240 * r * r) + std::pow(ls, 5) / (34560 * std::pow(r, 4));
  EXPECT_NEAR(c.p1, p, 1e-9);
  EXPECT_NEAR(c.q1, q, 1e-9);
  EXPECT_DOUBLE_EQ(c.p2, c.p1);
  EXPECT_NEAR(c.beta1, ls / (2 * r), 1e-15);
  const double t = (r + p) * std::tan(alpha / 2) + q;
  EXPECT_NEAR(c.t1, t, 1e-8);
  EXPECT_NEAR(c.t2, t, 1e-8);
  EXPECT_NEAR(c.l, 2 * ls + r * (alpha - ls / r), 1e-9);
  EXPECT_NEAR(c.e, (r + p) / std::cos(alpha / 2) - r, 1e-8);
  EXPECT_NEAR(c.j, 2 * c.t1 - c.l, 1e-9);
  EXPECT_NEAR(c.zh, 1000 - c.t1, 1e-9);
  EXPECT_NEAR(c.hy, c.zh + ls, 1e-9);
  EXPECT_NEAR(c.qz, c.zh + c.l / 2, 1e-9);
  EXPECT_NEAR(c.yh, c.hz - ls, 1e-9);
  EXPECT_NEAR(c.hz, c.zh + c.l, 1e-9);
  EXPECT_NEAR(*c.straightBefore, 1000 - c.t1, 1e-9);
  EXPECT_NEAR(*c.straightAfter, 1000 - c.t2, 1e-9);
  EXPECT_LT(layout.closureError, 1e-9);
  ExpectContinuous(layout);
  // By symmetry QZ lies on the bisector at E from JD.
  const Pose qz = PoseAtChainage(layout, c.qz);
  EXPECT_NEAR(Distance(qz.x, qz.y, c.x, c.y), c.e, 1e-8);
  // The route ends on ZD.
  const Pose end = EndPose(layout.elements.back());
  EXPECT_LT(Distance(end.x, end.y, c.x + 1000 * std::cos(70 * kDeg), c.y + 1000 * std::sin(70 * kDeg)), 1e-8);
}

TEST(JdMethod, AsymmetricCurveClosesOnBothTangents) {
  const double in = 200 * kDeg, alpha = 55 * kDeg, r = 300, ls1 = 80, ls2 = 150;
  const JdLayout layout = LayOutJd(OneCurve(in, -alpha, r, ls1, ls2));
  const CurveRow& c = layout.curves[0];
  EXPECT_FALSE(c.turnRight);
  EXPECT_NEAR(c.alpha, alpha, 1e-12);
  EXPECT_NEAR(c.l, ls1 + ls2 + r * (alpha - ls1 / (2 * r) - ls2 / (2 * r)), 1e-9);
  EXPECT_NEAR(c.j, c.t1 + c.t2 - c.l, 1e-9);
  EXPECT_GT(c.t2, c.t1);  // the longer transition pushes its tangent point out
  ExpectContinuous(layout);
  // ZH at T1 before JD and HZ at T2 after it, reached by walking the curve from ZH.
  const Pose zh = PoseAtChainage(layout, c.zh);
  EXPECT_NEAR(Distance(zh.x, zh.y, c.x, c.y), c.t1, 1e-9);
  const Pose hz = PoseAtChainage(layout, c.hz);
  const double out = in - alpha;
  EXPECT_LT(Distance(hz.x, hz.y, c.x + c.t2 * std::cos(out), c.y + c.t2 * std::sin(out)), 1e-9);
  EXPECT_NEAR(std::remainder(hz.azimuth - out, 2 * kPi), 0, 1e-12);
  // One centre from both ends of the arc, at R + p1 and R + p2 from the two tangents, E from JD.
  double cx1, cy1, cx2, cy2;
  CentreFrom(PoseAtChainage(layout, c.hy), r, false, cx1, cy1);
  CentreFrom(PoseAtChainage(layout, c.yh), r, false, cx2, cy2);
  EXPECT_LT(Distance(cx1, cy1, cx2, cy2), 1e-8);
  const double fromIn = std::fabs((cx1 - c.x) * -std::sin(in) + (cy1 - c.y) * std::cos(in));
  const double fromOut = std::fabs((cx1 - c.x) * -std::sin(out) + (cy1 - c.y) * std::cos(out));
  EXPECT_NEAR(fromIn, r + c.p1, 1e-8);
  EXPECT_NEAR(fromOut, r + c.p2, 1e-8);
  EXPECT_NEAR(Distance(cx1, cy1, c.x, c.y) - r, c.e, 1e-8);
  EXPECT_NEAR(c.qz, c.zh + c.l / 2, 1e-9);
}

TEST(JdMethod, PlainCircleAndStraightsBetweenCurves) {
  const std::vector<JdInput> points = {{"QD", 0, 0},
                                       {"JD1", 1000, 0, 800, 0, 0},
                                       {"JD2", 1500, 600, 600, 120, 90},
                                       {"ZD", 2600, 700}};
  const JdLayout layout = LayOutJd(points);
  ASSERT_EQ(layout.curves.size(), 2u);
  const CurveRow& a = layout.curves[0];
  const CurveRow& b = layout.curves[1];
  EXPECT_FALSE(a.hasEntryTransition);
  EXPECT_FALSE(a.hasExitTransition);
  EXPECT_EQ(a.hy, a.zh);
  EXPECT_EQ(a.yh, a.hz);
  EXPECT_NEAR(a.l, 800 * a.alpha, 1e-9);
  EXPECT_NEAR(*a.straightAfter, std::hypot(500, 600) - a.t2 - b.t1, 1e-9);
  EXPECT_NEAR(b.zh, a.hz + *a.straightAfter, 1e-9);
  EXPECT_FALSE(b.straightBefore.has_value());
  EXPECT_NEAR(*b.straightAfter, std::hypot(1100, 100) - b.t2, 1e-9);
  ExpectContinuous(layout);
  EXPECT_LT(layout.closureError, 1e-9);
}

TEST(JdMethod, TransitionsMeetingWithoutArc) {
  // beta1 + beta2 == alpha: HY and YH coincide, the curve is two clothoids.
  const double r = 200, ls = 100;
  const JdLayout layout = LayOutJd(OneCurve(0, 2 * ls / (2 * r), r, ls, ls));
  const CurveRow& c = layout.curves[0];
  EXPECT_NEAR(c.yh, c.hy, 1e-9);
  EXPECT_EQ(layout.elements.size(), 4u);  // line, clothoid, clothoid, line
  EXPECT_LT(layout.closureError, 1e-9);
}

struct Refusal { const char* what; std::vector<JdInput> points; const char* names; };

TEST(JdMethod, Refusals) {
  const double nan = std::nan("");
  const Refusal cases[] = {
      {"one point", {{"QD", 0, 0}}, "两个点"},
      {"equal consecutive points", {{"QD", 0, 0}, {"JD1", 0, 0, 100, 0, 0}, {"ZD", 10, 10}}, "QD 与 JD1"},
      {"R zero", {{"QD", 0, 0}, {"JD7", 100, 0, 0, 0, 0}, {"ZD", 100, 100}}, "JD7"},
      {"R negative", {{"QD", 0, 0}, {"JD7", 100, 0, -50, 0, 0}, {"ZD", 100, 100}}, "JD7"},
      {"R not a number", {{"QD", 0, 0}, {"JD7", 100, 0, nan, 0, 0}, {"ZD", 100, 100}}, "JD7"},
      {"negative transition", {{"QD", 0, 0}, {"JD7", 100, 0, 50, 0, -1}, {"ZD", 100, 100}}, "JD7"},
      {"alpha zero", {{"QD", 0, 0}, {"JD3", 100, 0, 50, 0, 0}, {"ZD", 300, 0}}, "JD3"},
      {"reversal", {{"QD", 0, 0}, {"JD3", 100, 0, 50, 0, 0}, {"ZD", 50, 0}}, "JD3"},
      {"transitions longer than the curve", {{"QD", 0, 0}, {"JD3", 1000, 0, 60, 100, 100}, {"ZD", 1000, 1000}}, "JD3"},
      {"overlapping tangents",
       {{"QD", 0, 0}, {"JD1", 1000, 0, 500, 0, 0}, {"JD2", 1000, 300, 500, 0, 0}, {"ZD", 2000, 300}},
       "JD1 与 JD2"},
      {"first tangent beyond QD", {{"QD", 0, 0}, {"JD1", 100, 0, 5000, 0, 0}, {"ZD", 100, 5000}}, "QD 与 JD1"},
      {"coordinate not finite", {{"QD", 0, 0}, {"JD1", nan, 0, 100, 0, 0}, {"ZD", 100, 100}}, "JD1"},
      {"coordinate huge", {{"QD", 0, 0}, {"JD1", 1e308, 0, 100, 0, 0}, {"ZD", 100, 100}}, "JD1"},
  };
  for (const Refusal& c : cases) {
    const std::string refusal = RefusalOf([&] { LayOutJd(c.points); });
    EXPECT_NE(refusal.find(c.names), std::string::npos) << c.what << ": " << refusal;
  }
}

// A turn that is round-off of the coordinates is refused like an exactly straight JD; the
// smallest turn α prints is still a curve.
TEST(JdMethod, TurnsBelowTheLastPrintedPlaceAreNoCurve) {
  const double second = kDeg / 3600;
  const struct {
    double turn;
    bool curve;
  } cases[] = {{0, false}, {1e-13, false}, {-3e-10, false}, {0.0099 * second, false}, {-0.0099 * second, false},
               {0.0101 * second, true}, {-0.0101 * second, true}, {1 * second, true}};
  for (const auto& c : cases) {
    const std::string refusal = RefusalOf([&] { LayOutJd(OneCurve(0.7, c.turn, 500, 0, 0)); });
    if (c.curve) {
      EXPECT_EQ(refusal, "(accepted)") << c.turn;
    } else {
      EXPECT_EQ(refusal, "JD1：转角小于 0.01″（与前后两点共线），不能设曲线。") << c.turn;
    }
  }
}

TEST(JdMethod, AMillionPointsAreRefusedAtOnce) {
  std::vector<JdInput> points(1'000'000);
  for (std::size_t i = 0; i < points.size(); ++i) points[i] = {"", static_cast<double>(i), 0.0, 1, 0, 0};
  EXPECT_THROW(LayOutJd(points), AlignmentError);
}

}  // namespace
}  // namespace survey::alignment
