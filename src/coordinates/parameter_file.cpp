#include "coordinates/parameter_file.h"

#include "common/number_reading.h"

namespace coordinates {

std::string_view ParameterHeader(ParameterKind kind) {
  return kind == ParameterKind::StraightLine ? "[zxzb]" : "[qxzb]";
}

std::size_t ParameterValueCount(ParameterKind kind) { return kind == ParameterKind::StraightLine ? 10 : 13; }

std::string TurnLineText(bool turnLeft) { return turnLeft ? " 1 " : " 0 "; }

std::string ParameterFileText(ParameterKind kind, const std::vector<std::string>& values) {
  std::string text(ParameterHeader(kind));
  text += "\r\n";
  for (std::size_t i = 0; i < ParameterValueCount(kind); ++i) {
    if (i < values.size()) text += values[i];
    text += "\r\n";
  }
  return text;
}

namespace {

// Hands out the lines of a text one by one.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}
  bool AtEnd() const { return pos_ >= text_.size(); }
  std::string_view Next() {
    const std::size_t start = pos_;
    std::size_t end = start;
    while (end < text_.size() && text_[end] != '\r' && text_[end] != '\n') ++end;
    pos_ = end;
    if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    return text_.substr(start, end - start);
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

ParameterFileContent ReadParameterFileText(ParameterKind kind, std::string_view text) {
  using Outcome = ParameterFileContent::Outcome;
  const std::size_t count = ParameterValueCount(kind);
  // An empty file is a damaged one (a save that never got its bytes out), not a file of blanks.
  if (text.empty()) return {Outcome::Incomplete, {}, std::nullopt};
  ParameterFileContent result;
  result.values.assign(count, std::string());
  std::vector<std::string> block(count);
  LineReader lines(text);
  while (!lines.AtEnd()) {
    if (lines.Next() != ParameterHeader(kind)) {
      return {Outcome::WrongHeader, {}, std::nullopt};
    }
    std::optional<bool> turnLeft;
    for (std::size_t i = 0; i < count; ++i) {
      if (lines.AtEnd()) return {Outcome::Incomplete, {}, std::nullopt};
      block[i] = std::string(lines.Next());
      if (kind == ParameterKind::Curve && i == kCurveTurnValue) {
        const std::optional<double> turn = survey::ReadStrictNumber(block[i]);
        if (!turn) return {Outcome::Incomplete, {}, std::nullopt};
        turnLeft = *turn == 1;
      }
    }
    result.values = block;
    result.turnLeft = turnLeft;
  }
  return result;
}

}  // namespace coordinates
