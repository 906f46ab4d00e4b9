// Reading numbers from the texts of input fields: one implementation for every program.
//
// Chinese input methods often type full-width digits, point, plus and minus; both readers
// take them as their ASCII forms. The texts themselves are never changed (reports echo the
// typed text).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace survey {

// The text with U+FF10..U+FF19, U+FF0E, U+FF0B and U+FF0D replaced by "0".."9", ".", "+", "-".
std::string NormaliseFullWidth(std::string_view text);

// The suite's number grammar: the length of the longest prefix of `text` that is optional
// sign, digits with at most one ".", and an exponent where one with digits follows; 0 when the
// text does not start with a number. `mantissaLength` receives the length before the exponent.
std::size_t NumberPrefixLength(std::string_view text, std::size_t* mantissaLength);

// Strict reading, for fields that must hold a number: optional blanks, optional sign, digits
// with at most one ".", an optional exponent, optional blanks, and nothing else. Anything else
// ("12a", "1,000", "inf", "nan", "", a value that overflows) is not a number: nullopt.
std::optional<double> ReadStrictNumber(std::string_view text);

// Leading-number reading: leading blanks and tabs are skipped, then the longest leading part
// that forms a decimal number (optional sign, digits, one ".", optional exponent) is taken.
// A text without one counts as 0. An exponent that would overflow is left out (the mantissa
// alone is read). Never fails.
double ReadLeadingNumber(std::string_view text);

// The same, but blanks, tabs, carriage returns and line feeds anywhere in the text are
// ignored first (" 12 5.5m" reads as 125.5).
double ReadLeadingNumberIgnoringBlanks(std::string_view text);

// True when the text is empty (the windows refuse empty fields before anything else).
inline bool IsEmptyField(std::string_view text) { return text.empty(); }

}  // namespace survey
