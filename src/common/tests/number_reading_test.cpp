#include "common/number_reading.h"

#include <gtest/gtest.h>

namespace survey {
namespace {

TEST(StrictNumber, Cases) {
  const std::pair<const char*, double> numbers[] = {
      {"12", 12}, {"  -12.5 ", -12.5}, {"+.5", 0.5}, {"3.", 3}, {"1e3", 1000}, {"1.5E-2", 0.015}, {"\t7\t", 7},
      {"１２３．５", 123.5}, {"－３", -3}, {"＋０．２５", 0.25}};
  for (const auto& [text, value] : numbers) EXPECT_EQ(ReadStrictNumber(text), value) << text;
  for (const char* bad : {"", " ", "abc", "12a", "1,000", "1.2.3", "inf", "nan", "-", ".", "e5", "1e", "1e+",
                          "1 2", "0x10", "1e999", "--1", "１２ａ"}) {
    EXPECT_FALSE(ReadStrictNumber(bad).has_value()) << bad;
  }
  EXPECT_EQ(NormaliseFullWidth("桩１０"), "桩10");
}

TEST(LeadingNumber, Cases) {
  const std::pair<const char*, double> leading[] = {
      {"12.5m", 12.5}, {"  -3abc", -3}, {"abc", 0}, {"", 0}, {"1e3x", 1000}, {"1e", 1},
      {"1.2.3", 1.2},  {"1 2", 1},      {"5e999", 5}, {"-", 0}, {"１０米", 10}};
  for (const auto& [text, value] : leading) EXPECT_EQ(ReadLeadingNumber(text), value) << text;
  const std::pair<const char*, double> ignoringBlanks[] = {
      {" 12 5.5m", 125.5}, {"1\t0\r\n0", 100}, {"- 2", -2}, {"x1", 0}};
  for (const auto& [text, value] : ignoringBlanks) EXPECT_EQ(ReadLeadingNumberIgnoringBlanks(text), value) << text;
}

}  // namespace
}  // namespace survey
