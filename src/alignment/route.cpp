#include "alignment/route.h"

#include "alignment/alignment_error.h"
#include "alignment/locate_index.h"

namespace survey::alignment {

Route::Route(std::vector<Element> elements, StationLine stations, std::vector<MainPoint> mainPoints,
             std::vector<CurveRow> curves, double closureError)
    : elements_(std::move(elements)),
      stations_(std::move(stations)),
      mainPoints_(std::move(mainPoints)),
      curves_(std::move(curves)),
      closureError_(closureError) {
  index_ = std::make_shared<LocateIndex>(elements_);
}

Pose Route::PointAt(double, double, double) const { return {}; }
Location Route::Locate(double x, double y) const { return index_->Nearest(x, y); }

Route BuildRouteFromJd(const std::vector<JdInput>&, double, std::vector<StationEquation>) {
  throw AlignmentError("not yet");
}
Route BuildRouteFromElements(const Pose&, double, const std::vector<ElementSpec>&, std::vector<StationEquation>) {
  throw AlignmentError("not yet");
}

}  // namespace survey::alignment
