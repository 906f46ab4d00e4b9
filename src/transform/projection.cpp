#include "transform/projection.h"

#include <proj.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <utility>

#include "common/number_reading.h"
#include "transform/transform_error.h"

namespace survey::transform {

namespace {

// Full-precision π: PROJ works in radians of it, and so must the conversions around it.
constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

std::string Exact(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

// A PROJ context of its own (thread safety), with the network and logging off: a definition
// from "+proj" parameters needs neither, and a failure is reported by the caller in Chinese.
struct Context {
  PJ_CONTEXT* ctx = nullptr;
  PJ* pj = nullptr;
  explicit Context(const std::string& definition) {
    ctx = proj_context_create();
    if (!ctx) Refuse("无法初始化投影库。");
    proj_log_level(ctx, PJ_LOG_NONE);
    // Without proj.db PROJ says so on stderr, though a "+proj" definition never needs it.
    proj_log_func(ctx, nullptr, [](void*, int, const char*) {});
    proj_context_set_enable_network(ctx, 0);
    pj = proj_create(ctx, definition.c_str());
    if (!pj) {
      const std::string reason = proj_context_errno_string(ctx, proj_context_errno(ctx));
      proj_context_destroy(ctx);
      Refuse("投影参数无效（" + reason + "）：" + definition);
    }
  }
  ~Context() {
    if (pj) proj_destroy(pj);
    if (ctx) proj_context_destroy(ctx);
  }
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;
};

std::string EllipsoidParameters(const Ellipsoid& e) { return " +a=" + Exact(e.a) + " +rf=" + Exact(e.invf); }

}  // namespace

Ellipsoid Cgcs2000() { return {6378137.0, 298.257222101}; }
Ellipsoid Wgs84() { return {6378137.0, 298.257223563}; }
Ellipsoid Beijing1954() { return {6378245.0, 298.3}; }
Ellipsoid Xian1980() { return {6378140.0, 298.257}; }

Ellipsoid ParseEllipsoid(std::string_view text) {
  if (text == "cgcs2000") return Cgcs2000();
  if (text == "wgs84") return Wgs84();
  if (text == "bj54") return Beijing1954();
  if (text == "xian80") return Xian1980();
  const std::size_t comma = text.find(',');
  const auto bad = [&] {
    Refuse("椭球应为 cgcs2000、wgs84、bj54、xian80 或“长半轴,扁率倒数”：“" + std::string(text) + "”。");
  };
  if (comma == std::string_view::npos) bad();
  const std::optional<double> a = ReadStrictNumber(text.substr(0, comma));
  const std::optional<double> invf = ReadStrictNumber(text.substr(comma + 1));
  if (!a || !invf) bad();
  if (!(*a >= 6.0e6 && *a <= 7.0e6)) Refuse("椭球长半轴应在 6000000 到 7000000 m 之间：“" + std::string(text) + "”。");
  if (!(*invf >= 250 && *invf <= 350)) Refuse("椭球扁率倒数应在 250 到 350 之间：“" + std::string(text) + "”。");
  return {*a, *invf};
}

TransverseMercatorDefinition GaussKruger::Definition() const {
  TransverseMercatorDefinition d;
  // The projection surface raised by H keeps the flattening: grid distances then match
  // distances on the ground at that height.
  d.ellipsoid = {ellipsoid.a + height, ellipsoid.invf};
  d.centralMeridian = centralMeridian;
  d.scale = scale;
  return d;
}

struct TransverseMercator::Impl {
  explicit Impl(const std::string& definition) : context(definition) {}
  Context context;
};

TransverseMercator::TransverseMercator(const TransverseMercatorDefinition& definition) : definition_(definition) {
  if (!(definition.scale > 0.5 && definition.scale < 1.5)) Refuse("投影比例因子应在 0.5 到 1.5 之间。");
  if (!(std::abs(definition.centralMeridian) <= 180)) Refuse("中央子午线应在 −180° 到 180° 之间。");
  if (!(std::abs(definition.originLatitude) < 90)) Refuse("原点纬度应在 −90° 到 90° 之间。");
  impl_ = std::make_unique<Impl>(ProjString());
}
TransverseMercator::~TransverseMercator() = default;
TransverseMercator::TransverseMercator(TransverseMercator&&) noexcept = default;
TransverseMercator& TransverseMercator::operator=(TransverseMercator&&) noexcept = default;

std::string TransverseMercator::ProjString() const {
  const TransverseMercatorDefinition& d = definition_;
  return "+proj=tmerc +lat_0=" + Exact(d.originLatitude) + " +lon_0=" + Exact(d.centralMeridian) + " +k=" + Exact(d.scale) +
         " +x_0=" + Exact(d.falseEasting) + " +y_0=" + Exact(d.falseNorthing) + EllipsoidParameters(d.ellipsoid) +
         " +units=m +no_defs";
}

std::string CheckGeodetic(GeodeticPoint p, double centralMeridian) {
  if (!std::isfinite(p.B) || !std::isfinite(p.L)) return "纬度或经度不是有限数。";
  if (std::abs(p.B) > 90) return "纬度超出 ±90°：" + FixedText(p.B, 9) + "°。";
  double offset = std::fmod(p.L - centralMeridian, 360.0);
  if (offset > 180) offset -= 360;
  if (offset < -180) offset += 360;
  if (std::abs(offset) > kMaxLongitudeOffset) {
    return "经度距中央子午线 " + FixedText(centralMeridian, 6) + "° 超过 " + FixedText(kMaxLongitudeOffset, 0) +
           "°，远在任何投影带之外：" + FixedText(p.L, 9) + "°。";
  }
  return {};
}

GridPoint TransverseMercator::Forward(GeodeticPoint p) const {
  if (const std::string reason = CheckGeodetic(p, definition_.centralMeridian); !reason.empty()) Refuse(reason);
  PJ_COORD c = proj_coord(p.L * kRadiansPerDegree, p.B * kRadiansPerDegree, 0, 0);
  c = proj_trans(impl_->context.pj, PJ_FWD, c);
  if (!std::isfinite(c.xy.x) || !std::isfinite(c.xy.y) || c.xy.x == HUGE_VAL) Refuse("该点无法投影。");
  return {c.xy.y, c.xy.x};
}

GeodeticPoint TransverseMercator::Inverse(GridPoint p) const {
  if (!std::isfinite(p.x) || !std::isfinite(p.y)) Refuse("坐标不是有限数。");
  PJ_COORD c = proj_coord(p.y, p.x, 0, 0);
  c = proj_trans(impl_->context.pj, PJ_INV, c);
  const GeodeticPoint g{c.lp.phi / kRadiansPerDegree, c.lp.lam / kRadiansPerDegree};
  if (c.lp.lam == HUGE_VAL || !std::isfinite(g.B) || !std::isfinite(g.L) || !CheckGeodetic(g, definition_.centralMeridian).empty()) {
    Refuse("坐标远在该投影带之外（x = " + FixedText(p.x, 4) + "，y = " + FixedText(p.y, 4) + "）。");
  }
  return g;
}

PointFactors TransverseMercator::Factors(GeodeticPoint p) const {
  if (const std::string reason = CheckGeodetic(p, definition_.centralMeridian); !reason.empty()) Refuse(reason);
  const PJ_COORD c = proj_coord(p.L * kRadiansPerDegree, p.B * kRadiansPerDegree, 0, 0);
  const PJ_FACTORS f = proj_factors(impl_->context.pj, c);
  // PROJ's sign is the surveyors' one: positive east of the central meridian in the north
  // (the tests hold it to that, should a PROJ release change it).
  return {f.meridian_convergence / kRadiansPerDegree, f.meridional_scale};
}

void TransverseMercator::ForwardInPlace(std::span<double> latitudes_x, std::span<double> longitudes_y) const {
  const std::size_t n = latitudes_x.size();
  for (std::size_t i = 0; i < n; ++i) {
    latitudes_x[i] *= kRadiansPerDegree;
    longitudes_y[i] *= kRadiansPerDegree;
  }
  // PROJ's first axis is the easting: longitudes in, eastings (y) out.
  proj_trans_generic(impl_->context.pj, PJ_FWD, longitudes_y.data(), sizeof(double), n, latitudes_x.data(),
                     sizeof(double), n, nullptr, 0, 0, nullptr, 0, 0);
}

void TransverseMercator::InverseInPlace(std::span<double> x_latitudes, std::span<double> y_longitudes) const {
  const std::size_t n = x_latitudes.size();
  proj_trans_generic(impl_->context.pj, PJ_INV, y_longitudes.data(), sizeof(double), n, x_latitudes.data(),
                     sizeof(double), n, nullptr, 0, 0, nullptr, 0, 0);
  for (std::size_t i = 0; i < n; ++i) {
    x_latitudes[i] /= kRadiansPerDegree;
    y_longitudes[i] /= kRadiansPerDegree;
  }
}

struct GeocentricConverter::Impl {
  explicit Impl(const std::string& definition) : context(definition) {}
  Context context;
};

GeocentricConverter::GeocentricConverter(Ellipsoid ellipsoid)
    : impl_(std::make_unique<Impl>("+proj=cart" + EllipsoidParameters(ellipsoid))) {}
GeocentricConverter::~GeocentricConverter() = default;
GeocentricConverter::GeocentricConverter(GeocentricConverter&&) noexcept = default;
GeocentricConverter& GeocentricConverter::operator=(GeocentricConverter&&) noexcept = default;

Geocentric GeocentricConverter::ToGeocentric(GeodeticPoint p, double h) const {
  if (!std::isfinite(p.B) || !std::isfinite(p.L) || !std::isfinite(h)) Refuse("纬度、经度或大地高不是有限数。");
  if (std::abs(p.B) > 90) Refuse("纬度超出 ±90°：" + FixedText(p.B, 9) + "°。");
  if (std::abs(h) > 1e7) Refuse("大地高超出 ±10000 km。");
  PJ_COORD c = proj_coord(p.L * kRadiansPerDegree, p.B * kRadiansPerDegree, h, 0);
  c = proj_trans(impl_->context.pj, PJ_FWD, c);
  return {c.xyz.x, c.xyz.y, c.xyz.z};
}

std::pair<GeodeticPoint, double> GeocentricConverter::ToGeodetic(Geocentric p) const {
  if (!std::isfinite(p.X) || !std::isfinite(p.Y) || !std::isfinite(p.Z)) Refuse("空间直角坐标不是有限数。");
  // Near the centre of the Earth B, L, H mean nothing.
  if (std::hypot(p.X, p.Y, p.Z) < 1.0e6) Refuse("空间直角坐标离地心不足 1000 km，不是地面点。");
  PJ_COORD c = proj_coord(p.X, p.Y, p.Z, 0);
  c = proj_trans(impl_->context.pj, PJ_INV, c);
  return {{c.lpz.phi / kRadiansPerDegree, c.lpz.lam / kRadiansPerDegree}, c.lpz.z};
}

std::optional<double> ReadPackedDegrees(std::string_view text) {
  // Full-width forms are rare; plain ASCII is read in place (a million cells go by).
  std::string normalised;
  if (std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
    normalised = NormaliseFullWidth(text);
    text = normalised;
  }
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const auto digits = [](std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  const std::size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  // No exponent, no second point, no sign inside, at least one digit, at most 999 degrees.
  if (!digits(whole) || !digits(fraction) || (whole.empty() && fraction.empty()) || whole.size() > 3) return std::nullopt;
  double degrees = 0;
  for (char c : whole) degrees = degrees * 10 + (c - '0');
  const auto digit = [&](std::size_t i) { return i < fraction.size() ? fraction[i] - '0' : 0; };
  const double minutes = digit(0) * 10 + digit(1);
  // Whole seconds, then any further digits as their fraction, read as one decimal number.
  std::string secondsText;
  secondsText.reserve(fraction.size() + 2);
  secondsText += static_cast<char>('0' + digit(2));
  secondsText += static_cast<char>('0' + digit(3));
  if (fraction.size() > 4) secondsText.append(".").append(fraction.substr(4));
  double seconds = 0;
  std::from_chars(secondsText.data(), secondsText.data() + secondsText.size(), seconds);
  if (minutes >= 60 || seconds >= 60) return std::nullopt;
  const double value = degrees + minutes / 60.0 + seconds / 3600.0;
  return negative ? -value : value;
}

std::optional<double> ReadDecimalDegrees(std::string_view text) { return ReadStrictNumber(NormaliseFullWidth(text)); }

std::string PackedDegreesText(double degrees, int secondDecimals) {
  if (!std::isfinite(degrees)) return "nan";
  secondDecimals = std::clamp(secondDecimals, 0, 9);
  const bool negative = degrees < 0;
  const double unit = std::pow(10.0, secondDecimals);
  // Whole units of the last printed digit of the second; the carries follow from integers.
  const auto total = static_cast<long long>(std::llround(std::abs(degrees) * 3600.0 * unit));
  const auto perSecond = static_cast<long long>(unit);
  const long long d = total / (3600 * perSecond);
  const long long m = total / (60 * perSecond) % 60;
  const long long s = total / perSecond % 60;
  const long long f = total % perSecond;
  std::string text = negative && total != 0 ? "-" : "";
  text += std::to_string(d);
  text += '.';
  const auto two = [&](long long v) {
    text += static_cast<char>('0' + v / 10);
    text += static_cast<char>('0' + v % 10);
  };
  two(m);
  two(s);
  if (secondDecimals > 0) {
    const std::string digits = std::to_string(f);
    text.append(static_cast<std::size_t>(secondDecimals) - digits.size(), '0');
    text += digits;
  }
  return text;
}

std::string FixedText(double value, int decimals) {
  // to_chars rounds the exact binary value as printf does, without the locale and the format
  // parsing: a million rows print in a fraction of the time.
  char buf[400];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  if (ec != std::errc()) return "nan";
  std::string s(buf, end);
  if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
  return s;
}

}  // namespace survey::transform
