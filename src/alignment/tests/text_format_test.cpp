#include "alignment/text_format.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

namespace survey::alignment {
namespace {

constexpr double kDeg = std::numbers::pi / 180;
double Dms(double d, double m, double s) { return (d + m / 60 + s / 3600) * std::numbers::pi / 180; }

TEST(FixedText, RoundsHalfAwayFromZero) {
  struct Case { double value; int decimals; const char* text; };
  const Case cases[] = {
      // Ties a double holds exactly: away from zero, never to even.
      {0.125, 2, "0.13"}, {-0.125, 2, "-0.13"}, {0.375, 2, "0.38"}, {2.5, 0, "3"}, {-2.5, 0, "-3"}, {0.5, 0, "1"}, {1.5, 0, "2"},
      // Decimal ties held a hair below: the shortest text decides, as the surveyor typed it.
      {2.675, 2, "2.68"}, {1.005, 2, "1.01"}, {-1.005, 2, "-1.01"}, {1234.5675, 3, "1234.568"},
      // Below a tie; no minus sign on a zero.
      {2.674999, 2, "2.67"}, {0.0004, 3, "0.000"}, {-0.0004, 3, "0.000"}, {-0.0, 3, "0.000"}, {-0.0005, 3, "-0.001"},
      // Carries through nines into a new digit.
      {9.9995, 3, "10.000"}, {999.9995, 3, "1000.000"}, {-99.5, 0, "-100"},
      // Padding, large and tiny values, many places, no exponent.
      {12, 3, "12.000"}, {0.1, 9, "0.100000000"}, {1e21, 2, "1000000000000000000000.00"}, {5e-324, 3, "0.000"},
      {123456.789, 0, "123457"}, {0.00049999, 3, "0.000"}, {0.1 + 0.2, 17, "0.30000000000000004"},
      {std::numeric_limits<double>::quiet_NaN(), 3, "nan"}, {-std::numeric_limits<double>::infinity(), 3, "-inf"},
  };
  for (const Case& c : cases) EXPECT_EQ(FixedText(c.value, c.decimals), c.text) << c.value << " " << c.decimals;
}

// A second, plain implementation of the rule: round the shortest positional text as a
// decimal string.
std::string ReferenceFixed(double value, int decimals) {
  char buf[400];
  const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed);
  std::string text(buf, res.ptr);
  if (text.find('.') == std::string::npos) text += ".";
  const std::size_t dot = text.find('.');
  text.append(decimals + 1, '0');
  std::string digits = "0" + text.substr(0, dot) + text.substr(dot + 1, decimals);  // leading 0 takes a carry
  if (text[dot + 1 + decimals] >= '5') {
    std::size_t i = digits.size();
    while (digits[--i] == '9') digits[i] = '0';
    ++digits[i];
  }
  std::string whole = digits.substr(0, digits.size() - decimals);
  whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size() - 1));
  std::string out = whole + (decimals ? "." + digits.substr(digits.size() - decimals) : "");
  if (value < 0 && out.find_first_not_of("0.") != std::string::npos) out = "-" + out;
  return out;
}

TEST(FixedText, AgreesWithDecimalStringRoundingEverywhere) {
  std::uint64_t state = 7;
  const auto next = [&] {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return state >> 11;
  };
  for (int i = 0; i < 200000; ++i) {
    const int decimals = static_cast<int>(next() % 10);
    const double scale = std::pow(10.0, static_cast<double>(next() % 24) - 8);
    double value = static_cast<double>(next()) / 9007199254740992.0 * scale;
    // Every other value sits on or next to a decimal tie of its places.
    if (i % 2) {
      const double unit = std::pow(10.0, -decimals);
      value = (std::floor(value / unit) + 0.5) * unit;
      if (i % 4 == 1) value = std::nextafter(value, (i % 8 == 1) ? 0.0 : 1e300);
    }
    if (next() % 2) value = -value;
    ASSERT_EQ(FixedText(value, decimals), ReferenceFixed(value, decimals)) << value << " " << decimals;
  }
}

TEST(StationText, KNotationCarriesAndSigns) {
  struct Case { double station; int decimals; const char* text; };
  const Case cases[] = {
      {12345.678, 3, "K12+345.678"}, {0, 3, "K0+000.000"},     {5.25, 2, "K0+005.25"},
      {999.9996, 3, "K1+000.000"},   {1234.5, 0, "K1+235"},     {1000000, 3, "K1000+000.000"},
      {-12.5, 3, "-K0+012.500"},     {-1234.5, 1, "-K1+234.5"}, {-0.0001, 3, "K0+000.000"}, {345.6, 1, "K0+345.6"},
  };
  for (const Case& c : cases) EXPECT_EQ(StationKText(c.station, c.decimals), c.text) << c.station;
}

TEST(StationText, ReadsKNotationAndMetres) {
  struct Case { const char* text; double station; };
  const Case cases[] = {
      {"K12+345.678", 12345.678}, {"k0+000", 0},        {"-K0+012.5", -12.5},    {"12345.678", 12345.678},
      {" K1+200 ", 1200},         {"K１+２００", 1200}, {"-3.5", -3.5},          {"K1+999.999", 1999.999},
      {"K 1 + 5", 1005},          {"+K2+000", 2000},    {"K1000000+0", 1e9},
  };
  for (const Case& c : cases) {
    const std::optional<double> v = ReadStation(c.text);
    ASSERT_TRUE(v) << c.text;
    EXPECT_NEAR(*v, c.station, 1e-9) << c.text;
  }
  for (const char* bad : {"", "K", "K12", "K+5", "K1+-5", "K1++5", "K1.5+3", "Kx+1", "K1+1000", "K1+2+3", "nan",
                          "K1+nan", "12k", "K-1+000", "K1+1e400"}) {
    EXPECT_FALSE(ReadStation(bad)) << bad;
  }
}

TEST(StationText, KTextReadsBackToTheRoundedStation) {
  for (double s : {0.0, 0.0004, 999.9995, 1000.0, 12345.6785, -0.75, -1999.9996, 98765.4321}) {
    for (int decimals : {0, 3, 6}) {
      const std::string text = StationKText(s, decimals);
      const std::optional<double> back = ReadStation(text);
      ASSERT_TRUE(back) << text;
      EXPECT_EQ(FixedText(*back, decimals), FixedText(s, decimals)) << text;
    }
  }
}

TEST(NumberText, StrictReading) {
  struct Case { const char* text; double value; };
  const Case good[] = {{"12", 12},    {"-1.5", -1.5}, {"+2", 2},      {".5", 0.5},    {"5.", 5},
                       {"1e3", 1000}, {" 7\t", 7},    {"１２.５", 12.5}, {"－３", -3}, {"1E-2", 0.01}};
  for (const Case& c : good) {
    const std::optional<double> v = ReadNumber(c.text);
    ASSERT_TRUE(v) << c.text;
    EXPECT_EQ(*v, c.value) << c.text;
  }
  for (const char* bad : {"", " ", "nan", "NaN", "-nan", "inf", "-inf", "infinity", "0x10", "1,000", "1e", "1e+",
                          "1e400", "-1e400", "--1", "1.2.3", "12a", ".", "+", "1 2", "１２a"}) {
    EXPECT_FALSE(ReadNumber(bad)) << bad;
  }
}

TEST(AngleText, ReadsPackedAnglesKeepingFractionsOfSeconds) {
  struct Case { const char* text; double degrees; };
  const Case cases[] = {
      {"30.1530", 30 + 15.0 / 60 + 30.0 / 3600},
      {"2.3", 2.5},  // 2°30′: binary noise never shifts a digit
      {"123.453012", 123 + 45.0 / 60 + 30.12 / 3600},
      {"-12.3030", -(12 + 30.0 / 60 + 30.0 / 3600)},
      {"1.0060", 1 + 1.0 / 60},  // 60″ taken as they come
      {"0.5959", 59.0 / 60 + 59.0 / 3600},
      {"45", 45},
      {"0.00005", 0.5 / 3600},
  };
  for (const Case& c : cases) {
    const std::optional<double> v = ReadPackedAngle(c.text);
    ASSERT_TRUE(v) << c.text;
    EXPECT_NEAR(*v, c.degrees, 1e-12) << c.text;
  }
  EXPECT_FALSE(ReadPackedAngle("30°15′"));
  EXPECT_FALSE(ReadPackedAngle("nan"));
  EXPECT_NEAR(*ReadAngle("30.1530", AngleUnit::PackedDms), Dms(30, 15, 30), 1e-15);
  EXPECT_NEAR(*ReadAngle("30.1530", AngleUnit::Degrees), 30.153 * std::numbers::pi / 180, 1e-15);
}

TEST(AngleText, PrintsDmsWithHundredthsOfSecondsAndCarries) {
  struct Case { double radians; AngleKind kind; const char* text; AngleUnit unit = AngleUnit::PackedDms; };
  const Case cases[] = {
      {Dms(123, 45, 30.12), AngleKind::Angle, "123.453012"},
      {Dms(0, 0, 0.004), AngleKind::Angle, "0.000000"},
      {Dms(0, 0, 0.006), AngleKind::Angle, "0.000001"},
      {Dms(10, 59, 59.994), AngleKind::Angle, "10.595999"},
      {Dms(10, 59, 59.996), AngleKind::Angle, "11.000000"},  // 60.00″ carries into minutes and degrees
      {Dms(10, 0, 59.996), AngleKind::Angle, "10.010000"},
      {Dms(5, 7, 9), AngleKind::Angle, "5.070900"},
      {-Dms(12, 30, 30), AngleKind::Angle, "-12.303000"},
      {Dms(359, 59, 59.996), AngleKind::Angle, "360.000000"},
      {Dms(359, 59, 59.996), AngleKind::Azimuth, "0.000000"},  // an azimuth stays below 360°
      {-std::numbers::pi / 2, AngleKind::Azimuth, "270.000000"},
      {5 * std::numbers::pi, AngleKind::Azimuth, "180.000000"},
      // Decimal degrees with eight places.
      {45.123456789 * kDeg, AngleKind::Angle, "45.12345679", AngleUnit::Degrees},
      {0.000000005 * kDeg, AngleKind::Angle, "0.00000001", AngleUnit::Degrees},
      {359.999999996 * kDeg, AngleKind::Azimuth, "0.00000000", AngleUnit::Degrees},
      {-90 * kDeg, AngleKind::Azimuth, "270.00000000", AngleUnit::Degrees},
      {-12.5 * kDeg, AngleKind::Angle, "-12.50000000", AngleUnit::Degrees},
  };
  for (const Case& c : cases) EXPECT_EQ(AngleText(c.radians, c.unit, c.kind), c.text) << c.text;
}

// The same writer with more places of seconds: the carries at the last place, and a value
// that reads back within a nanoradian.
TEST(AngleText, PackedWithEightPlacesOfSecondsCarriesAndReadsBack) {
  const auto text = [](double radians, AngleKind kind) {
    std::string s;
    AppendPackedAngle(s, radians, 8, kind);
    return s;
  };
  EXPECT_EQ(text(Dms(30, 15, 30.12345678), AngleKind::Azimuth), "30.153012345678");
  EXPECT_EQ(text(Dms(10, 59, 59.999999996), AngleKind::Angle), "11.000000000000");
  EXPECT_EQ(text(Dms(359, 59, 59.999999996), AngleKind::Azimuth), "0.000000000000");
  EXPECT_EQ(text(-std::numbers::pi / 2, AngleKind::Azimuth), "270.000000000000");
  const double azimuth = 1.2345678901234;
  const std::optional<double> back = ReadAngle(text(azimuth, AngleKind::Azimuth), AngleUnit::PackedDms);
  ASSERT_TRUE(back);
  EXPECT_NEAR(*back, azimuth, 1e-12);
}

TEST(AngleText, PrintedAnglesReadBackUnchanged) {
  for (const char* packed : {"123.453012", "0.000001", "359.595999", "89.595999", "0.300050"}) {
    const std::optional<double> r = ReadAngle(packed, AngleUnit::PackedDms);
    ASSERT_TRUE(r);
    EXPECT_EQ(AngleText(*r, AngleUnit::PackedDms), packed);
  }
}

TEST(CsvField, QuotesOnlyWhatNeedsIt) {
  const std::pair<const char*, const char*> cases[] = {
      {"JD3 HY", "JD3 HY"}, {"a,b", "\"a,b\""}, {"say \"hi\"", "\"say \"\"hi\"\"\""}, {"two\nlines", "\"two\nlines\""},
      {"交点", "交点"},     {"", ""}};
  for (const auto& [text, field] : cases) {
    std::string out;
    AppendCsvField(out, text);
    EXPECT_EQ(out, field);
  }
}

}  // namespace
}  // namespace survey::alignment
