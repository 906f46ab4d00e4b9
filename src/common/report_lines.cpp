#include "common/report_lines.h"

namespace survey {

namespace {

// Bytes of the UTF-8 sequence a lead byte starts; a stray continuation byte counts alone.
std::size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

// One box position per character, two for a character outside the basic plane (a surrogate
// pair), one for a CR LF.
struct Step {
  std::size_t bytes;
  std::size_t units;
};

Step StepAt(std::string_view text, std::size_t i) {
  if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') return {2, 1};
  const std::size_t n = SequenceLength(static_cast<unsigned char>(text[i]));
  std::size_t bytes = 1;
  while (bytes < n && i + bytes < text.size() && (static_cast<unsigned char>(text[i + bytes]) & 0xC0) == 0x80) ++bytes;
  return {bytes, bytes == 4 ? 2u : 1u};
}

// Steps through `text` from its start until `reached(walked so far)` or the end; the bytes and
// units walked.
template <typename Reached>
Step WalkUntil(std::string_view text, Reached&& reached) {
  Step at{0, 0};
  while (at.bytes < text.size() && !reached(at)) {
    const Step s = StepAt(text, at.bytes);
    at.bytes += s.bytes;
    at.units += s.units;
  }
  return at;
}

}  // namespace

std::size_t SnapToLineStart(std::string_view text, std::size_t offset) {
  if (offset >= text.size()) return text.size();
  if (offset == 0 || text[offset - 1] == '\n') return offset;
  // LF never occurs inside a multi-byte UTF-8 sequence, so the next line starts after the next
  // LF byte whatever the offset cut.
  const std::size_t lf = text.find('\n', offset);
  return lf == std::string_view::npos ? text.size() : lf + 1;
}

InsertedLines InsertLines(std::string& text, std::size_t insertionPoint, std::string_view lines) {
  InsertedLines done;
  done.at = SnapToLineStart(text, insertionPoint);
  if (done.at == text.size() && !text.empty() && text.back() != '\n') done.text = "\r\n";
  done.text += lines;
  text.insert(done.at, done.text);
  return done;
}

std::string LfToCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
    out.push_back(text[i]);
  }
  return out;
}

std::size_t ByteOffsetOfBoxPosition(std::string_view text, std::size_t position) {
  return WalkUntil(text, [position](const Step& at) { return at.units >= position; }).bytes;
}

std::size_t BoxPositionOfByteOffset(std::string_view text, std::size_t offset) {
  return WalkUntil(text, [offset](const Step& at) { return at.bytes >= offset; }).units;
}

}  // namespace survey
