#include "alignment/check/field_check.h"

#include <cmath>

#include "alignment/text_format.h"

namespace survey::alignment::check {

namespace {

double TenthsOfMillimetre(double metres) { return std::round(metres * 1e4); }

std::optional<double> Limit(std::string_view text) {
  const std::optional<double> v = ReadNumber(text);
  if (!v || std::fabs(*v) > 1000) return std::nullopt;
  return v;
}

}  // namespace

std::optional<ZTolerance> ParseZTolerance(std::string_view text) {
  const std::size_t slash = text.find('/');
  if (slash == std::string_view::npos) {
    const std::optional<double> v = Limit(text);
    if (!v || *v < 0) return std::nullopt;
    return ZTolerance{*v, -*v};
  }
  const std::optional<double> a = Limit(text.substr(0, slash));
  const std::optional<double> b = Limit(text.substr(slash + 1));
  if (!a || !b) return std::nullopt;
  ZTolerance t{std::max(*a, *b), std::min(*a, *b)};
  if (t.upper < 0 || t.lower > 0) return std::nullopt;
  return t;
}

std::optional<double> ParseXyTolerance(std::string_view text) {
  const std::optional<double> v = Limit(text);
  if (!v || *v < 0) return std::nullopt;
  return v;
}

bool WithinZ(double dz, const ZTolerance& tolerance) {
  const double d = TenthsOfMillimetre(dz);
  return d <= TenthsOfMillimetre(tolerance.upper) && d >= TenthsOfMillimetre(tolerance.lower);
}

bool WithinXy(double distance, double tolerance) {
  return TenthsOfMillimetre(distance) <= TenthsOfMillimetre(tolerance);
}

Deviation DeviationFrom(double intendedX, double intendedY, double azimuth, double x, double y) {
  const double dx = x - intendedX, dy = y - intendedY;
  const double c = std::cos(azimuth), s = std::sin(azimuth);
  return {dx * c + dy * s, -dx * s + dy * c, std::hypot(dx, dy)};
}

void CheckSummary::Add(std::size_t row, bool pass, const std::optional<double>& dz, const std::optional<double>& distance) {
  ++count;
  ++(pass ? passed : failed);
  if (dz && (!maxDz || std::fabs(*dz) > std::fabs(*maxDz))) {
    maxDz = *dz;
    maxDzRow = row;
  }
  if (distance && (!maxXy || *distance > *maxXy)) {
    maxXy = *distance;
    maxXyRow = row;
  }
}

}  // namespace survey::alignment::check
