// Where the plan and profile drawings put their labels and ticks. Plain geometry in widget
// pixels (y down), no Qt, so the choices can be checked without painting.
#pragma once

#include <optional>
#include <vector>

namespace survey::alignment::window {

struct Box {
  double left = 0, top = 0, width = 0, height = 0;
  double Right() const { return left + width; }
  double Bottom() const { return top + height; }
  bool Overlaps(const Box& other) const;
  bool Inside(const Box& frame) const;
};

struct LabelRequest {
  double anchorX = 0, anchorY = 0;  // the point the label names
  double width = 0, height = 0;     // the label's text size
  int priority = 0;                 // lower is placed first
};

// Places each label beside its anchor at the first of a few candidate spots that stays inside
// `frame` and clear of the labels already placed and of `obstacles`. Labels are taken by
// priority, then in the given order, so main points are never pushed out by stations. The
// result is parallel to `requests`; nullopt: no room, the label is left out.
std::vector<std::optional<Box>> PlaceLabels(const std::vector<LabelRequest>& requests, const Box& frame,
                                            const std::vector<Box>& obstacles = {});

// As PlaceLabels, clear of `soft` (the drawn line) where a label has room, else over it: a
// label is never left out for the line's sake, only for want of room.
std::vector<std::optional<Box>> PlaceLabelsPreferClear(const std::vector<LabelRequest>& requests, const Box& frame,
                                                       const std::vector<Box>& obstacles, const std::vector<Box>& soft);

// The spacing of a 1-2-5 series (…, 10, 20, 50, 100, …) that keeps `pixelsPerUnit`-scaled
// steps at least `minPixels` apart; never below `smallest`.
double NiceStep(double pixelsPerUnit, double minPixels, double smallest = 1e-6);

// The station labels' spacing: every 100 m while such labels stay `minPixels` apart on screen,
// else 200, 500 m, 1 km, 2 km …; never closer than 100 m, however far in.
double StationStep(double pixelsPerMetre, double minPixels);

// The multiples of `step` in [from, to] (either order), ascending; at most `limit` of them
// (empty when there would be more, or when step is not positive).
std::vector<double> RoundValues(double from, double to, double step, std::size_t limit = 10000);

}  // namespace survey::alignment::window
