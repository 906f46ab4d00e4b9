#include "quenby/vertical_curve.h"

#include <charconv>
#include <cmath>

#include "common/notation.h"

namespace quenby {

namespace {

constexpr std::string_view kCrLf = "\r\n";

std::string Spaces(std::size_t n) { return std::string(n, ' '); }

std::string Repeat(std::string_view piece, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += piece;
  return out;
}

}  // namespace

bool CurveElements::Finite() const {
  return std::isfinite(t) && std::isfinite(beginStation) && std::isfinite(endStation) &&
         std::isfinite(beginElevation) && std::isfinite(endElevation);
}

CurveElements ComputeElements(const CurveInput& in, CurveState& state) {
  state.r = in.r;
  state.dlti = in.i1 - in.i2;
  CurveElements e;
  e.dlti = state.dlti;
  e.t = std::fabs(state.dlti) * in.r / 2;
  e.beginStation = in.jd - e.t;
  e.endStation = in.jd + e.t;
  e.beginElevation = in.h - e.t * in.i1;
  e.endElevation = in.h + e.t * in.i2;
  return e;
}

void AddCurveOffset(const CurveState& state, double& elevation, double x) {
  const double twoR = state.r + state.r;
  const double y = x * x / twoR;
  if (state.dlti >= 0) {
    elevation = elevation - y;
  } else {
    elevation = elevation + y;
  }
}

double StakeElevation(const CurveInput& in, const CurveElements& e, CurveState& state, double s) {
  double grade = 0;
  if (s <= in.jd) {
    state.x = s - e.beginStation;
    grade = in.h - (in.jd - s) * in.i1;
  } else {
    state.x = e.endStation - s;
    grade = in.h + (s - in.jd) * in.i2;
  }
  AddCurveOffset(state, grade, state.x);
  return grade;
}

double FirstStake(double beginStation) {
  const double q = beginStation / 10;
  const double whole = std::trunc(q);
  const double f = q - whole;
  return f <= 0.5 ? 10 * whole + 5 : 10 * whole + 10;
}

void PadAfterStation(CurveState& state, std::string_view stationText) {
  const std::size_t n = survey::Utf8Length(stationText);
  state.kg = n < 18 ? Spaces(18 - n) : std::string();
}

void PadAfterStation(CurveState& state, double station) { PadAfterStation(state, StationText(station)); }

double RoundElevation(double elevation) { return survey::RoundHalfEven(elevation * 1000) / 1000; }

std::string ListingNumberText(double value) {
  // The shortest text that reads back as the value is the 15-digit text whenever it has at
  // most 15 significant digits: a 15-digit decimal that close to the value is the nearest one.
  // It is much faster than rounding through printf, which a long listing feels.
  const double magnitude = std::fabs(value);
  if (value != 0 && magnitude >= 1e-5 && magnitude < 1e15) {
    char buf[48];
    const auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    if (result.ec == std::errc()) {
      int significant = 0;
      bool leading = true;
      for (const char* p = buf; p != result.ptr; ++p) {
        if (*p < '0' || *p > '9') continue;
        if (leading && *p == '0') continue;
        leading = false;
        ++significant;
      }
      if (significant <= 15) return std::string(buf, result.ptr);
    }
  }
  return survey::PlainNumberText(value);
}

std::string StationText(double station) { return ListingNumberText(station); }

std::string ElevationText(double elevation) { return ListingNumberText(RoundElevation(elevation)); }

std::string SolidRule() { return Spaces(8) + Repeat("─", 19) + std::string(kCrLf); }
std::string DashedRule() { return Spaces(8) + Repeat("┄", 19) + std::string(kCrLf); }

std::string HeaderLines() {
  return Spaces(10) + "桩  号" + Spaces(22) + "高  程" + std::string(kCrLf) + SolidRule();
}

std::string DataLine(std::string_view stationText, const std::string& kg, double elevation) {
  std::string line = Spaces(10);
  line += stationText;
  line += kg;
  line += Spaces(10);
  line += ElevationText(elevation);
  line += kCrLf;
  return line;
}

std::string ExtraStakeLine(std::string_view typedStation, const std::string& kg, double elevation) {
  std::string line = Spaces(6) + "加桩";
  line += typedStation;
  line += kg;
  line += Spaces(10);
  line += ElevationText(elevation);
  line += kCrLf;
  return line;
}

ListingOutcome BuildListing(const CurveInput& in, double spacing, CurveState& state, std::string& out,
                            std::size_t maxLines) {
  const CurveElements e = ComputeElements(in, state);
  // Elevations are listed in millimetres: a finite one can still overflow there.
  if (!std::isfinite(RoundElevation(e.beginElevation)) || !std::isfinite(RoundElevation(e.endElevation))) {
    return ListingOutcome::NotFinite;
  }
  const double first = FirstStake(e.beginStation);
  // Header (2), begin (2), end (2), and two lines per stake.
  const std::size_t fixedLines = 6;
  if (maxLines < fixedLines) return ListingOutcome::TooManyLines;
  const std::size_t maxStakes = (maxLines - fixedLines) / 2;
  if (first < e.endStation) {
    const double estimate = std::ceil((e.endStation - first) / spacing);
    // One more than the estimate leaves room for the drift of the added spacing.
    if (!(estimate <= static_cast<double>(maxStakes) + 1)) return ListingOutcome::TooManyLines;
  }

  std::string text;
  if (first < e.endStation) text.reserve(static_cast<std::size_t>((e.endStation - first) / spacing + 4) * 120);
  text += HeaderLines();
  PadAfterStation(state, e.beginStation);
  text += DataLine(StationText(e.beginStation), state.kg, e.beginElevation);
  text += DashedRule();
  // Each stake is the first plus a whole multiple of the spacing: adding the spacing stake by
  // stake would let the rounding drift into the printed stations (1250.29999999997).
  for (std::size_t k = 0;; ++k) {
    const double s = first + static_cast<double>(k) * spacing;
    if (!(s < e.endStation)) break;
    if (k >= maxStakes) return ListingOutcome::TooManyLines;
    const double elevation = StakeElevation(in, e, state, s);
    if (!std::isfinite(RoundElevation(elevation))) return ListingOutcome::NotFinite;
    const std::string station = StationText(s);
    PadAfterStation(state, station);
    text += DataLine(station, state.kg, elevation);
    text += DashedRule();
  }
  PadAfterStation(state, e.endStation);
  text += DataLine(StationText(e.endStation), state.kg, e.endElevation);
  text += DashedRule();
  out = std::move(text);
  return ListingOutcome::Done;
}

std::string PrintedText(std::string_view listing, int copies) {
  std::string out;
  for (int i = 0; i < copies; ++i) {
    out += listing;
    out += kCrLf;
  }
  return out;
}

}  // namespace quenby
