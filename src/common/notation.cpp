#include "common/notation.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace survey {

DecimalDigits RoundToDigits(double value, int significant) {
  DecimalDigits out;
  if (value == 0 || !std::isfinite(value)) {
    out.digits = "0";
    return out;
  }
  out.negative = std::signbit(value);
  // printf rounds the exact binary value correctly; its %e form gives digits and exponent.
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", significant - 1, std::fabs(value));
  std::string digits;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p) {
    if (*p >= '0' && *p <= '9') digits.push_back(*p);
  }
  out.exponent = (*p == 'e') ? std::atoi(p + 1) : 0;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  out.digits = digits;
  if (out.digits == "0") out.negative = false;
  return out;
}

std::string PositionalText(const DecimalDigits& d) {
  std::string s;
  if (d.negative) s.push_back('-');
  const int n = static_cast<int>(d.digits.size());
  if (d.exponent < 0) {
    s += "0.";
    s.append(static_cast<std::size_t>(-d.exponent - 1), '0');
    s += d.digits;
  } else if (d.exponent + 1 >= n) {
    s += d.digits;
    s.append(static_cast<std::size_t>(d.exponent + 1 - n), '0');
  } else {
    s += d.digits.substr(0, static_cast<std::size_t>(d.exponent + 1));
    s.push_back('.');
    s += d.digits.substr(static_cast<std::size_t>(d.exponent + 1));
  }
  return s;
}

namespace {

std::string ExponentText(const DecimalDigits& d) {
  std::string s;
  if (d.negative) s.push_back('-');
  s.push_back(d.digits[0]);
  if (d.digits.size() > 1) {
    s.push_back('.');
    s += d.digits.substr(1);
  }
  char buf[16];
  std::snprintf(buf, sizeof buf, "E%c%02d", d.exponent < 0 ? '-' : '+', std::abs(d.exponent));
  return s + buf;
}

}  // namespace

double RoundHalfEven(double x) {
  if (!std::isfinite(x)) return x;
  const double r = std::round(x);  // ties away from zero
  if (std::fabs(x - std::trunc(x)) == 0.5) return 2.0 * std::round(x / 2.0);
  return r;
}

PackedAngle PackedAngleToDegrees(double packed) {
  PackedAngle a;
  if (!std::isfinite(packed)) return a;
  const DecimalDigits d = RoundToDigits(packed, 15);
  // Integer part and decimals of the 15-digit text, without exponent.
  std::string intPart, decimals;
  const int n = static_cast<int>(d.digits.size());
  if (d.exponent < 0) {
    intPart = "0";
    decimals = std::string(static_cast<std::size_t>(-d.exponent - 1), '0') + d.digits;
  } else if (d.exponent + 1 >= n) {
    intPart = d.digits + std::string(static_cast<std::size_t>(d.exponent + 1 - n), '0');
  } else {
    intPart = d.digits.substr(0, static_cast<std::size_t>(d.exponent + 1));
    decimals = d.digits.substr(static_cast<std::size_t>(d.exponent + 1));
  }
  if (decimals.size() < 4) decimals.append(4 - decimals.size(), '0');
  const double degrees = std::strtod(intPart.c_str(), nullptr);
  const double minutes = std::strtod(decimals.substr(0, 2).c_str(), nullptr);
  const std::string secondsText = decimals.substr(2, 2) + "." + decimals.substr(4) + "0";
  const double seconds = RoundHalfEven(std::strtod(secondsText.c_str(), nullptr));
  const double sign = d.negative ? -1.0 : 1.0;
  a.D = sign * degrees;
  a.M = sign * minutes;
  a.S = sign * seconds;
  if (a.D == 0) a.D = 0;  // no negative zeros in the echoed components
  if (a.M == 0) a.M = 0;
  if (a.S == 0) a.S = 0;
  a.degrees = a.D + a.M / 60 + a.S / 3600;
  return a;
}

double DegreesToRadians(double degrees) { return SurveyPi * degrees / 180; }

Dms SplitDms(double degrees) {
  Dms r;
  // NaN or an infinity has no minutes or seconds; converting its NaN seconds to int would be
  // undefined.
  if (!std::isfinite(degrees)) {
    r.D = degrees;
    return r;
  }
  r.D = std::trunc(degrees);
  const double t = (degrees - r.D) * 60;
  r.M = std::trunc(t);
  const double c = (t - r.M) * 60;
  r.S = static_cast<int>(RoundHalfEven(c));
  return r;
}

std::string NumberText(double value, Precision precision, TextForm form) {
  if (std::isnan(value)) return form == TextForm::Signed ? " NaN" : "NaN";
  if (std::isinf(value)) return value < 0 ? "-Inf" : (form == TextForm::Signed ? " Inf" : "Inf");
  const int significant = precision == Precision::Single ? 7 : 15;
  // Whole numbers within the significant digits print as themselves; this skips the general
  // rounding, which dominates the time of long reports (every angle field is three of them).
  if (value == std::trunc(value) && std::fabs(value) < (precision == Precision::Single ? 1e7 : 1e15)) {
    char buf[24];
    char* at = buf;
    if (form == TextForm::Signed && !(value < 0)) *at++ = ' ';
    at = std::to_chars(at, buf + sizeof buf, static_cast<long long>(value)).ptr;
    return std::string(buf, at);
  }
  const DecimalDigits d = RoundToDigits(value, significant);
  const bool zero = d.digits == "0";
  std::string text;
  if (!zero && (d.exponent >= significant || d.exponent < -5)) {
    text = ExponentText(d);
  } else {
    text = PositionalText(d);
    if (form == TextForm::Signed) {
      // The signed form drops the zero before the point of a magnitude below 1.
      const std::size_t at = d.negative ? 1 : 0;
      if (text.compare(at, 2, "0.") == 0) text.erase(at, 1);
    }
  }
  if (form == TextForm::Signed && !d.negative) text.insert(text.begin(), ' ');
  return text;
}

std::string DmsText(double D, double M, int S, TextForm form) {
  return NumberText(D, Precision::Double, form) + "°" + NumberText(M, Precision::Double, form) + "′" +
         NumberText(static_cast<double>(S), Precision::Double, form) + "″";
}

std::size_t Utf8Length(std::string_view text) {
  std::size_t n = 0;
  for (unsigned char c : text) {
    if ((c & 0xC0) != 0x80) ++n;
  }
  return n;
}

std::string PadRight(std::string_view text, std::size_t width) {
  std::string out(text);
  const std::size_t len = Utf8Length(text);
  if (len < width) out.append(width - len, ' ');
  return out;
}

}  // namespace survey
