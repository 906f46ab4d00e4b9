#include "common/report_lines.h"

#include <gtest/gtest.h>

namespace survey {
namespace {

TEST(SnapToLineStart, LineStartsStayAndInsideALineMovesToTheNext) {
  const std::string_view text = "ab\r\ncd\r\n";
  EXPECT_EQ(SnapToLineStart(text, 0), 0u);
  EXPECT_EQ(SnapToLineStart(text, 4), 4u);  // start of "cd"
  EXPECT_EQ(SnapToLineStart(text, 1), 4u);  // between a and b
  EXPECT_EQ(SnapToLineStart(text, 2), 4u);  // at the end of "ab", before its CR LF
  EXPECT_EQ(SnapToLineStart(text, 3), 4u);  // between CR and LF
  EXPECT_EQ(SnapToLineStart(text, 5), 8u);
  EXPECT_EQ(SnapToLineStart(text, 8), 8u);
  EXPECT_EQ(SnapToLineStart(text, 99), 8u);
}

TEST(SnapToLineStart, LfEndsEmptyLinesAndTheLastLine) {
  EXPECT_EQ(SnapToLineStart("ab\n\ncd", 3), 3u);  // the empty line is a line start
  EXPECT_EQ(SnapToLineStart("ab\n\ncd", 1), 3u);
  EXPECT_EQ(SnapToLineStart("ab\n\ncd", 5), 6u);  // no line end after "cd": the end
  EXPECT_EQ(SnapToLineStart("ab", 1), 2u);
  EXPECT_EQ(SnapToLineStart("", 0), 0u);
  EXPECT_EQ(SnapToLineStart("", 3), 0u);
}

TEST(SnapToLineStart, MultiByteCharactersAreNeverCut) {
  const std::string_view text = "测量\r\n桩号\r\n";  // three bytes a character
  for (std::size_t offset = 1; offset <= 8; ++offset) EXPECT_EQ(SnapToLineStart(text, offset), 8u) << offset;
  EXPECT_EQ(SnapToLineStart(text, 9), 16u);
  EXPECT_EQ(SnapToLineStart(text, 8), 8u);
}

TEST(InsertLines, BetweenLinesAtTheEndAndAfterALastLineWithoutLineEnd) {
  std::string text = "a1\r\na2\r\n";
  InsertedLines done = InsertLines(text, 1, "x\r\n");
  EXPECT_EQ(text, "a1\r\nx\r\na2\r\n");
  EXPECT_EQ(done.at, 4u);
  EXPECT_EQ(done.End(), 7u);
  // From the end of the inserted line the next one follows it.
  done = InsertLines(text, done.End(), "y\r\n");
  EXPECT_EQ(text, "a1\r\nx\r\ny\r\na2\r\n");

  text = "note";
  done = InsertLines(text, 2, "x\r\n");
  EXPECT_EQ(text, "note\r\nx\r\n");
  EXPECT_EQ(done.at, 4u);
  EXPECT_EQ(done.text, "\r\nx\r\n");
  EXPECT_EQ(done.End(), text.size());

  text = "a1\r\n";
  done = InsertLines(text, 99, "x\r\n");
  EXPECT_EQ(text, "a1\r\nx\r\n");
  EXPECT_EQ(done.text, "x\r\n");

  text.clear();
  done = InsertLines(text, 0, "x\r\n");
  EXPECT_EQ(text, "x\r\n");
  EXPECT_EQ(done.at, 0u);
}

TEST(BoxPositions, CrLfCountsOneAndCharactersByUtf16Units) {
  // "ab", CR LF, two CJK characters, CR LF, one character outside the basic plane, "c".
  const std::string text = "ab\r\n测量\r\n\xF0\xA0\x80\x80" "c";
  struct Pair {
    std::size_t position, offset;
  };
  for (const Pair p : {Pair{0, 0}, Pair{2, 2}, Pair{3, 4}, Pair{4, 7}, Pair{5, 10}, Pair{6, 12}, Pair{8, 16},
                       Pair{9, 17}}) {
    EXPECT_EQ(ByteOffsetOfBoxPosition(text, p.position), p.offset) << p.position;
    EXPECT_EQ(BoxPositionOfByteOffset(text, p.offset), p.position) << p.offset;
  }
  EXPECT_EQ(ByteOffsetOfBoxPosition(text, 1000), text.size());
  EXPECT_EQ(BoxPositionOfByteOffset(text, 1000), 9u);
  EXPECT_EQ(ByteOffsetOfBoxPosition("", 5), 0u);
}

TEST(LfToCrLf, KeepsExistingCrLf) {
  EXPECT_EQ(LfToCrLf("a\nb\r\n\n"), "a\r\nb\r\n\r\n");
  EXPECT_EQ(LfToCrLf("\n"), "\r\n");
  EXPECT_EQ(LfToCrLf(""), "");
}

}  // namespace
}  // namespace survey
