// The plan view: the route drawn to scale over its tangents, with main points, round stations,
// stakes, located points and the stake-out stations, a north arrow and coordinate ticks. The
// same drawing goes on paper with a title block (plan_print.cpp).
#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "alignment/result_table.h"
#include "alignment/route.h"
#include "alignment/window/zoom_pan_view.h"

class QPainter;

namespace survey::alignment::window {

// A label as last drawn, in the drawing's pixels (for checks and tests).
struct PlanLabel {
  QString text;
  QRectF box;
  int priority = 0;  // -1 the marked stake, 0 stake-out stations, 1 JDs, 2 main points, 3 round stations, 4 located points
};

// World (X north, Y east) to drawing coordinates: `scale` pixels per metre, the world centre at
// the middle of `area`.
struct PlanFrame {
  QRectF area;
  double scale = 1;
  double centreX = 0, centreY = 0;
  QPointF ToScreen(double x, double y) const;
  QPointF ToWorld(QPointF s) const;
};

class PlanView : public ZoomPanView {
  Q_OBJECT

 public:
  explicit PlanView(QWidget* parent = nullptr);

  void SetRoute(std::optional<Route> route);
  // The stake rows of a stakes run (nullptr: none), drawn as they are, not copied.
  void SetStakes(std::shared_ptr<const ResultTable> stakes);
  // The rows of a locate run (nullptr: none), drawn with their names.
  void SetLocated(std::shared_ptr<const ResultTable> located);
  // The instrument and backsight of the last stake-out run (nullopt: none).
  void SetStakeoutStations(std::optional<QPointF> setup, std::optional<QPointF> backsight);
  const std::optional<Route>& CurrentRoute() const { return route_; }
  // Centres the view on the stake and marks it; -1 clears the mark.
  void MarkStake(int index);
  int MarkedStake() const { return marked_; }
  void FitToWindow() override;
  // Zooms by `factor` about the widget's centre.
  void ZoomBy(double factor);
  void ZoomAt(QPointF anchor, double factor) override;

  // World (X north, Y east) and widget coordinates.
  QPointF ToScreen(double x, double y) const { return Frame().ToScreen(x, y); }
  QPointF ToWorld(QPointF screen) const { return Frame().ToWorld(screen); }
  double Scale() const { return scale_; }

  // The frame that shows the whole route in `area`, with a margin.
  std::optional<PlanFrame> FitFrame(const QRectF& area) const;
  // Draws the plan into `frame` (screen or page); the labels drawn are kept for Labels().
  void Draw(QPainter& painter, const PlanFrame& frame, bool marks = true) const;
  const std::vector<PlanLabel>& Labels() const { return labels_; }

 signals:
  void CursorMoved(double x, double y);

 protected:
  void paintEvent(QPaintEvent*) override;
  // Pans as a drag asks, then tells where the cursor is in the world.
  void mouseMoveEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent*) override;
  void PanBy(QPointF delta) override;

 private:
  struct Polyline {
    ElementKind kind;
    std::vector<QPointF> points;  // world (x, y)
  };
  PlanFrame Frame() const { return {QRectF(rect()), scale_, centreX_, centreY_}; }
  const std::vector<StakeRow>& Stakes() const;
  void DrawStakes(QPainter& painter, const PlanFrame& frame) const;
  std::optional<Route> route_;
  std::vector<Polyline> polylines_;
  std::string MainPointName(const MainPoint& m) const;
  std::shared_ptr<const ResultTable> stakeRows_, located_;
  std::optional<QPointF> setup_, backsight_;
  int marked_ = -1;
  double scale_ = 1;            // pixels per metre
  double centreX_ = 0, centreY_ = 0;
  bool fitted_ = false;
  mutable std::vector<PlanLabel> labels_;
};

// Draws the round station ticks, the north arrow and coordinate ticks (plan_marks.cpp).
QRectF DrawNorthArrow(QPainter& painter, const QRectF& area);
// Coordinate ticks along the frame's edges, X on the left, Y along the top; returns the band
// they take so labels keep clear.
std::vector<QRectF> DrawCoordinateTicks(QPainter& painter, const PlanFrame& frame);
// The scale bar at the lower left; returns its box.
QRectF DrawScaleBar(QPainter& painter, const PlanFrame& frame);

}  // namespace survey::alignment::window

class QPagedPaintDevice;

namespace survey::alignment::window {

// What the plan's sheet says besides the drawing.
struct PlanSheet {
  QString project;                               // 项目
  QString title = QStringLiteral("路线平面图");  // 图名
  QString date;                                  // yyyy-MM-dd; empty: today
};

// The plan on one landscape page at a round scale (1:500, 1:1000, 1:2000 …), in a frame with a
// title block. False when there is no route to draw.
bool PaintPlanSheet(const PlanView& plan, QPagedPaintDevice* device, const PlanSheet& sheet);
// The sheet as a PDF file, written whole or not at all; `error` says why not.
bool WritePlanPdf(const PlanView& plan, const QString& path, const PlanSheet& sheet, QString* error);
// The scale denominator N of 1:N for `pixelsPerMetre` at `dotsPerInch`, rounded up to 1-2-5.
double RoundScaleDenominator(double pixelsPerMetre, double dotsPerInch);

}  // namespace survey::alignment::window
