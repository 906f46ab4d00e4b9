#include "common/message_text.h"

#include <gtest/gtest.h>

namespace survey {
namespace {

TEST(EscapeControls, ShowsWhatWouldActOnTheTerminalAndKeepsTheRest) {
  const struct {
    std::string_view in, out;
  } cases[] = {
      {"路线一 K1+200.5 a\\b", "路线一 K1+200.5 a\\b"},
      {"\x1b[2J\x1b]0;title\x07", "\\x1B[2J\\x1B]0;title\\x07"},
      {"a\rb\nc\td", "a\\rb\\nc\\td"},
      {std::string_view("n\0ul\x7f", 5), "n\\x00ul\\x7F"},
      {"\xC2\x9B" "31m", "\\u009B31m"},                      // C1 CSI
      {"abc\xE2\x80\xAE" "fdp.exe", "abc\\u202Efdp.exe"},    // right-to-left override
      {"\xE2\x81\xA6x\xE2\x81\xA9", "\\u2066x\\u2069"},      // isolates
      {"\xB5\xE3\xC3\xFB", "\\xB5\\xE3\\xC3\\xFB"},          // GBK bytes, not UTF-8
      {"\xE8\xB7", "\\xE8\\xB7"},                            // truncated sequence
      {"\xC0\xAF", "\\xC0\\xAF"},                            // overlong
      {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},              // outside the BMP, kept
  };
  for (const auto& c : cases) EXPECT_EQ(EscapeControls(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace survey
