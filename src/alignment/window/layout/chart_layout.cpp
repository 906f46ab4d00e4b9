#include "alignment/window/layout/chart_layout.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace survey::alignment::window {

bool Box::Overlaps(const Box& o) const {
  return left < o.Right() && o.left < Right() && top < o.Bottom() && o.top < Bottom();
}

bool Box::Inside(const Box& f) const {
  return left >= f.left && top >= f.top && Right() <= f.Right() && Bottom() <= f.Bottom();
}

namespace {

// The boxes taken so far, filed by the 64 px cells of the frame they touch, so that a route with
// thousands of main points is labelled in time proportional to their number.
class TakenBoxes {
 public:
  explicit TakenBoxes(const Box& frame)
      : frame_(frame),
        columns_(Cells(frame.width)),
        rows_(Cells(frame.height)),
        cells_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_)) {}

  void Add(const Box& b) {
    ForCells(b, [&](std::vector<Box>& cell) {
      cell.push_back(b);
      return false;
    });
  }
  bool Hits(const Box& b) {
    return ForCells(b, [&](std::vector<Box>& cell) {
      return std::any_of(cell.begin(), cell.end(), [&](const Box& t) { return t.Overlaps(b); });
    });
  }

 private:
  static constexpr double kCell = 64;
  static int Cells(double extent) { return std::clamp(static_cast<int>(std::ceil(extent / kCell)), 1, 512); }
  int Column(double x) const { return std::clamp(static_cast<int>((x - frame_.left) / frame_.width * columns_), 0, columns_ - 1); }
  int Row(double y) const { return std::clamp(static_cast<int>((y - frame_.top) / frame_.height * rows_), 0, rows_ - 1); }
  template <typename F>
  bool ForCells(const Box& b, F f) {
    // Boxes beyond the frame land in its edge cells, where they still count.
    const int c0 = Column(b.left), c1 = Column(b.Right()), r0 = Row(b.top), r1 = Row(b.Bottom());
    for (int r = r0; r <= r1; ++r) {
      for (int c = c0; c <= c1; ++c) {
        if (f(cells_[static_cast<std::size_t>(r) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(c)])) return true;
      }
    }
    return false;
  }
  Box frame_;
  int columns_, rows_;
  std::vector<std::vector<Box>> cells_;
};

}  // namespace

std::vector<std::optional<Box>> PlaceLabels(const std::vector<LabelRequest>& requests, const Box& frame,
                                            const std::vector<Box>& obstacles) {
  std::vector<std::optional<Box>> placed(requests.size());
  if (!(frame.width > 0 && frame.height > 0) || !std::isfinite(frame.left) || !std::isfinite(frame.top)) return placed;
  std::vector<std::size_t> order(requests.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return requests[a].priority < requests[b].priority; });
  TakenBoxes taken(frame);
  for (const Box& b : obstacles) taken.Add(b);
  constexpr double gap = 4;
  for (const std::size_t i : order) {
    const LabelRequest& r = requests[i];
    if (!(r.width > 0 && r.height > 0) || !std::isfinite(r.anchorX) || !std::isfinite(r.anchorY)) continue;
    // Upper right first, as a draughtsman writes, then the other corners, then above and below.
    const double w = r.width, h = r.height, x = r.anchorX, y = r.anchorY;
    const Box candidates[] = {
        {x + gap, y - gap - h, w, h}, {x + gap, y + gap, w, h},         {x - gap - w, y - gap - h, w, h},
        {x - gap - w, y + gap, w, h}, {x - w / 2, y - 2 * gap - h, w, h}, {x - w / 2, y + 2 * gap, w, h},
        {x + gap, y - h / 2, w, h},   {x - gap - w, y - h / 2, w, h},
    };
    for (const Box& c : candidates) {
      if (!c.Inside(frame) || taken.Hits(c)) continue;
      placed[i] = c;
      taken.Add(c);
      break;
    }
  }
  return placed;
}

std::vector<std::optional<Box>> PlaceLabelsPreferClear(const std::vector<LabelRequest>& requests, const Box& frame,
                                                       const std::vector<Box>& obstacles, const std::vector<Box>& soft) {
  std::vector<Box> both = obstacles;
  both.insert(both.end(), soft.begin(), soft.end());
  std::vector<std::optional<Box>> placed = PlaceLabels(requests, frame, both);
  std::vector<Box> taken = obstacles;
  std::vector<LabelRequest> rest;
  std::vector<std::size_t> restIndex;
  for (std::size_t i = 0; i < placed.size(); ++i) {
    if (placed[i]) {
      taken.push_back(*placed[i]);
    } else {
      rest.push_back(requests[i]);
      restIndex.push_back(i);
    }
  }
  const std::vector<std::optional<Box>> second = PlaceLabels(rest, frame, taken);
  for (std::size_t j = 0; j < second.size(); ++j) placed[restIndex[j]] = second[j];
  return placed;
}

double NiceStep(double pixelsPerUnit, double minPixels, double smallest) {
  if (!(pixelsPerUnit > 0) || !std::isfinite(pixelsPerUnit)) return smallest;
  const double wanted = std::max(minPixels / pixelsPerUnit, smallest);
  const double decade = std::pow(10.0, std::floor(std::log10(wanted)));
  for (const double m : {1.0, 2.0, 5.0, 10.0}) {
    // The tolerance keeps an exact 1-2-5 value from stepping up through rounding of the log.
    if (decade * m >= wanted * (1 - 1e-12)) return decade * m;
  }
  return decade * 10;
}

double StationStep(double pixelsPerMetre, double minPixels) { return NiceStep(pixelsPerMetre, minPixels, 100.0); }

std::vector<double> RoundValues(double from, double to, double step, std::size_t limit) {
  std::vector<double> values;
  if (!(step > 0) || !std::isfinite(from) || !std::isfinite(to)) return values;
  if (from > to) std::swap(from, to);
  // A value a hair inside the range by rounding (from = 99.9999999999 for 100) still counts.
  const double slack = step * 1e-9;
  const double first = std::ceil((from - slack) / step), last = std::floor((to + slack) / step);
  if (last < first) return values;
  if (last - first + 1 > static_cast<double>(limit)) return values;
  for (double k = first; k <= last; k += 1) values.push_back(k * step);
  return values;
}

}  // namespace survey::alignment::window
