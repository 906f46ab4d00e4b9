// Where a computed line goes into a report the user can edit: the forms keep the report as UTF-8
// with CR LF line ends and an insertion point as a byte offset; the report box shows LF line ends
// and counts positions in UTF-16 units.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace survey {

// The place for a whole line nearest at or after `offset`: `offset` itself at the start of a
// line (or of the text), otherwise the start of the next line, or the end of the text when the
// last line has no line end. A line ends with LF or CR LF; an offset between CR and LF, or inside
// a multi-byte character, is inside its line. An offset beyond the end means the end.
std::size_t SnapToLineStart(std::string_view text, std::size_t offset);

// What InsertLines put into the text and where.
struct InsertedLines {
  std::size_t at = 0;  // byte offset of the first byte put in
  std::string text;    // the lines, after a CR LF when they went after a last line without one
  std::size_t End() const { return at + text.size(); }
};

// Puts `lines` (whole lines, ending with CR LF) in at `insertionPoint` snapped to a line start,
// so no line of the text is split and the new lines stand on lines of their own.
InsertedLines InsertLines(std::string& text, std::size_t insertionPoint, std::string_view lines);

// Every LF that is not already part of a CR LF becomes CR LF: the box's text in the report's form.
std::string LfToCrLf(std::string_view text);

// Between a text box position (UTF-16 units, a line end counting one) and the byte offset in the
// same text with CR LF line ends. Positions past the end give the end.
std::size_t ByteOffsetOfBoxPosition(std::string_view text, std::size_t position);
std::size_t BoxPositionOfByteOffset(std::string_view text, std::size_t offset);

}  // namespace survey
