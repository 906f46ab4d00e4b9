// The ".xq" parameter file: the input fields of a coordinate calculator, one value per line
// after a header line: "[zxzb]" (直线坐标, straight line, 10 values) or "[qxzb]" (曲线坐标,
// curve, 13 values).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace coordinates {

enum class ParameterKind {
  // "[zxzb]": start X, Y, forward point X, Y, interval, offset, start and end station, extra
  // station, skew.
  StraightLine,
  // "[qxzb]": project name, tabulator, ZH X, Y, JD X, Y, ZH station, deflection, radius,
  // transition length, offset, turn, extra station.
  Curve,
};

std::string_view ParameterHeader(ParameterKind kind);
// Value lines after the header.
std::size_t ParameterValueCount(ParameterKind kind);
// Index (among the value lines) of the turn-direction line of a "[qxzb]" block.
inline constexpr std::size_t kCurveTurnValue = 11;

// The turn line as the file carries it: a blank, the digit (1 = "路线左转"), a blank.
std::string TurnLineText(bool turnLeft);

// The file's text (UTF-8; the caller writes it in the code page): the header and the values,
// each line ended by CR LF. `values` holds ParameterValueCount(kind) texts, taken unchanged;
// missing ones are written as empty lines, surplus ones are dropped.
std::string ParameterFileText(ParameterKind kind, const std::vector<std::string>& values);

struct ParameterFileContent {
  enum class Outcome {
    Ok,           // `values` holds the last block (all empty when the file held none)
    WrongHeader,  // a line where a header belongs is not exactly this kind's header
    Incomplete,   // the file ends inside a block, or a turn line is not a number
  };
  Outcome outcome = Outcome::Ok;
  std::vector<std::string> values;
  // "[qxzb]" only: the turn of the last block (true = left); nullopt when no block was read.
  std::optional<bool> turnLeft;
};

// Reads the whole text at once, so that a caller can apply it all or nothing. Lines end with
// CR LF, LF or CR; a last line without an end counts. The header comparison is exact (case and
// blanks count). Several blocks in a row are accepted; the last one wins.
ParameterFileContent ReadParameterFileText(ParameterKind kind, std::string_view text);

}  // namespace coordinates
