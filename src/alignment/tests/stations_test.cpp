#include "alignment/stations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "alignment/alignment_error.h"
#include "refusal.h"

namespace survey::alignment {
namespace {

// Start K1+000 on a 1,000 m route; a gap K1+200=K1+250 and an overlap K1+500=K1+450:
//   chainage   0..200  reads 1000..1200
//   chainage 200..450  reads 1250..1500
//   chainage 450..1000 reads 1450..2000
StationLine GapAndOverlap() { return StationLine(1000, {{1200, 1250}, {1500, 1450}}, 1000); }

TEST(Stations, BeforeInsideAndAfterAGapAndAnOverlap) {
  const StationLine line = GapAndOverlap();
  struct Case {
    double station;
    std::optional<double> chainage;  // nullopt: refused
  };
  const Case cases[] = {
      {1000, 0},       {1100, 100},    {1200, 200},     // before the gap, its back end
      {1220, std::nullopt},                             // inside the gap
      {1250, 200},     {1260, 210},                     // its ahead end, after it
      {1440, 390},                                      // before the overlap
      {1450, 450},     {1470, 470},    {1500, 500},     // twice: the position after the equation
      {1600, 600},     {2000, 1000},                    // after it, the end
      {999, std::nullopt},  {2001, std::nullopt},       // outside
      {2000.0004, 1000},                                // an end printed to the millimetre
  };
  for (const Case& c : cases) {
    if (c.chainage) {
      EXPECT_NEAR(line.ChainageAt(c.station), *c.chainage, 1e-9) << c.station;
    } else {
      EXPECT_THROW(line.ChainageAt(c.station), AlignmentError) << c.station;
    }
  }
  EXPECT_DOUBLE_EQ(line.StationAt(199), 1199);
  EXPECT_DOUBLE_EQ(line.StationAt(200), 1250);  // at an equation, the ahead station
  EXPECT_DOUBLE_EQ(line.StationAt(420), 1470);
  EXPECT_DOUBLE_EQ(line.StationAt(450), 1450);
  EXPECT_DOUBLE_EQ(line.StationAt(470), 1470);
  EXPECT_DOUBLE_EQ(line.EndStation(), 2000);
}

TEST(Stations, GapRefusalNamesTheEquation) {
  EXPECT_NE(RefusalOf([] { GapAndOverlap().ChainageAt(1220); }).find("K1+200.000=K1+250.000"), std::string::npos);
}

TEST(Stations, EquationsOutOfOrderOrBeyondTheRouteAreRefused) {
  EXPECT_THROW(StationLine(1000, {{1200, 1250}, {1240, 1300}}, 1000), AlignmentError);  // back before 1250
  EXPECT_THROW(StationLine(1000, {{900, 950}}, 1000), AlignmentError);                  // before the start
  EXPECT_THROW(StationLine(1000, {{2100, 2200}}, 1000), AlignmentError);                // beyond the end
  EXPECT_THROW(StationLine(1e300, {}, 1000), AlignmentError);
  EXPECT_THROW(StationLine(0, {{std::nan(""), 1}}, 1000), AlignmentError);
}

TEST(Stations, MessageText) {
  EXPECT_EQ(StationMessageText(12345.678), "K12+345.678");
  EXPECT_EQ(StationMessageText(999.9996), "K1+000.000");
  EXPECT_EQ(StationMessageText(45.6), "K0+045.600");
  EXPECT_EQ(StationMessageText(-5), "-5.000");
}

}  // namespace
}  // namespace survey::alignment
