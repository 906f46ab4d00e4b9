// The design at located points on hand-worked numbers: a flat 5 m lane on the left only at
// 50.000 (a level profile), fill 1:1.5 and cut 1:1 on the left.
#include "alignment/check/locate_design.h"

#include <gtest/gtest.h>

namespace survey::alignment::check {
namespace {

constexpr double kEps = 1e-9;

struct Fixture {
  Fixture() {
    section::SectionTables tables;
    tables.section.left = {{"行车道", 5, 0, true, true, false, 2}};
    model.emplace(tables, stations);
    slopes.ratio[0][0] = 1.5;
    slopes.ratio[0][1] = 1.0;
    slopes.ratio[1][0] = 1.5;
    slopes.ratio[1][1] = 1.0;
  }
  PointDesign At(double chainage, double offset, std::optional<double> z, bool withSlopes = true, bool inside = true,
                 const Profile* from = nullptr) const {
    LocateRow row;
    row.inside = inside;
    row.chainage = chainage;
    row.offset = offset;
    return DesignAtLocated(*model, from ? from : &profile, withSlopes ? &slopes : nullptr, row, z);
  }
  StationLine stations{0, {}, 1000};
  Profile profile{{{"", 0, 50, 0, 0, 0}, {"", 1000, 50, 0, 0, 0}}};
  std::optional<section::SectionModel> model;
  section::SideSlopes slopes;
};

TEST(DesignAtLocated, SurfaceInsideSlopeBeyondNothingElsewhere) {
  const Fixture f;
  struct Case {
    const char* what;
    double offset;
    std::optional<double> z;
    bool withSlopes;
    std::optional<double> surface, surfaceDz, fillCut;
    bool slope, cut;
    double move;
  };
  const Case cases[] = {
      // On the lane 0.3 below the surface: 0.3 of fill to place, no slope stake.
      {"inside, below", -2, 49.7, true, 50.0, -0.3, 0.3, false, false, 0},
      {"inside, no z", -2, std::nullopt, true, 50.0, std::nullopt, std::nullopt, false, false, 0},
      // 2 m beyond the edge, 1.5 m below it, fill 1:1.5: catch at 7.25, move +0.25; fill_cut is
      // the slope's elevation (50 − 2/1.5) minus z.
      {"fill slope", -7, 48.5, true, std::nullopt, std::nullopt, 50 - 2 / 1.5 - 48.5, true, false, 0.25},
      // 2 m beyond, 1.2 m above, cut 1:1: catch at 6.2, move −0.8; the slope is 52.0 there.
      {"cut slope", -7, 51.2, true, std::nullopt, std::nullopt, 52.0 - 51.2, true, true, -0.8},
      {"beyond, no slopes", -7, 48.5, false, std::nullopt, std::nullopt, std::nullopt, false, false, 0},
      {"beyond, no z", -7, std::nullopt, true, std::nullopt, std::nullopt, std::nullopt, false, false, 0},
      // The right side has no parts: no surface there, and no refusal either.
      {"side without parts", 3, 49.0, true, std::nullopt, std::nullopt, std::nullopt, false, false, 0},
      // The design line belongs to both sides.
      {"design line", 0, 50.2, true, 50.0, 0.2, -0.2, false, false, 0},
  };
  for (const Case& c : cases) {
    const PointDesign d = f.At(100, c.offset, c.z, c.withSlopes);
    const auto expectNear = [&](const std::optional<double>& got, const std::optional<double>& want, const char* column) {
      ASSERT_EQ(got.has_value(), want.has_value()) << c.what << ": " << column;
      if (want) {
        EXPECT_NEAR(*got, *want, kEps) << c.what << ": " << column;
      }
    };
    expectNear(d.surface, c.surface, "surface");
    expectNear(d.surfaceDz, c.surfaceDz, "surface dz");
    expectNear(d.fillCut, c.fillCut, "fill_cut");
    ASSERT_EQ(d.slope.has_value(), c.slope) << c.what;
    if (!c.slope) continue;
    EXPECT_EQ(d.slope->cut, c.cut) << c.what;
    EXPECT_NEAR(d.slope->move, c.move, kEps) << c.what;
    EXPECT_NEAR(d.slope->slopeDz, -*c.fillCut, kEps) << c.what;
  }
}

TEST(DesignAtLocated, NoNumbersOffTheRouteOrBeyondTheProfile) {
  const Fixture f;
  // Beyond an end of the route: nothing, whatever the offset says.
  const PointDesign outside = f.At(100, -7, 48.5, true, false);
  EXPECT_FALSE(outside.surface || outside.slope || outside.fillCut);
  // Where the profile does not reach, the edge's elevation is unknown: no slope stake.
  const Profile shortProfile({{"", 0, 50, 0, 0, 0}, {"", 50, 50, 0, 0, 0}});
  const PointDesign unknown = f.At(100, -7, 48.5, true, true, &shortProfile);
  EXPECT_FALSE(unknown.surface || unknown.slope || unknown.fillCut);
  EXPECT_TRUE(f.At(40, -7, 48.5, true, true, &shortProfile).slope.has_value());
}

}  // namespace
}  // namespace survey::alignment::check
