// What the mouse does on the window's drawings, the plan and the profile alike: the wheel zooms
// about the cursor (one notch of 120 by 1.0015^120, about 1.2), a drag with the left button
// pans, a double click fits the whole drawing. Each drawing says what a zoom and a pan move.
#pragma once

#include <QPointF>
#include <QWidget>
#include <optional>

namespace survey::alignment::window {

class ZoomPanView : public QWidget {
 public:
  using QWidget::QWidget;

  virtual void FitToWindow() = 0;
  // Zooms by `factor` about the point under `anchor` (widget pixels).
  virtual void ZoomAt(QPointF anchor, double factor) = 0;

 protected:
  // The drawing follows the mouse by `delta` widget pixels.
  virtual void PanBy(QPointF delta) = 0;

  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  std::optional<QPointF> dragFrom_;
};

}  // namespace survey::alignment::window
