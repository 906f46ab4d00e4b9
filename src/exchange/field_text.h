// What the field file readers and writers share: lines, strict numbers, fixed decimals.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace survey::exchange {

// The largest coordinate magnitude read or written (a million kilometres): beyond any survey,
// and small enough that millimetres stay exact in a double.
inline constexpr double kMaxCoordinate = 1e9;
// No line of a point file comes near this; a longer one is refused before it is split.
inline constexpr std::size_t kMaxLineBytes = 64 * 1024;

// Calls `visit(line, number)` for every line of `text` (LF or CR LF; the CR removed),
// numbered from 1. A line longer than kMaxLineBytes is refused.
void ForEachLine(std::string_view text, const std::function<void(std::string_view, int)>& visit);

// Blanks and tabs off both ends.
std::string_view TrimBlanks(std::string_view s);

// A decimal number as a surveyor writes it ("365760.368", "-12", "+5.", ".5"), blanks around
// allowed; anything else (empty, "1e3", "nan", "1,5", a value beyond kMaxCoordinate) is
// refused naming the line and `what` ("第 3 行：东坐标不是数字：“abc”。").
double ReadCoordinate(std::string_view cell, int line, const std::string& what);

// `value` with exactly `decimals` decimals (the double correctly rounded), never "-0.000".
// Refuses (ExchangeError) a value that is not finite or beyond kMaxCoordinate.
void AppendFixed(std::string& out, double value, int decimals);

}  // namespace survey::exchange
