#include "common/report_lines.h"

#include <gtest/gtest.h>

namespace survey {
namespace {

TEST(SnapToLineStart, Cases) {
  const struct { std::string_view text; std::size_t offset, snapped; } cases[] = {
      {"ab\r\ncd\r\n", 0, 0}, {"ab\r\ncd\r\n", 4, 4}, {"ab\r\ncd\r\n", 1, 4}, {"ab\r\ncd\r\n", 2, 4},
      {"ab\r\ncd\r\n", 3, 4},  // between CR and LF
      {"ab\r\ncd\r\n", 5, 8}, {"ab\r\ncd\r\n", 99, 8}, {"", 3, 0},
      {"ab\n\ncd", 3, 3}, {"ab\n\ncd", 1, 3}, {"ab\n\ncd", 5, 6},  // an empty line; no line end after "cd"
      {"测量\r\n桩号\r\n", 1, 8}, {"测量\r\n桩号\r\n", 4, 8}, {"测量\r\n桩号\r\n", 9, 16},  // never inside a character
  };
  for (const auto& c : cases) EXPECT_EQ(SnapToLineStart(c.text, c.offset), c.snapped) << c.text << " @" << c.offset;
}

TEST(InsertLines, Cases) {
  const struct { const char* before; std::size_t at; const char* after; std::size_t insertedAt; const char* inserted; } cases[] = {
      {"a1\r\na2\r\n", 1, "a1\r\nx\r\na2\r\n", 4, "x\r\n"},
      {"note", 2, "note\r\nx\r\n", 4, "\r\nx\r\n"},  // after a last line without a line end
      {"a1\r\n", 99, "a1\r\nx\r\n", 4, "x\r\n"},
      {"", 0, "x\r\n", 0, "x\r\n"},
  };
  for (const auto& c : cases) {
    std::string text = c.before;
    const InsertedLines done = InsertLines(text, c.at, "x\r\n");
    EXPECT_EQ(text, c.after);
    EXPECT_EQ(done.at, c.insertedAt);
    EXPECT_EQ(done.text, c.inserted);
  }
  // From the end of an inserted line the next one follows it.
  std::string text = "a1\r\na2\r\n";
  InsertLines(text, InsertLines(text, 1, "x\r\n").End(), "y\r\n");
  EXPECT_EQ(text, "a1\r\nx\r\ny\r\na2\r\n");
}

TEST(BoxPositions, CrLfCountsOneAndCharactersByUtf16Units) {
  // "ab", CR LF, two CJK characters, CR LF, one character outside the basic plane, "c".
  const std::string text = "ab\r\n测量\r\n\xF0\xA0\x80\x80" "c";
  const std::pair<std::size_t, std::size_t> pairs[] = {{0, 0}, {2, 2}, {3, 4}, {4, 7}, {5, 10}, {6, 12}, {8, 16}, {9, 17}};
  for (const auto& [position, offset] : pairs) {
    EXPECT_EQ(ByteOffsetOfBoxPosition(text, position), offset) << position;
    EXPECT_EQ(BoxPositionOfByteOffset(text, offset), position) << offset;
  }
  EXPECT_EQ(ByteOffsetOfBoxPosition(text, 1000), text.size());
  EXPECT_EQ(BoxPositionOfByteOffset(text, 1000), 9u);
  EXPECT_EQ(LfToCrLf("a\nb\r\n\n"), "a\r\nb\r\n\r\n");
}

}  // namespace
}  // namespace survey
