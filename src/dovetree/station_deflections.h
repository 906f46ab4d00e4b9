// Deflection angles from an instrument station set up on the entering transition curve.
//
// The main calculation lists ZH, the 10 m stakes up to HY, the instrument station itself and
// HY, each with the deflection to be turned at the instrument and its reverse. Its shift p and
// tangent offset q are held in single precision (the shared curve elements keep them double),
// which changes the printed p, q and, through T, every station. The extra stake is computed
// from the shared curve elements unchanged. All functions are pure.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "common/notation.h"
#include "curve/curve_elements.h"

namespace dovetree {

// The design data and the instrument station as numbers, read from the fields.
struct StationInput {
  survey::curve::CurveInput curve;  // JD, packed alpha, R, Ls
  double M = 0;                     // station of the instrument (置镜点)
};

// Reads the texts of JD, α, R, Ls and M. nullopt refuses the input: a field that is not a
// number, R = 0 or Ls = 0 (every deflection divides by them), or a straight angle alpha (no
// tangent length).
std::optional<StationInput> ReadStationInput(std::string_view jd, std::string_view alpha, std::string_view radius,
                                             std::string_view ls, std::string_view station);

// A station text read as a number (JZ, the extra stake); nullopt when it is not one.
std::optional<double> ReadStationText(std::string_view text);

// Curve elements of the main calculation; p and q single precision, beta0 double.
using StationElements = survey::curve::CurveElementsSinglePQ;

StationElements ComputeStationElements(const StationInput& input);

// Deflection at the instrument station to a point u metres ahead of it along the curve (u < 0
// behind), with the instrument lA metres past ZH, in decimal degrees, signed:
// 9.55 · |u| · (u + 3 · lA) / (R · Ls). The factor is the field formula's 9.55, not 180 / (6π).
double InstrumentDeflection(double u, double lA, double R, double Ls);

enum class RowKind { ZH, Stake, Instrument, HY, Extra };

struct DeflectionRow {
  RowKind kind = RowKind::Stake;
  // ZH, HY and the stakes are single-precision stations; M and JZ are read from their fields.
  double station = 0;
  // Decimal degrees as listed: a magnitude (never -0, so its split parts are never negative)
  // except for the extra stake, which keeps its sign. The reverse is 360 − deflection.
  double deflection = 0;
  survey::Precision StationPrecision() const {
    return kind == RowKind::Instrument || kind == RowKind::Extra ? survey::Precision::Double
                                                                 : survey::Precision::Single;
  }
};

struct StationResult {
  StationElements elements;
  std::vector<DeflectionRow> rows;  // ZH, stakes (instrument row after its 10 m mark), HY
};

// nullopt when an element or a deflection has no finite value or the stake list cannot be
// built: more stakes than the shared curve list accepts, or stations so large that adding
// 10 m no longer changes a single-precision value.
std::optional<StationResult> ComputeStationDeflections(const StationInput& input);

// The extra stake JZ seen from the instrument: the elements recomputed with the shared curve
// computation (p and q in double), δ with its sign kept. nullopt when ZH or δ is not finite.
std::optional<DeflectionRow> ComputeExtraStakeDeflection(const StationInput& input, double JZ);

}  // namespace dovetree
