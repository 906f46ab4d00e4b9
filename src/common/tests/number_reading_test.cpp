#include "common/number_reading.h"

#include <gtest/gtest.h>

namespace survey {
namespace {

TEST(StrictNumber, AcceptsPlainDecimalTexts) {
  EXPECT_EQ(ReadStrictNumber("12"), 12);
  EXPECT_EQ(ReadStrictNumber("  -12.5 "), -12.5);
  EXPECT_EQ(ReadStrictNumber("+.5"), 0.5);
  EXPECT_EQ(ReadStrictNumber("3."), 3);
  EXPECT_EQ(ReadStrictNumber("1e3"), 1000);
  EXPECT_EQ(ReadStrictNumber("1.5E-2"), 0.015);
  EXPECT_EQ(ReadStrictNumber("\t7\t"), 7);
}

TEST(StrictNumber, RefusesEverythingElse) {
  for (const char* bad : {"", " ", "abc", "12a", "1,000", "1.2.3", "inf", "nan", "-", ".", "e5", "1e", "1e+",
                          "1 2", "0x10", "1e999", "--1", "１２ａ"}) {
    EXPECT_FALSE(ReadStrictNumber(bad).has_value()) << bad;
  }
}

TEST(StrictNumber, ReadsFullWidthForms) {
  EXPECT_EQ(ReadStrictNumber("１２３．５"), 123.5);
  EXPECT_EQ(ReadStrictNumber("－３"), -3);
  EXPECT_EQ(ReadStrictNumber("＋０．２５"), 0.25);
  EXPECT_EQ(NormaliseFullWidth("桩１０"), "桩10");
}

TEST(LeadingNumber, TakesTheLongestLeadingNumber) {
  EXPECT_EQ(ReadLeadingNumber("12.5m"), 12.5);
  EXPECT_EQ(ReadLeadingNumber("  -3abc"), -3);
  EXPECT_EQ(ReadLeadingNumber("abc"), 0);
  EXPECT_EQ(ReadLeadingNumber(""), 0);
  EXPECT_EQ(ReadLeadingNumber("1e3x"), 1000);
  EXPECT_EQ(ReadLeadingNumber("1e"), 1);
  EXPECT_EQ(ReadLeadingNumber("1.2.3"), 1.2);
  EXPECT_EQ(ReadLeadingNumber("1 2"), 1);
  EXPECT_EQ(ReadLeadingNumber("5e999"), 5);
  EXPECT_EQ(ReadLeadingNumber("-"), 0);
  EXPECT_EQ(ReadLeadingNumber("１０米"), 10);
}

TEST(LeadingNumber, IgnoringBlanksAnywhere) {
  EXPECT_EQ(ReadLeadingNumberIgnoringBlanks(" 12 5.5m"), 125.5);
  EXPECT_EQ(ReadLeadingNumberIgnoringBlanks("1\t0\r\n0"), 100);
  EXPECT_EQ(ReadLeadingNumberIgnoringBlanks("- 2"), -2);
  EXPECT_EQ(ReadLeadingNumberIgnoringBlanks("x1"), 0);
}

}  // namespace
}  // namespace survey
