#include "curve/stake_rows.h"

#include <array>
#include <cmath>

#include "common/number_reading.h"

namespace survey::curve {

namespace {

// Arc deflection: half the central angle of the arc from `from` to `to`, in degrees.
double ArcDeflection(float from, float to, double R) {
  const float d = to - from;
  const float d90 = d * 90.0f;
  return static_cast<double>(d90) / (SurveyPi * R);
}

// Transition deflection at distance d from the transition's end point.
double TransitionDeflection(float d, const CurveInput& in, const CurveElements& e) {
  const double x = static_cast<double>(d) / in.Ls;
  return (x * x) * (e.beta0 / 3);
}

}  // namespace

double DeflectionAt(float l, const CurveInput& in, const CurveElements& e) {
  if (e.HY != e.ZH) {
    if (l <= e.HY) return TransitionDeflection(l - e.ZH, in, e);
    if (l > e.YH) return TransitionDeflection(e.HZ - l, in, e);
    if (l <= e.QZ) return ArcDeflection(e.HY, l, in.R);
    return ArcDeflection(l, e.YH, in.R);
  }
  if (l <= e.QZ) return ArcDeflection(e.ZH, l, in.R);
  return ArcDeflection(l, e.HZ, in.R);
}

float Bracket(float station) { return std::trunc(station / kStakeInterval) * kStakeInterval; }

float FirstStake(float ZH) { return Bracket(ZH) + kStakeInterval; }

std::optional<std::size_t> CountStakes(const CurveElements& e) {
  if (!std::isfinite(e.ZH) || !std::isfinite(e.HZ)) return std::nullopt;
  std::size_t n = 0;
  for (float l = FirstStake(e.ZH); l <= e.HZ && n <= kMaxStakes; l += kStakeInterval) {
    if (l + kStakeInterval == l) return std::nullopt;
    ++n;
  }
  return n;
}

StakeRow MainPointRow(RowKind kind, const CurveInput& in, const CurveElements& e) {
  switch (kind) {
    case RowKind::Start:
      return {kind, e.ZH, 0};
    case RowKind::End:
      return {kind, e.HZ, 0};
    case RowKind::HY:
      return {kind, e.HY, e.beta0 / 3};
    case RowKind::YH:
      return {kind, e.YH, e.beta0 / 3};
    case RowKind::QZ:
      // Always from HY (from ZH without transitions, where the two coincide).
      return {kind, e.QZ, ArcDeflection(e.HY, e.QZ, in.R)};
    case RowKind::Stake:
    case RowKind::Extra:
      break;
  }
  return {kind, 0, 0};
}

std::vector<StakeRow> BuildStakeRows(const CurveInput& in, const CurveElements& e) {
  struct Pending {
    RowKind kind;
    float bracket;
    bool listed;
  };
  std::vector<Pending> mains;
  if (in.Ls != 0) mains.push_back({RowKind::HY, Bracket(e.HY), false});
  mains.push_back({RowKind::QZ, Bracket(e.QZ), false});
  if (in.Ls != 0) mains.push_back({RowKind::YH, Bracket(e.YH), false});

  std::vector<StakeRow> rows;
  const std::size_t stakes = CountStakes(e).value_or(0);
  rows.reserve(std::min(stakes, kMaxStakes) + 5);
  rows.push_back(MainPointRow(RowKind::Start, in, e));

  const float first = FirstStake(e.ZH);
  auto emitWhere = [&](auto&& matches) {
    for (Pending& m : mains) {
      if (!m.listed && matches(m.bracket)) {
        rows.push_back(MainPointRow(m.kind, in, e));
        m.listed = true;
      }
    }
  };
  emitWhere([&](float bracket) { return bracket < first; });

  float l = first;
  for (std::size_t i = 0; i < stakes && i < kMaxStakes; ++i, l += kStakeInterval) {
    rows.push_back({RowKind::Stake, l, DeflectionAt(l, in, e)});
    emitWhere([&](float bracket) { return bracket == l; });
  }
  emitWhere([](float) { return true; });
  rows.push_back(MainPointRow(RowKind::End, in, e));
  return rows;
}

bool ElementsFinite(const CurveElements& e) {
  for (double v : {e.p, e.q, e.beta0, double{e.T}, double{e.L}, double{e.E}, double{e.ZH}, double{e.HY},
                   double{e.QZ}, double{e.YH}, double{e.HZ}}) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

std::optional<CurveListing> ComputeCurveListing(const CurveInput& input) {
  CurveListing out;
  out.elements = ComputeCurveElementsDoublePQ(input);
  if (!ElementsFinite(out.elements)) return std::nullopt;
  const auto stakes = CountStakes(out.elements);
  if (!stakes || *stakes > kMaxStakes) return std::nullopt;
  out.rows = BuildStakeRows(input, out.elements);
  for (const StakeRow& r : out.rows) {
    if (!std::isfinite(r.deflection)) return std::nullopt;
  }
  return out;
}

std::optional<StakeRow> ComputeExtraStake(const CurveInput& input, std::string_view stationText) {
  const auto value = ReadStrictNumber(stationText);
  if (!value) return std::nullopt;
  const float P = static_cast<float>(*value);
  if (!std::isfinite(P)) return std::nullopt;
  const CurveElements e = ComputeCurveElementsDoublePQ(input);
  if (!ElementsFinite(e)) return std::nullopt;
  const double J = DeflectionAt(P, input, e);
  if (!std::isfinite(J)) return std::nullopt;
  return StakeRow{RowKind::Extra, P, J};
}

}  // namespace survey::curve
