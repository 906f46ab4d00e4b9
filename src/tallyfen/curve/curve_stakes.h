// Plane coordinates of the centre-line and side stakes of a horizontal curve: a circular arc
// of radius R between two equal clothoid transitions of length Ls (a plain circle when Ls = 0),
// set out from the ZH point along the tangent toward JD.
//
// The precision of every value is part of the result: stations, T and L are 32-bit floats,
// the rest doubles, and coordinates pass through zbzs (a tenth of a millimetre) before they are
// rounded to millimetres, in that order. All functions are pure.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "common/coordinate.h"
#include "common/notation.h"
#include "curve/curve_elements.h"

namespace tallyfen {

// Which way the route turns along the curve; it decides the sign sigma of every azimuth change.
enum class Turn { Left, Right };

// The largest transition length whose product Ls * 90 still fits a 16-bit integer.
inline constexpr int kMaxTransitionLength = 364;

// jingdu (精度): every shown or stored coordinate is rounded to 1/kJingdu m, millimetres.
inline constexpr double kJingdu = 1000;

struct CurveCoordInput {
  double zhX = 0, zhY = 0;  // ZH point as read from its fields
  double jdX = 0, jdY = 0;  // JD point (for a plain circle any point on the ZH->JD tangent)
  double zhStation = 0;
  survey::PackedAngle alpha;  // the deflection as read from its packed D.MMSS text
  double R = 0;
  std::int16_t ls = 0;  // |ls| <= kMaxTransitionLength
  double offset = 0;    // side stakes only when > 0
  Turn turn = Turn::Left;
};

// p and q rounded to four places, T and L floats (the main-point stations are copied into
// CurveStations, where the stake list reads them).
using CurveElements = survey::curve::CurveElementsRoundedPQ;

struct CurveStations {
  float ZH = 0, HY = 0, QZ = 0, YH = 0, HZ = 0;
  // The whole 10 m stations the stake list steps between.
  float F = 0, rHY = 0, rQZ = 0, rYH = 0, rHZ = 0;
  // HY equal to ZH: the curve is set out as a plain circle.
  bool PlainCircle() const { return HY == ZH; }
};

struct CurveStationsResult {
  CurveElements elements;
  CurveStations stations;
};

CurveStationsResult ComputeCurveStations(const CurveCoordInput& in);

// Local clothoid coordinates at arc length l from the start of a transition with parameter
// C = R * Ls: x along the tangent, y square to it toward the inside of the curve.
struct TransitionPoint {
  double x = 0;
  double y = 0;
  int pairs = 0;  // pairs of series terms summed
};
TransitionPoint TransitionXY(double l, double C);

// ybc (圆弧弦长, arc chord): chord of a circular arc of length l and radius R, and the
// half-angle c in degrees.
struct ArcChord {
  double chord = 0;
  double c = 0;
};
ArcChord ybc(double l, double R);

enum class StakeKind { Whole, ZH, HY, QZ, YH, HZ, Extra };

struct StakePoint {
  StakeKind kind = StakeKind::Whole;
  // A main-computation stake holds its single-precision station; an extra stake holds K.
  double station = 0;
  survey::PlanePoint centre;  // on the ZH row the point exactly as read, not recomputed
  std::optional<survey::PlanePoint> left, right;
};

// What the main computation leaves besides its rows.
struct CurveRunResult {
  CurveStationsResult curve;
  // Rounded centre of HY when the curve has transitions (hydzb1_x, hydzb1_y).
  std::optional<survey::PlanePoint> hyCentre;
  std::size_t rows = 0;
};

// Why a curve is not set out.
enum class CurveRefusal { None, NotFinite, TooManyRows };

// The rows BuildCurveStakes would produce, without producing them; refuses curves whose
// stations are not finite numbers and curves of more than kMaxCurveRows rows. The cap keeps a
// run within seconds, export and table included (about 3 s and 60 MB end to end in batch mode
// on the development machine, batch_caps_bench).
inline constexpr std::size_t kMaxCurveRows = 100'000;
CurveRefusal CheckCurveSize(const CurveStations& st, std::size_t* rows = nullptr);

// The stake list: the ZH row, then the whole 10 m stations F, F + 10, ... up to HZ merged with
// the main points (HY, QZ, YH, HZ; QZ and HZ on a plain circle) in increasing station order. A
// whole station equal to a main point is listed once, as that main point. Each row goes to
// `sink` complete as soon as it is computed. The caller checks CheckCurveSize first.
CurveRunResult BuildCurveStakes(const CurveCoordInput& in, const std::function<void(const StakePoint&)>& sink);
std::vector<StakePoint> BuildCurveStakes(const CurveCoordInput& in);

// The stake at station K, or nothing when K lies before ZH or beyond HZ. The HY point of the
// arc is worked out from `in` itself, so no earlier main computation is needed.
std::optional<StakePoint> ComputeExtraStakePoint(const CurveCoordInput& in, double K);

}  // namespace tallyfen
