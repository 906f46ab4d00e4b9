#include "alignment/window/layout/chart_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace survey::alignment::window {
namespace {

const Box kFrame{0, 0, 400, 300};

bool AnyOverlap(const std::vector<std::optional<Box>>& placed) {
  for (std::size_t i = 0; i < placed.size(); ++i) {
    for (std::size_t j = i + 1; j < placed.size(); ++j) {
      if (placed[i] && placed[j] && placed[i]->Overlaps(*placed[j])) return true;
    }
  }
  return false;
}

TEST(Box, OverlapIsStrictAndSymmetric) {
  const Box a{0, 0, 10, 10};
  struct Case { Box b; bool overlaps; };
  for (const Case& c : {Case{{5, 5, 10, 10}, true}, Case{{10, 0, 5, 5}, false},  // touching edges do not overlap
                        Case{{0, 10, 5, 5}, false}, Case{{-5, -5, 6, 6}, true}, Case{{2, 2, 1, 1}, true}}) {
    EXPECT_EQ(a.Overlaps(c.b), c.overlaps) << c.b.left << "," << c.b.top;
    EXPECT_EQ(c.b.Overlaps(a), c.overlaps);
  }
}

TEST(PlaceLabels, CrowdedAnchorsNeverOverlapAndStayInFrame) {
  // Fifty labels at nearly the same spot, as at a curve's main points seen from far away.
  std::vector<LabelRequest> requests;
  for (int i = 0; i < 50; ++i) requests.push_back({200 + i * 0.5, 150 + i * 0.3, 80, 12, i % 3});
  const auto placed = PlaceLabels(requests, kFrame);
  EXPECT_FALSE(AnyOverlap(placed));
  int count = 0;
  for (const auto& b : placed) {
    if (!b) continue;
    ++count;
    EXPECT_TRUE(b->Inside(kFrame));
  }
  EXPECT_GE(count, 4);  // the corners around the spot are used, not just one
}

TEST(PlaceLabels, LabelsAcrossAWideFrameNeverOverlap) {
  // Labels wider than the bookkeeping's cells, anchors on a skewed lattice so that boxes straddle
  // cell borders in every way.
  const Box frame{-300, 50, 2000, 1500};
  std::vector<LabelRequest> requests;
  for (int i = 0; i < 1500; ++i) {
    requests.push_back({-300 + std::fmod(i * 37.3, 2000.0), 50 + std::fmod(i * 53.9, 1500.0), 40.0 + i % 5 * 30, 10.0 + i % 3 * 4, i % 4});
  }
  const auto placed = PlaceLabels(requests, frame);
  EXPECT_FALSE(AnyOverlap(placed));
  std::size_t count = 0;
  for (const auto& b : placed) count += b.has_value() ? 1 : 0;
  EXPECT_GT(count, 300u);
}

TEST(PlaceLabels, HigherPriorityWinsWhateverTheOrder) {
  // A station label asked for first must not push out the main point at the same anchor.
  const std::vector<LabelRequest> requests = {{100, 100, 300, 12, 3}, {100, 100, 300, 12, 2}};
  const Box narrow{0, 90, 420, 30};  // room beside the anchor for one wide label only
  const auto placed = PlaceLabels(requests, narrow);
  ASSERT_TRUE(placed[1].has_value());
  EXPECT_FALSE(placed[0].has_value());
}

TEST(PlaceLabels, LabelsNearTheEdgeTurnInward) {
  struct Case { double x, y; };
  for (const Case c : {Case{398, 150}, Case{2, 150}, Case{200, 1}, Case{200, 299}, Case{399, 299}}) {
    const auto placed = PlaceLabels({{c.x, c.y, 60, 12, 0}}, kFrame);
    ASSERT_TRUE(placed[0].has_value()) << c.x << "," << c.y;
    EXPECT_TRUE(placed[0]->Inside(kFrame)) << c.x << "," << c.y;
  }
  // Wider than the frame: left out rather than cut.
  EXPECT_FALSE(PlaceLabels({{200, 150, 500, 12, 0}}, kFrame)[0].has_value());
}

TEST(PlaceLabels, KeepsClearOfObstaclesAndSkipsBadSizes) {
  const std::vector<Box> obstacles = {{0, 0, 400, 140}};  // everything above y = 140 taken
  const auto placed = PlaceLabels({{200, 145, 60, 12, 0}, {10, 10, 0, 12, 0}}, kFrame, obstacles);
  ASSERT_TRUE(placed[0].has_value());
  EXPECT_GE(placed[0]->top, 140);
  EXPECT_FALSE(placed[1].has_value());
}

TEST(PlaceLabelsPreferClear, OffTheLineWhereThereIsRoomOverItWhereNot) {
  // A line along y = 150 from x = 0 to 400; one label with room beside the line, one in a frame
  // so low that it can only sit on the line.
  std::vector<Box> line;
  for (double x = 0; x < 400; x += 6) line.push_back({x - 3, 147, 6, 6});
  const auto roomy = PlaceLabelsPreferClear({{200, 150, 60, 12, 0}}, kFrame, {}, line);
  ASSERT_TRUE(roomy[0].has_value());
  EXPECT_FALSE(std::any_of(line.begin(), line.end(), [&](const Box& b) { return b.Overlaps(*roomy[0]); }));
  const Box strip{0, 144, 400, 14};
  const auto tight = PlaceLabelsPreferClear({{200, 150, 60, 12, 0}, {200, 150, 60, 12, 0}}, strip, {}, line);
  ASSERT_TRUE(tight[0].has_value());  // kept, over the line
  ASSERT_TRUE(tight[1].has_value());
  EXPECT_FALSE(tight[0]->Overlaps(*tight[1]));  // but never over another label
  // Hard obstacles stay hard in the second pass.
  const auto blocked = PlaceLabelsPreferClear({{200, 150, 60, 12, 0}}, strip, {{0, 0, 400, 300}}, line);
  EXPECT_FALSE(blocked[0].has_value());
}

TEST(StationStep, RoundStepsByZoom) {
  struct Case { double pixelsPerMetre; double step; };
  // 90 px between labels: 100 m at 1 px/m, 1 km at 0.1, and 100 m however close in.
  for (const Case c : {Case{1.0, 100}, Case{0.9, 100}, Case{0.89, 200}, Case{0.2, 500}, Case{0.1, 1000},
                       Case{0.05, 2000}, Case{3, 100}, Case{100, 100}}) {
    EXPECT_DOUBLE_EQ(StationStep(c.pixelsPerMetre, 90), c.step) << c.pixelsPerMetre;
  }
  EXPECT_DOUBLE_EQ(StationStep(0, 90), 100);  // no scale yet: the smallest step, not a division by zero
}

TEST(NiceStep, ExactSeriesValuesAreKept) {
  for (const double v : {0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 1000.0, 5000.0}) EXPECT_DOUBLE_EQ(NiceStep(1, v), v);
  EXPECT_DOUBLE_EQ(NiceStep(1, 1001), 2000);
  EXPECT_DOUBLE_EQ(NiceStep(1, 0.001, 0.5), 0.5);
}

TEST(RoundValues, MultiplesInsideTheRange) {
  EXPECT_EQ(RoundValues(10123.4, 10550, 100), (std::vector<double>{10200, 10300, 10400, 10500}));
  EXPECT_EQ(RoundValues(10550, 10123.4, 100), (std::vector<double>{10200, 10300, 10400, 10500}));
  // Ends that are themselves round, a rounding hair off, are included.
  EXPECT_EQ(RoundValues(99.99999999999, 300.00000000001, 100), (std::vector<double>{100, 200, 300}));
  EXPECT_EQ(RoundValues(-250, -50, 100), (std::vector<double>{-200, -100}));
  EXPECT_TRUE(RoundValues(101, 199, 100).empty());
  EXPECT_TRUE(RoundValues(0, 1e9, 1, 1000).empty());  // too many: none rather than a stall
  EXPECT_TRUE(RoundValues(0, 100, 0).empty());
}

}  // namespace
}  // namespace survey::alignment::window
