#include <gtest/gtest.h>

#include "fennick/bevel.h"

namespace fennick {
namespace {

TEST(Bevel, ColoursLinesCentringAndPointer) {
  using Colours = std::array<OleColor, 4>;  // top, left, bottom, right
  EXPECT_EQ(BevelColours(Look::Flat, 0x00123456u), Colours({0x00123456u, 0x00123456u, 0x00123456u, 0x00123456u}));
  EXPECT_EQ(BevelColours(Look::Flat, kButtonFace), Colours({kButtonFace, kButtonFace, kButtonFace, kButtonFace}));
  EXPECT_EQ(BevelColours(Look::Raised, kButtonFace), Colours({0xFFFFFFu, 0xFFFFFFu, 0u, 0u}));
  EXPECT_EQ(BevelColours(Look::Sunken, kButtonFace), Colours({0u, 0u, 0xFFFFFFu, 0xFFFFFFu}));
  using Lines = std::array<BevelLine, 4>;  // on the outermost pixel rows and columns
  EXPECT_EQ(BevelLines(120, 33), Lines({{0, 0, 120, true}, {0, 0, 33, false}, {0, 32, 120, true}, {119, 0, 33, false}}));
  EXPECT_EQ(BevelLines(1, 1), Lines({{0, 0, 1, true}, {0, 0, 1, false}, {0, 0, 1, true}, {0, 0, 1, false}}));
  EXPECT_EQ(BevelLines(0, 0)[0].length + BevelLines(0, 0)[1].length, 0);
  // Centring: half a pixel goes to the right; a larger element overhangs on both sides.
  for (const auto& [outer, inner, offset] : {std::tuple{100, 40, 30}, {101, 40, 30}, {40, 40, 0}, {40, 60, -10}, {40, 61, -11}})
    EXPECT_EQ(CentreOffset(outer, inner), offset) << outer << " " << inner;
  // Strictly inside a 100 x 30 control, with no other window on top.
  for (const auto& [x, y, inside] : {std::tuple{0.0, 10.0, false}, {10.0, 0.0, false}, {100.0, 10.0, false},
                                     {10.0, 30.0, false}, {-1.0, 10.0, false}, {1.0, 1.0, true}, {99.0, 29.0, true}, {0.5, 0.5, true}})
    EXPECT_EQ(PointerInside(x, y, 100, 30, true), inside) << x << ", " << y;
  EXPECT_FALSE(PointerInside(50, 15, 100, 30, false));
}

TEST(HoverTracker, RaisesAndCapturesOnEnterFlattensAndReleasesOnLeave) {
  HoverTracker tracker;
  const HoverActions none, enter{true, true, false, false}, retake{false, true, false, false}, leave{false, false, true, true};
  EXPECT_EQ(tracker.Leave(), none);
  EXPECT_EQ(tracker.Track(true, false), enter);
  EXPECT_TRUE(tracker.Hovering());
  EXPECT_EQ(tracker.Track(true, true), none);
  EXPECT_EQ(tracker.Track(true, false), retake);  // another window took the capture
  EXPECT_EQ(tracker.Track(false, true), leave);
  EXPECT_EQ(tracker.Track(false, false), none);
  EXPECT_FALSE(tracker.Hovering());
  tracker.Track(true, false);
  EXPECT_EQ(tracker.Leave(), leave);  // hidden or gone
  EXPECT_FALSE(tracker.Hovering());
}

}  // namespace
}  // namespace fennick
