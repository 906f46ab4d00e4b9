#include "alignment/text_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <system_error>

#include "common/notation.h"
#include "common/number_reading.h"
#include "common/text_blanks.h"

namespace survey::alignment {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }


// The decimal digits of |value| rounded to `decimals` places: digits[0, count) with the
// decimal point after `point` digits (point may be negative or beyond count).
struct RoundedDigits {
  char digits[24];
  int count = 0;
  int point = 0;
  bool negative = false;
};

RoundedDigits RoundDecimal(double value, int decimals) {
  RoundedDigits r;
  // Shortest round-trip scientific text: "d[.ddd]e±XX", at most 17 significant digits.
  char buf[40];
  const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
  const char* p = buf;
  for (; p < res.ptr && *p != 'e'; ++p) {
    if (IsDigit(*p)) r.digits[r.count++] = *p;
  }
  int exponent = 0;
  std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), res.ptr, exponent);
  r.point = exponent + 1;
  r.negative = std::signbit(value);
  const int keep = r.point + decimals;  // digits left of the cut
  if (keep < r.count) {
    const bool up = keep >= 0 && r.digits[keep] >= '5';
    r.count = keep < 0 ? 0 : keep;
    if (up) {
      int i = r.count - 1;
      while (i >= 0 && r.digits[i] == '9') --i;
      if (i >= 0) {
        ++r.digits[i];
        r.count = i + 1;
      } else {  // all nines (or nothing kept): the value becomes 10^point
        r.digits[0] = '1';
        r.count = 1;
        ++r.point;
      }
    }
  }
  while (r.count > 0 && r.digits[r.count - 1] == '0') --r.count;
  if (r.count == 0) r.negative = false;
  return r;
}

void AppendRounded(std::string& out, const RoundedDigits& r, int decimals) {
  if (r.negative) out.push_back('-');
  if (r.point <= 0) {
    out.push_back('0');
  } else {
    for (int i = 0; i < r.point; ++i) out.push_back(i < r.count ? r.digits[i] : '0');
  }
  if (decimals <= 0) return;
  out.push_back('.');
  for (int i = r.point; i < r.point + decimals; ++i) out.push_back(i >= 0 && i < r.count ? r.digits[i] : '0');
}

constexpr double kPowersOfTen[] = {1,   1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,
                                  1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17};

// The fast way to |value| * 10^decimals rounded: one product and one rounding. Its result can
// only differ from the rounding of the shortest text where the product lies within a few of
// its ulps of a tie; with the product below 2^42 (ulp at most 2^-10) a margin of 1/64 around
// each tie leaves those cases, and only those, to the exact digit rounding.
bool FastScaled(double magnitude, int decimals, std::int64_t& n) {
  if (decimals > 17) return false;
  const double p = magnitude * kPowersOfTen[decimals];
  if (!(p < 4398046511104.0)) return false;  // 2^42, NaN
  const double whole = std::floor(p);
  const double fraction = p - whole;
  if (std::fabs(fraction - 0.5) < 1.0 / 64) return false;
  n = static_cast<std::int64_t>(whole) + (fraction > 0.5 ? 1 : 0);
  return true;
}

// |value| * 10^decimals rounded half away from zero, for values whose result fits 18 digits.
std::int64_t ScaledMagnitude(double value, int decimals) {
  std::int64_t n = 0;
  if (FastScaled(std::fabs(value), decimals, n)) return n;
  const RoundedDigits r = RoundDecimal(value, decimals);
  for (int i = 0; i < r.point + decimals; ++i) n = n * 10 + (i < r.count ? r.digits[i] - '0' : 0);
  return n;
}

void AppendPadded(std::string& out, std::int64_t value, int width) {
  char buf[24];
  const auto res = std::to_chars(buf, buf + sizeof buf, value);
  for (auto n = res.ptr - buf; n < width; ++n) out.push_back('0');
  out.append(buf, res.ptr);
}

}  // namespace

std::optional<double> ReadNumber(std::string_view raw) {
  std::string_view s = TrimBlanks(raw);
  for (char c : s) {
    // Full-width forms go the long way.
    if (static_cast<unsigned char>(c) >= 0x80) return ReadStrictNumber(raw);
  }
  // The suite's grammar (common/number_reading), converted without a copy: tables hold
  // millions of these.
  std::size_t mantissa = 0;
  const std::size_t length = NumberPrefixLength(s, &mantissa);
  if (length == 0 || length != s.size()) return std::nullopt;
  if (s.front() == '+') s.remove_prefix(1);  // from_chars takes no plus sign
  double value = 0;
  const auto res = std::from_chars(s.data(), s.data() + s.size(), value);
  if (res.ec != std::errc{} || res.ptr != s.data() + s.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<double> ReadStation(std::string_view raw) {
  const std::string normal = NormaliseFullWidth(raw);
  std::string_view s = TrimBlanks(normal);
  double sign = 1;
  std::string_view rest = s;
  if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
    sign = rest.front() == '-' ? -1 : 1;
    rest.remove_prefix(1);
  }
  if (rest.empty() || (rest.front() != 'K' && rest.front() != 'k')) return ReadNumber(s);
  rest.remove_prefix(1);
  const std::size_t plus = rest.find('+');
  if (plus == std::string_view::npos || plus == 0) return std::nullopt;
  const std::string_view km = TrimBlanks(rest.substr(0, plus));
  if (km.empty() || km.size() > 12) return std::nullopt;
  double kilometres = 0;
  for (char c : km) {
    if (!IsDigit(c)) return std::nullopt;
    kilometres = kilometres * 10 + (c - '0');
  }
  const std::string_view metresText = TrimBlanks(rest.substr(plus + 1));
  if (metresText.empty() || !IsDigit(metresText.front())) return std::nullopt;  // no second sign
  const std::optional<double> metres = ReadNumber(metresText);
  if (!metres || *metres >= 1000) return std::nullopt;
  return sign * (kilometres * 1000 + *metres);
}

std::optional<double> ReadPackedAngle(std::string_view text) {
  const std::optional<double> packed = ReadNumber(text);
  if (!packed) return std::nullopt;
  // The 15-digit text keeps binary noise out of the minute and second fields (2.3 is 2°30′).
  const std::string digits = PositionalText(RoundToDigits(std::fabs(*packed), 15));
  const std::size_t dot = digits.find('.');
  const std::string_view whole = std::string_view(digits).substr(0, dot);
  std::string decimals = dot == std::string::npos ? std::string() : digits.substr(dot + 1);
  if (decimals.size() < 4) decimals.append(4 - decimals.size(), '0');
  double degrees = 0;
  std::from_chars(whole.data(), whole.data() + whole.size(), degrees);
  const double minutes = (decimals[0] - '0') * 10 + (decimals[1] - '0');
  const std::string secondsText = decimals.substr(2, 2) + "." + decimals.substr(4) + "0";
  double seconds = 0;
  std::from_chars(secondsText.data(), secondsText.data() + secondsText.size(), seconds);
  const double value = degrees + minutes / 60 + seconds / 3600;
  return std::signbit(*packed) ? -value : value;
}

std::optional<double> ReadAngle(std::string_view text, AngleUnit unit) {
  const std::optional<double> degrees = unit == AngleUnit::PackedDms ? ReadPackedAngle(text) : ReadNumber(text);
  if (!degrees) return std::nullopt;
  return *degrees * (std::numbers::pi / 180);
}

void AppendFixed(std::string& out, double value, int decimals) {
  if (std::isnan(value)) {
    out += "nan";
    return;
  }
  if (std::isinf(value)) {
    out += value < 0 ? "-inf" : "inf";
    return;
  }
  std::int64_t n = 0;
  if (decimals >= 0 && FastScaled(std::fabs(value), decimals, n)) {
    // Digits from the last one back, the point `decimals` digits in.
    char buf[32];
    char* const end = buf + sizeof buf;
    char* p = end;
    for (int i = 0; i < decimals; ++i, n /= 10) *--p = static_cast<char>('0' + n % 10);
    if (decimals > 0) *--p = '.';
    do {
      *--p = static_cast<char>('0' + n % 10);
      n /= 10;
    } while (n != 0);
    if (value < 0 && std::find_if(p, end, [](char c) { return c > '0'; }) != end) *--p = '-';
    out.append(p, end);
    return;
  }
  AppendRounded(out, RoundDecimal(value, decimals), decimals);
}

std::string FixedText(double value, int decimals) {
  std::string s;
  AppendFixed(s, value, decimals);
  return s;
}

void AppendStationK(std::string& out, double station, int decimals) {
  if (!std::isfinite(station)) {
    AppendFixed(out, station, decimals);
    return;
  }
  RoundedDigits r = RoundDecimal(station, decimals);
  if (r.negative) out.push_back('-');
  r.negative = false;
  std::string magnitude;
  AppendRounded(magnitude, r, decimals);
  const std::size_t dot = std::min(magnitude.find('.'), magnitude.size());
  out.push_back('K');
  if (dot <= 3) {
    out.push_back('0');
    out.push_back('+');
    out.append(3 - dot, '0');
    out += magnitude;
  } else {
    out.append(magnitude, 0, dot - 3);
    out.push_back('+');
    out.append(magnitude, dot - 3);
  }
}

std::string StationKText(double station, int decimals) {
  std::string s;
  AppendStationK(s, station, decimals);
  return s;
}

void AppendAngle(std::string& out, double radians, AngleUnit unit, AngleKind kind) {
  double degrees = radians * (180 / std::numbers::pi);
  if (!std::isfinite(degrees) || std::fabs(degrees) >= 1e9) {
    AppendFixed(out, degrees, unit == AngleUnit::Degrees ? 8 : 6);
    return;
  }
  if (kind == AngleKind::Azimuth) {
    degrees = std::fmod(degrees, 360.0);
    if (degrees < 0) degrees += 360;
  }
  const bool negative = std::signbit(degrees);
  if (unit == AngleUnit::Degrees) {
    std::int64_t n = ScaledMagnitude(degrees, 8);
    if (kind == AngleKind::Azimuth && n == 36'000'000'000) n = 0;
    if (negative && n != 0) out.push_back('-');
    AppendPadded(out, n / 100'000'000, 1);
    out.push_back('.');
    AppendPadded(out, n % 100'000'000, 8);
    return;
  }
  AppendPackedAngle(out, radians, 2, kind);
}

void AppendPackedAngle(std::string& out, double radians, int secondDecimals, AngleKind kind) {
  double degrees = radians * (180 / std::numbers::pi);
  if (!std::isfinite(degrees) || std::fabs(degrees) >= 1e9) {
    AppendFixed(out, degrees, 6);
    return;
  }
  if (kind == AngleKind::Azimuth) {
    degrees = std::fmod(degrees, 360.0);
    if (degrees < 0) degrees += 360;
  }
  const bool negative = std::signbit(degrees);
  // Seconds in units of their last place, rounded once; degrees, minutes and seconds follow by
  // integer division, so every carry comes out right.
  std::int64_t scale = 1;
  for (int i = 0; i < secondDecimals; ++i) scale *= 10;
  std::int64_t units = ScaledMagnitude(std::fabs(degrees) * 3600, secondDecimals);
  if (kind == AngleKind::Azimuth && units == 1'296'000 * scale) units = 0;
  if (negative && units != 0) out.push_back('-');
  AppendPadded(out, units / (3600 * scale), 1);
  out.push_back('.');
  AppendPadded(out, units % (3600 * scale) / (60 * scale), 2);
  AppendPadded(out, units % (60 * scale), 2 + secondDecimals);
}

std::string AngleText(double radians, AngleUnit unit, AngleKind kind) {
  std::string s;
  AppendAngle(s, radians, unit, kind);
  return s;
}

void AppendCsvField(std::string& out, std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += text;
    return;
  }
  out.push_back('"');
  for (char c : text) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

void AppendCsvRecord(std::string& out, const std::vector<std::string>& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) out.push_back(',');
    AppendCsvField(out, fields[i]);
  }
  out.push_back('\n');
}

}  // namespace survey::alignment
