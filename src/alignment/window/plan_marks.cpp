// The plan's furniture: north arrow, coordinate ticks along the frame, scale bar.
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "alignment/window/layout/chart_layout.h"
#include "alignment/window/plan_view.h"

namespace survey::alignment::window {

QRectF DrawNorthArrow(QPainter& painter, const QRectF& area) {
  const QRectF box(area.right() - 44, area.top() + 20, 28, 50);
  const QPointF tip(box.center().x(), box.top() + 14), base(box.center().x(), box.bottom() - 2);
  painter.save();
  painter.setPen(QPen(Qt::black, 1.2));
  QPainterPath head;
  head.moveTo(tip);
  head.lineTo(tip + QPointF(7, 20));
  head.lineTo(tip + QPointF(0, 14));
  head.closeSubpath();
  painter.fillPath(head, Qt::black);
  painter.drawLine(tip, base);
  painter.drawLine(tip, tip + QPointF(-7, 20));
  painter.drawText(QRectF(box.left(), box.top() - 2, box.width(), 16), Qt::AlignCenter, QStringLiteral("N"));
  painter.restore();
  return box;
}

std::vector<QRectF> DrawCoordinateTicks(QPainter& painter, const PlanFrame& frame) {
  const QRectF& a = frame.area;
  const QFontMetricsF metrics(painter.font(), painter.device());
  const QPointF topLeft = frame.ToWorld(a.topLeft()), bottomRight = frame.ToWorld(a.bottomRight());
  // Ticks far enough apart that an 8-digit coordinate fits between them.
  const double step = NiceStep(frame.scale, metrics.horizontalAdvance(QStringLiteral("Y=0000000.0")) + 16, 0.1);
  const int decimals = step >= 1 ? 0 : 1;
  painter.save();
  painter.setPen(QPen(QColor(120, 120, 120), 1));
  std::vector<QRectF> taken;
  const double band = metrics.height() + 8;
  // Y (east) values along the top edge.
  for (const double y : RoundValues(topLeft.y(), bottomRight.y(), step, 400)) {
    const double sx = frame.ToScreen(topLeft.x(), y).x();
    painter.drawLine(QPointF(sx, a.top()), QPointF(sx, a.top() + 6));
    painter.drawLine(QPointF(sx, a.bottom()), QPointF(sx, a.bottom() - 6));
    const QString text = QStringLiteral("Y=") + QString::number(y, 'f', decimals);
    const QRectF r(sx + 2, a.top() + 2, metrics.horizontalAdvance(text) + 2, metrics.height());
    if (r.right() < a.right() - 50) {
      painter.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, text);
      taken.push_back(r);
    }
  }
  // X (north) values along the left edge, written upwards beside their tick.
  const double stepX = NiceStep(frame.scale, metrics.horizontalAdvance(QStringLiteral("X=0000000.0")) + 16, 0.1);
  for (const double x : RoundValues(bottomRight.x(), topLeft.x(), stepX, 400)) {
    const double sy = frame.ToScreen(x, topLeft.y()).y();
    painter.drawLine(QPointF(a.left(), sy), QPointF(a.left() + 6, sy));
    painter.drawLine(QPointF(a.right(), sy), QPointF(a.right() - 6, sy));
    const QString text = QStringLiteral("X=") + QString::number(x, 'f', decimals);
    const double w = metrics.horizontalAdvance(text) + 2;
    if (sy - w < a.top() + band) continue;
    painter.save();
    painter.translate(a.left() + 2, sy - 2);
    painter.rotate(-90);
    painter.drawText(QRectF(0, 0, w, metrics.height()), Qt::AlignLeft | Qt::AlignVCenter, text);
    painter.restore();
    taken.emplace_back(a.left() + 2, sy - 2 - w, metrics.height(), w);
  }
  painter.restore();
  return taken;
}

QRectF DrawScaleBar(QPainter& painter, const PlanFrame& frame) {
  const double bar = NiceStep(frame.scale, 60, 0.01);
  const QPointF b(frame.area.left() + 14, frame.area.bottom() - 14);
  painter.save();
  painter.setPen(QPen(Qt::black, 1.5));
  painter.drawLine(b, b + QPointF(bar * frame.scale, 0));
  painter.drawLine(b, b + QPointF(0, -4));
  painter.drawLine(b + QPointF(bar * frame.scale, 0), b + QPointF(bar * frame.scale, -4));
  const QString text = bar >= 1000 ? QString::number(bar / 1000) + QStringLiteral(" km") : QString::number(bar) + QStringLiteral(" m");
  painter.drawText(b + QPointF(2, -6), text);
  painter.restore();
  const QFontMetricsF metrics(painter.font(), painter.device());
  return QRectF(b.x() - 2, b.y() - 8 - metrics.height(), std::max(bar * frame.scale, metrics.horizontalAdvance(text)) + 8,
                metrics.height() + 12);
}

}  // namespace survey::alignment::window
