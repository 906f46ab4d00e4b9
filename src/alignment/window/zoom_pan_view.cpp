#include "alignment/window/zoom_pan_view.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <cmath>

namespace survey::alignment::window {

void ZoomPanView::wheelEvent(QWheelEvent* event) { ZoomAt(event->position(), std::pow(1.0015, event->angleDelta().y())); }

void ZoomPanView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) dragFrom_ = event->position();
}

void ZoomPanView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragFrom_) return;
  const QPointF delta = event->position() - *dragFrom_;
  dragFrom_ = event->position();
  PanBy(delta);
}

void ZoomPanView::mouseReleaseEvent(QMouseEvent*) { dragFrom_.reset(); }

void ZoomPanView::mouseDoubleClickEvent(QMouseEvent*) { FitToWindow(); }

}  // namespace survey::alignment::window
