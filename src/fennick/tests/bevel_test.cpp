#include <gtest/gtest.h>

#include "fennick/bevel.h"

namespace fennick {
namespace {

TEST(BevelColours, FlatTakesTheBackColourRaisedAndSunkenAreMirrored) {
  const std::array<OleColor, 4> flat = {0x00123456u, 0x00123456u, 0x00123456u, 0x00123456u};
  EXPECT_EQ(BevelColours(Look::Flat, 0x00123456u), flat);
  const std::array<OleColor, 4> flatSystem = {kButtonFace, kButtonFace, kButtonFace, kButtonFace};
  EXPECT_EQ(BevelColours(Look::Flat, kButtonFace), flatSystem);
  const std::array<OleColor, 4> raised = {0xFFFFFFu, 0xFFFFFFu, 0u, 0u};
  EXPECT_EQ(BevelColours(Look::Raised, kButtonFace), raised);
  const std::array<OleColor, 4> sunken = {0u, 0u, 0xFFFFFFu, 0xFFFFFFu};
  EXPECT_EQ(BevelColours(Look::Sunken, kButtonFace), sunken);
}

TEST(BevelLines, SitOnTheOutermostPixelRowsAndColumns) {
  const auto lines = BevelLines(120, 33);
  EXPECT_EQ(lines[0], (BevelLine{0, 0, 120, true}));    // top
  EXPECT_EQ(lines[1], (BevelLine{0, 0, 33, false}));    // left
  EXPECT_EQ(lines[2], (BevelLine{0, 32, 120, true}));   // bottom
  EXPECT_EQ(lines[3], (BevelLine{119, 0, 33, false}));  // right
}

TEST(BevelLines, OnePixelControlAndEmptyControlStayInside) {
  const auto one = BevelLines(1, 1);
  EXPECT_EQ(one[2], (BevelLine{0, 0, 1, true}));
  EXPECT_EQ(one[3], (BevelLine{0, 0, 1, false}));
  const auto none = BevelLines(0, 0);
  EXPECT_EQ(none[0].length, 0);
  EXPECT_EQ(none[1].length, 0);
}

TEST(CentreOffset, CentresAndOverhangsEvenly) {
  EXPECT_EQ(CentreOffset(100, 40), 30);
  EXPECT_EQ(CentreOffset(101, 40), 30);  // half a pixel goes to the right
  EXPECT_EQ(CentreOffset(40, 40), 0);
  EXPECT_EQ(CentreOffset(40, 60), -10);
  EXPECT_EQ(CentreOffset(40, 61), -11);
}

TEST(PointerInside, EdgesAtZeroAndAtTheSizeAreOutside) {
  EXPECT_FALSE(PointerInside(0, 10, 100, 30, true));
  EXPECT_FALSE(PointerInside(10, 0, 100, 30, true));
  EXPECT_FALSE(PointerInside(100, 10, 100, 30, true));
  EXPECT_FALSE(PointerInside(10, 30, 100, 30, true));
  EXPECT_FALSE(PointerInside(-1, 10, 100, 30, true));
  EXPECT_TRUE(PointerInside(1, 1, 100, 30, true));
  EXPECT_TRUE(PointerInside(99, 29, 100, 30, true));
  EXPECT_TRUE(PointerInside(0.5, 0.5, 100, 30, true));
}

TEST(PointerInside, AnotherWindowOnTopHidesTheControl) {
  EXPECT_FALSE(PointerInside(50, 15, 100, 30, false));
}

TEST(HoverTracker, EnterRaisesAndCapturesOnceLeaveFlattensAndReleases) {
  HoverTracker tracker;
  EXPECT_FALSE(tracker.Hovering());
  EXPECT_EQ(tracker.Track(true, false), (HoverActions{true, true, false, false}));
  EXPECT_TRUE(tracker.Hovering());
  // Still inside with the capture held: nothing to do.
  EXPECT_EQ(tracker.Track(true, true), (HoverActions{}));
  // Inside but the capture was lost (another window took it): take it back, no new look.
  EXPECT_EQ(tracker.Track(true, false), (HoverActions{false, true, false, false}));
  EXPECT_EQ(tracker.Track(false, true), (HoverActions{false, false, true, true}));
  EXPECT_FALSE(tracker.Hovering());
  // Moves outside while not hovering change nothing.
  EXPECT_EQ(tracker.Track(false, false), (HoverActions{}));
}

TEST(HoverTracker, LeaveWithoutHoverDoesNothing) {
  HoverTracker tracker;
  EXPECT_EQ(tracker.Leave(), (HoverActions{}));
  tracker.Track(true, false);
  EXPECT_EQ(tracker.Leave(), (HoverActions{false, false, true, true}));
  EXPECT_FALSE(tracker.Hovering());
}

}  // namespace
}  // namespace fennick
