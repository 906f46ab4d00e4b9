#include "tallyfen/curve/curve_stakes.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "common/number_reading.h"
#include "curve/curve_elements.h"

namespace tallyfen {

using survey::PlanePoint;
using survey::RoundCoordinate;
using survey::SurveyPi;

namespace {

// Beyond this many pairs the series only grows (l far longer than the clothoid allows);
// the result is then not finite and the computation is refused by its caller.
constexpr int kMaxSeriesPairs = 200;

float TruncTen(float v) {
  const float tenth = v / 10.0f;
  return std::trunc(tenth) * 10.0f;
}

PlanePoint RoundShown(PlanePoint p) { return {RoundCoordinate(p.x, kJingdu), RoundCoordinate(p.y, kJingdu)}; }

double WrapOnce(double a) {
  if (a < 0) return a + 360;
  if (a > 360) return a - 360;
  return a;
}

enum class Segment { Entry, Arc, Exit, Circle };

// Centre of a stake and the azimuths of its left and right side stakes.
struct Located {
  PlanePoint centre;
  double leftAz = 0;
  double rightAz = 0;
};

// Everything a stake needs that does not depend on its station.
struct Geometry {
  const CurveCoordInput& in;
  CurveStationsResult curve;
  double sigma = 1;  // +1 when the azimuths grow along the curve (right turn), -1 otherwise
  double A0 = 0;     // azimuth of the first tangent, ZH toward JD, in degrees
  double A2 = 0;     // azimuth of the second tangent, JD toward HZ
  PlanePoint hzPoint;  // HZ, at T from JD along the second tangent
  std::optional<PlanePoint> hy;  // rounded HY centre, curves with transitions only

  explicit Geometry(const CurveCoordInput& input) : in(input), curve(ComputeCurveStations(input)) {
    sigma = in.turn == Turn::Right ? 1.0 : -1.0;
    A0 = survey::zbfs(in.zhX, in.zhY, in.jdX, in.jdY).azimuth;
    A2 = A0 + sigma * curve.elements.alphaDeg;
    if (A2 < 0) {
      A2 += 360;
    } else if (A2 > 360) {
      A2 -= 360;
    }
    const double T = curve.elements.T;
    const double a2 = (A2 * SurveyPi) / 180;
    hzPoint = {in.jdX + T * std::cos(a2), in.jdY + T * std::sin(a2)};
    if (!curve.stations.PlainCircle()) hy = Locate(Segment::Entry, curve.stations.HY).centre;
  }

  double Beta(double l) const {
    const double ratio = l / in.ls;
    return 3 * ((ratio * ratio) * (curve.elements.beta0 / 3));
  }

  Located Locate(Segment segment, double s) const {
    const CurveStations& st = curve.stations;
    const double beta0 = curve.elements.beta0;
    Located out;
    switch (segment) {
      case Segment::Entry: {
        const double l = s - st.ZH;
        const TransitionPoint t = TransitionXY(l, in.R * in.ls);
        const double a0 = (A0 * SurveyPi) / 180;
        const double footX = in.zhX + t.x * std::cos(a0);
        const double footY = in.zhY + t.x * std::sin(a0);
        double square = A0 + sigma * 90;
        if (square > 360) square -= 360;
        out.centre = RoundShown(survey::zbzs(footX, footY, square, t.y));
        const double theta = A0 + sigma * Beta(l);
        out.leftAz = WrapOnce(theta - 90);
        out.rightAz = WrapOnce(theta + 90);
        break;
      }
      case Segment::Arc: {
        const double l = s - st.HY;
        const double delta = (l * 90) / (in.R * SurveyPi);
        const PlanePoint from = hy.value_or(PlanePoint{in.zhX, in.zhY});
        out.centre = RoundShown(survey::zbzs(from.x, from.y, A0 + sigma * (beta0 + delta), ybc(l, in.R).chord));
        const double theta = A0 + sigma * (beta0 + 2 * delta);
        out.leftAz = WrapOnce(theta - 90);
        out.rightAz = WrapOnce(theta + 90);
        break;
      }
      case Segment::Exit: {
        const double l = st.HZ - s;
        const TransitionPoint t = TransitionXY(l, in.R * in.ls);
        double back = A2 + 180;
        if (back > 360) back -= 360;
        const double b = (back * SurveyPi) / 180;
        const double footX = hzPoint.x + t.x * std::cos(b);
        const double footY = hzPoint.y + t.x * std::sin(b);
        out.centre = RoundShown(survey::zbzs(footX, footY, back - sigma * 90, t.y));
        // Facing along increasing stations the back tangent points behind, so left and right
        // swap their sides of it.
        const double thetaBack = back - sigma * Beta(l);
        out.leftAz = WrapOnce(thetaBack + 90);
        out.rightAz = WrapOnce(thetaBack - 90);
        break;
      }
      case Segment::Circle: {
        const double l = s - st.ZH;
        const double delta = (l * 90) / (in.R * SurveyPi);
        out.centre = RoundShown(survey::zbzs(in.zhX, in.zhY, A0 + sigma * delta, ybc(l, in.R).chord));
        const double theta = A0 + 2 * sigma * delta;
        out.leftAz = WrapOnce(theta - 90);
        out.rightAz = WrapOnce(theta + 90);
        break;
      }
    }
    return out;
  }

  StakePoint Stake(StakeKind kind, double station, const Located& at) const {
    StakePoint p;
    p.kind = kind;
    p.station = station;
    p.centre = at.centre;
    if (in.offset > 0) {
      p.left = RoundShown(survey::zbzs(at.centre.x, at.centre.y, at.leftAz, in.offset));
      p.right = RoundShown(survey::zbzs(at.centre.x, at.centre.y, at.rightAz, in.offset));
    }
    return p;
  }

  StakePoint ZhRow() const {
    Located at;
    at.centre = {in.zhX, in.zhY};
    at.leftAz = WrapOnce(A0 - 90);
    at.rightAz = WrapOnce(A0 + 90);
    return Stake(StakeKind::ZH, curve.stations.ZH, at);
  }

  // Segment of a stake of the main list, by its single-precision station.
  Segment SegmentOf(float s) const {
    const CurveStations& st = curve.stations;
    if (st.PlainCircle()) return Segment::Circle;
    if (s <= st.HY) return Segment::Entry;
    if (s <= st.YH) return Segment::Arc;
    return Segment::Exit;
  }
};

struct MainPoint {
  float station;
  StakeKind kind;
};

// Main points in list order: by station, equal stations keeping the order HY, QZ, YH, HZ.
std::vector<MainPoint> MainPoints(const CurveStations& st) {
  std::vector<MainPoint> mains;
  if (st.PlainCircle()) {
    mains = {{st.QZ, StakeKind::QZ}, {st.HZ, StakeKind::HZ}};
  } else {
    mains = {{st.HY, StakeKind::HY}, {st.QZ, StakeKind::QZ}, {st.YH, StakeKind::YH}, {st.HZ, StakeKind::HZ}};
  }
  std::stable_sort(mains.begin(), mains.end(), [](const MainPoint& a, const MainPoint& b) { return a.station < b.station; });
  return mains;
}

// Number of candidate whole stations F, F + 10, ... up to HZ (as a double, for the size check).
double WholeStationCount(const CurveStations& st) {
  if (!(st.F <= st.HZ)) return 0;
  return std::floor((static_cast<double>(st.HZ) - st.F) / 10) + 1;
}

// A station as its 7-significant-digit text reads back: how the extra stake compares stations.
double AsShown(float v) { return survey::ReadStrictNumber(survey::PlainNumberText(v)).value_or(v); }

}  // namespace

CurveStationsResult ComputeCurveStations(const CurveCoordInput& in) {
  CurveStationsResult r;
  CurveElements& e = r.elements;
  CurveStations& st = r.stations;
  e = survey::curve::ComputeCurveElementsRoundedPQ(in.zhStation, in.alpha.degrees, in.R, in.ls);
  survey::curve::CopyMainStations(st, e);
  st.F = TruncTen(st.ZH) + 10.0f;
  st.rHY = TruncTen(st.HY);
  st.rQZ = TruncTen(st.QZ);
  st.rYH = TruncTen(st.YH);
  st.rHZ = TruncTen(st.HZ);
  return r;
}

TransitionPoint TransitionXY(double l, double C) {
  TransitionPoint out;
  const double twoC = 2 * C;
  double factX = 1;  // (2i - 2)!
  double factY = 1;  // (2i - 1)!
  for (int i = 1; i <= kMaxSeriesPairs; ++i) {
    if (i > 1) {
      factX = factY * (2 * i - 2);
      factY = factX * (2 * i - 1);
    }
    const double sign = std::pow(-l, i - 1);
    const double xTerm = sign * std::pow(l, 3 * i - 2) / ((4 * i - 3) * factX * std::pow(twoC, 2 * i - 2));
    const double yTerm = sign * std::pow(l, 3 * i) / ((4 * i - 1) * factY * std::pow(twoC, 2 * i - 1));
    out.x += xTerm;
    out.y += yTerm;
    out.pairs = i;
    if (std::fabs(xTerm) <= 0.0005 && std::fabs(yTerm) <= 0.0005) break;
    if (!std::isfinite(out.x) || !std::isfinite(out.y)) break;
  }
  return out;
}

ArcChord ybc(double l, double R) {
  // This routine has always used the shorter constant; the two uses cancel.
  constexpr double kPi = 3.1415926;
  ArcChord out;
  out.c = (l * 90) / (R * kPi);
  out.chord = 2 * R * std::sin(out.c * kPi / 180);
  return out;
}

CurveRefusal CheckCurveSize(const CurveStations& st, std::size_t* rows) {
  for (float v : {st.ZH, st.HY, st.QZ, st.YH, st.HZ, st.F}) {
    if (!std::isfinite(v)) return CurveRefusal::NotFinite;
  }
  const double whole = WholeStationCount(st);
  const double total = 1 + whole + MainPoints(st).size();
  if (total > static_cast<double>(kMaxCurveRows)) return CurveRefusal::TooManyRows;
  if (rows != nullptr) *rows = static_cast<std::size_t>(total);
  return CurveRefusal::None;
}

CurveRunResult BuildCurveStakes(const CurveCoordInput& in, const std::function<void(const StakePoint&)>& sink) {
  const Geometry g(in);
  CurveRunResult result;
  result.curve = g.curve;
  result.hyCentre = g.hy;
  const CurveStations& st = g.curve.stations;
  auto emit = [&](const StakePoint& p) {
    sink(p);
    ++result.rows;
  };
  auto emitAt = [&](StakeKind kind, float s) { emit(g.Stake(kind, s, g.Locate(g.SegmentOf(s), s))); };

  emit(g.ZhRow());
  const std::vector<MainPoint> mains = MainPoints(st);
  auto isMain = [&](float s) {
    return std::any_of(mains.begin(), mains.end(), [s](const MainPoint& m) { return m.station == s; });
  };
  const double wholeCount = std::min(WholeStationCount(st), static_cast<double>(kMaxCurveRows));
  std::size_t next = 0;  // next main point to list
  float lastWhole = 0;
  for (double k = 0; k < wholeCount; ++k) {
    // Every whole station is F + 10k rounded once; far out, where a float can no longer step
    // by 10, stations that round onto an earlier one are left out rather than repeated.
    const float s = static_cast<float>(static_cast<double>(st.F) + 10 * k);
    if (s > st.HZ || (k > 0 && !(s > lastWhole))) continue;
    lastWhole = s;
    while (next < mains.size() && mains[next].station <= s) {
      emitAt(mains[next].kind, mains[next].station);
      ++next;
    }
    if (!isMain(s)) emitAt(StakeKind::Whole, s);
  }
  for (; next < mains.size(); ++next) emitAt(mains[next].kind, mains[next].station);
  return result;
}

std::vector<StakePoint> BuildCurveStakes(const CurveCoordInput& in) {
  std::vector<StakePoint> rows;
  BuildCurveStakes(in, [&rows](const StakePoint& p) { rows.push_back(p); });
  return rows;
}

std::optional<StakePoint> ComputeExtraStakePoint(const CurveCoordInput& in, double K) {
  const Geometry g(in);
  const CurveStations& st = g.curve.stations;
  if (CheckCurveSize(st) == CurveRefusal::NotFinite) return std::nullopt;
  // The ends as stored and as shown both count: a station typed as the grid shows HZ
  // (2095.896 for a stored 2095.8959) must not fall silently outside the curve.
  if (K < std::min<double>(st.ZH, AsShown(st.ZH)) || K > std::max<double>(st.HZ, AsShown(st.HZ))) return std::nullopt;
  Segment segment = Segment::Exit;
  if (AsShown(st.HY) == AsShown(st.ZH)) {
    segment = Segment::Circle;
  } else if (K <= AsShown(st.HY)) {
    // Also a K between ZH and its shown text, which the text comparison alone would drop.
    segment = Segment::Entry;
  } else if (K <= AsShown(st.YH)) {
    segment = Segment::Arc;
  }
  return g.Stake(StakeKind::Extra, K, g.Locate(segment, K));
}

}  // namespace tallyfen
