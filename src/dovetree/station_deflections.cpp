#include "dovetree/station_deflections.h"

#include <cmath>

#include "common/number_reading.h"
#include "curve/stake_rows.h"

namespace dovetree {

namespace curve = survey::curve;

namespace {

DeflectionRow MagnitudeRow(RowKind kind, double station, double delta) {
  DeflectionRow row;
  row.kind = kind;
  row.station = station;
  // fabs also turns -0 into 0, which would otherwise split into "-0" parts.
  row.deflection = std::fabs(delta);
  return row;
}

DeflectionRow InstrumentRow(double M) {
  DeflectionRow row;
  row.kind = RowKind::Instrument;
  row.station = M;
  return row;
}

bool AllFinite(const StationElements& e) {
  for (float v : {e.p, e.q, e.T, e.L, e.E, e.ZH, e.HY, e.QZ, e.YH, e.HZ})
    if (!std::isfinite(v)) return false;
  return std::isfinite(e.beta0);
}

}  // namespace

std::optional<double> ReadStationText(std::string_view text) { return survey::ReadStrictNumber(text); }

std::optional<StationInput> ReadStationInput(std::string_view jd, std::string_view alpha, std::string_view radius,
                                             std::string_view ls, std::string_view station) {
  const auto design = curve::ReadCurveInput(jd, alpha, radius, ls);
  const auto M = ReadStationText(station);
  if (!design || !M || design->Ls == 0) return std::nullopt;
  return StationInput{*design, *M};
}

StationElements ComputeStationElements(const StationInput& in) {
  return curve::ComputeCurveElementsSinglePQ(in.curve);
}

double InstrumentDeflection(double u, double lA, double R, double Ls) {
  return 9.55 * std::fabs(u) / (Ls * R) * (u + 3 * lA);
}

std::optional<StationResult> ComputeStationDeflections(const StationInput& in) {
  StationResult out;
  const StationElements& e = out.elements = ComputeStationElements(in);
  if (!AllFinite(e)) return std::nullopt;
  const double R = in.curve.R, Ls = in.curve.Ls, M = in.M;
  const double lA = M - e.ZH;
  auto delta = [&](double station) { return InstrumentDeflection(station - M, lA, R, Ls); };

  out.rows.push_back(MagnitudeRow(RowKind::ZH, e.ZH, InstrumentDeflection(-lA, lA, R, Ls)));

  float stake = curve::FirstStake(e.ZH);
  if (stake <= e.HY && (static_cast<double>(e.HY) - stake) / 10 >= static_cast<double>(curve::kMaxStakes))
    return std::nullopt;
  // The instrument row follows the 10 m mark at or below the instrument; an instrument before
  // the first stake has no such mark in the list and gets no row.
  const double instrumentMark = 10 * std::trunc(M / 10);
  while (stake <= e.HY) {
    out.rows.push_back(MagnitudeRow(RowKind::Stake, stake, delta(stake)));
    if (static_cast<double>(stake) == instrumentMark) out.rows.push_back(InstrumentRow(M));
    const float next = stake + 10.0f;
    if (!(next > stake)) return std::nullopt;
    stake = next;
  }

  out.rows.push_back(MagnitudeRow(RowKind::HY, e.HY, delta(e.HY)));
  // An instrument station of astronomical size overflows δ; such a row could not be split.
  for (const DeflectionRow& row : out.rows)
    if (!std::isfinite(row.deflection)) return std::nullopt;
  return out;
}

std::optional<DeflectionRow> ComputeExtraStakeDeflection(const StationInput& in, double JZ) {
  const curve::CurveElements e = curve::ComputeCurveElementsDoublePQ(in.curve);
  if (!std::isfinite(e.ZH)) return std::nullopt;
  const double lA = in.M - e.ZH;
  const double delta = InstrumentDeflection(JZ - in.M, lA, in.curve.R, in.curve.Ls);
  if (!std::isfinite(delta)) return std::nullopt;
  DeflectionRow row;
  row.kind = RowKind::Extra;
  row.station = JZ;
  row.deflection = delta;
  return row;
}

}  // namespace dovetree
