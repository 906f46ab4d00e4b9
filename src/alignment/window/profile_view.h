// The profile view as a 纵断面图: grid, the grade line with its vertical curves, the vertical-curve
// data (R, T, E) at each grade change point, and under the drawing the grades in % with the
// lengths between the points and the stations. Wheel zooms along the stations, drag pans, double
// click fits.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

#include "alignment/profile.h"
#include "alignment/stations.h"
#include "alignment/window/zoom_pan_view.h"

namespace survey::alignment::window {

// A text as last drawn, in widget pixels (for checks and tests).
struct ProfileLabel {
  QString text;
  QRectF box;
};

class ProfileView : public ZoomPanView {
  Q_OBJECT

 public:
  explicit ProfileView(QWidget* parent = nullptr);
  // The profile on the route's chainages; the route turns them into stations for labels.
  void SetProfile(std::optional<Profile> profile, std::optional<StationLine> stations);
  // The chainage of the current stake (nullopt: none).
  void SetCurrent(std::optional<double> chainage);
  void FitToWindow() override;
  // Zooms the stations by `factor` about the one under `anchor` (widget pixels); the elevations
  // follow the part shown.
  void ZoomAt(QPointF anchor, double factor) override;

  // The drawing's frame in widget pixels, and the measure and elevation ranges it shows.
  QRectF PlotArea() const;
  double MeasureFrom() const { return m0_; }
  double MeasureTo() const { return m1_; }
  const std::vector<ProfileLabel>& Labels() const { return labels_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  // Along the stations only, the elevations fitted to what is shown.
  void PanBy(QPointF delta) override;

 private:
  QPointF ToScreen(double m, double z) const;
  double Station(double m) const;
  std::optional<double> MeasureAt(double station) const;
  void FitElevations();
  void DrawGrid(QPainter& painter, const QRectF& area) const;
  void DrawBands(QPainter& painter, const QRectF& area) const;
  void DrawPointData(QPainter& painter, const QRectF& area) const;
  std::optional<Profile> profile_;
  std::optional<StationLine> stations_;
  std::optional<double> current_;
  double m0_ = 0, m1_ = 1, z0_ = 0, z1_ = 1;  // the shown ranges
  mutable std::vector<ProfileLabel> labels_;
};

}  // namespace survey::alignment::window
