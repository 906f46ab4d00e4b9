// Angle, station and number notation shared by every calculator of the suite.
//
// Angles are typed as packed D.MMSS numbers, computed in decimal degrees and radians, and
// printed as degree-minute-second texts. Numbers become text in one of two forms, with the
// number of significant digits fixed by the value's precision class. All functions are pure.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace survey {

// The decimal constant every conversion of the suite uses; the full-precision pi is never used,
// because the printed digits of every published table depend on this one.
inline constexpr double SurveyPi = 3.141592654;

// Whether a computed value was held as a 32-bit float or a double: it decides how many
// significant digits its text carries (7 or 15).
enum class Precision { Single, Double };

// A packed angle read into its components and its value in decimal degrees.
struct PackedAngle {
  double degrees = 0;  // D + M / 60 + S / 3600
  double D = 0;        // whole degrees, negative for a negative angle
  double M = 0;        // whole minutes, same sign as D
  double S = 0;        // whole seconds (rounded, ties to even), same sign as D
};

// Reads D.MMSS: D the integer part, M the first two decimals, the third and fourth decimals
// the whole seconds and any further decimals a fraction of a second (rounded away, ties to even).
// Minutes and seconds are not limited to 0..59. The value is first written with at most 15
// significant digits, so binary noise never shifts a digit into the wrong field.
PackedAngle PackedAngleToDegrees(double packed);

// Degrees to radians as (SurveyPi * degrees) / 180, in that order.
double DegreesToRadians(double degrees);

// Round to the nearest integer, a tie going to the even integer, whatever the FPU mode.
double RoundHalfEven(double x);

// Degree-minute-second triple for printing.
struct Dms {
  double D = 0;  // truncated toward zero
  double M = 0;  // truncated toward zero
  int S = 0;     // rounded, ties to even; may be 60 (no carry)
};

// Splits decimal degrees without any carry: 59.99999 seconds round to 60 and stay in the
// seconds field. NaN and infinities keep their value in D, with 0 minutes and seconds.
Dms SplitDms(double degrees);

// "Signed" puts one blank before a non-negative value and drops the zero before the point
// (" .5", "-.25"); "plain" does neither ("0.5", "-0.25").
enum class TextForm { Signed, Plain };

// Shortest decimal text of the value rounded to 7 (single) or 15 (double) significant digits,
// no trailing zeros, no trailing point; negative zero prints as zero.
//
// Exponent form: magnitudes of 1e7 and more (single) or 1e15 and more (double), and non-zero
// magnitudes below 1e-5, are written as mantissa, "E", sign and at least two exponent digits
// (1.5E+07, 2.5E-06). No value of the suite's computations reaches these ranges.
std::string NumberText(double value, Precision precision, TextForm form);
inline std::string SignedNumberText(double value, Precision precision) {
  return NumberText(value, precision, TextForm::Signed);
}
inline std::string PlainNumberText(double value, Precision precision) {
  return NumberText(value, precision, TextForm::Plain);
}
// The single-precision forms take the float itself, so that its exact value is what rounds.
inline std::string SignedNumberText(float value) {
  return NumberText(static_cast<double>(value), Precision::Single, TextForm::Signed);
}
inline std::string PlainNumberText(float value) {
  return NumberText(static_cast<double>(value), Precision::Single, TextForm::Plain);
}
inline std::string SignedNumberText(double value) {
  return NumberText(value, Precision::Double, TextForm::Signed);
}
inline std::string PlainNumberText(double value) {
  return NumberText(value, Precision::Double, TextForm::Plain);
}

// Degrees, "°", minutes, "′", seconds, "″"; degrees and minutes are double texts, seconds an
// integer text, each in the requested form.
std::string DmsText(double D, double M, int S, TextForm form);
inline std::string DmsText(const Dms& dms, TextForm form) { return DmsText(dms.D, dms.M, dms.S, form); }

// Number of characters (code points) of a UTF-8 text; a CJK character counts one.
std::size_t Utf8Length(std::string_view text);

// The text followed by blanks up to `width` characters; a text at or beyond the width is
// returned unchanged.
std::string PadRight(std::string_view text, std::size_t width);

// The decimal digits of |value| rounded to `significant` digits: digits without trailing
// zeros (at least "0") and the power of ten of the first digit. Used by the number texts
// and by the packed-angle reader, so both see the same digits.
struct DecimalDigits {
  bool negative = false;
  std::string digits;  // "0" for zero
  int exponent = 0;    // value = 0.d1d2d3... * 10^(exponent + 1)
};
DecimalDigits RoundToDigits(double value, int significant);

// Positional text (no exponent) of the rounded digits, e.g. "123.4568", "0.0005", "-12".
std::string PositionalText(const DecimalDigits& d);

}  // namespace survey
