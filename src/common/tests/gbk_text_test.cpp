#include "common/gbk_text.h"

#include <gtest/gtest.h>

namespace survey {
namespace {

using Status = GbkConversion::Status;

TEST(EncodeGbk, ConvertsWhatGbkHoldsAndRefusesOrReplacesTheRest) {
  const struct {
    std::string_view utf8, replacement;
    Status status;
    std::string_view gbk;  // Done: the whole text; refused: what came before the bad character
    std::size_t badAt;
  } cases[] = {
      {"K10+020左5", "", Status::Done, "K10+020\xD7\xF3" "5", 0},
      {"点名", "", Status::Done, "\xB5\xE3\xC3\xFB", 0},
      // U+1F600 has no GBK code: refused at its first byte, never replaced unasked.
      {"左\xF0\x9F\x98\x80右", "", Status::Unconvertible, "\xD7\xF3", 3},
      // Replaced as one character (all four bytes skipped), the rest converted.
      {"左\xF0\x9F\x98\x80右", "?", Status::Done, "\xD7\xF3?\xD3\xD2", 0},
      {"a\xC3\xA9\xF0\x9F\x98\x80z", "?", Status::Done, "a\xA8\xA6?z", 0},  // é is in GBK
  };
  for (const auto& c : cases) {
    const GbkConversion r = EncodeGbk(c.utf8, c.replacement);
    EXPECT_EQ(r.status, c.status) << c.utf8;
    EXPECT_EQ(r.text, c.gbk) << c.utf8;
    if (c.status == Status::Unconvertible) {
      EXPECT_EQ(r.badAt, c.badAt) << c.utf8;
    }
  }
}

TEST(DecodeGbk, ReadsGb18030AndNamesTheLineAndByteOfABadOne) {
  // GBK, and a four-byte GB18030 sequence (U+0080) a plain GBK reader would refuse.
  GbkConversion r = DecodeGbk("\xB5\xE3\xC3\xFB,x\r\n\x81\x30\x81\x30");
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.text, "点名,x\r\n\xC2\x80");

  // 0x80 is no GBK byte: line 2, its third byte.
  r = DecodeGbk("\xD7\xF3,1\nab\x80\xD7\xF3\n");
  EXPECT_EQ(r.status, Status::Unconvertible);
  EXPECT_EQ(r.badLine, 2);
  EXPECT_EQ(r.badColumn, 2u);
  EXPECT_EQ(r.badAt, 7u);

  // A lead byte cut off by the end of its line is bad too, not joined to the next line.
  r = DecodeGbk("\xD7\n\xF3");
  EXPECT_EQ(r.status, Status::Unconvertible);
  EXPECT_EQ(r.badLine, 1);
  EXPECT_EQ(r.badColumn, 0u);

  // With a replacement every bad byte becomes one, the rest as it was.
  r = DecodeGbk("a\x80\xD7\xF3\n\xD7", "\xEF\xBF\xBD");
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.text, "a\xEF\xBF\xBD左\n\xEF\xBF\xBD");
}

TEST(IsValidUtf8, RefusesWhatIsNotUtf8) {
  const struct {
    std::string_view bytes;
    bool valid;
  } cases[] = {
      {"name,x,y", true},
      {"左 行车道", true},
      {"\xF0\x9F\x98\x80", true},
      {"\xD7\xF3", false},          // GBK 左
      {"\xC0\xAF", false},          // overlong "/"
      {"\xED\xA0\x80", false},      // a surrogate
      {"\xF4\x90\x80\x80", false},  // beyond U+10FFFF
      {"\xE5\xB7", false},          // cut short
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.bytes;
}

}  // namespace
}  // namespace survey
