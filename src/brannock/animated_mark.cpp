#include "brannock/animated_mark.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace brannock {

AnimatedMark::AnimatedMark(QWidget* parent) : QWidget(parent), timer_(new QTimer(this)) {
  setCursor(Qt::PointingHandCursor);
  setMinimumSize(48, 48);
  connect(timer_, &QTimer::timeout, this, [this] {
    step_ = (step_ + 1) % 72;
    update();
  });
  timer_->start(80);
}

void AnimatedMark::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const int side = std::min(width(), height()) - 6;
  p.translate(width() / 2.0, height() / 2.0);
  p.setPen(QPen(QColor(30, 80, 160), 2));
  p.setBrush(QColor(225, 235, 250));
  p.drawEllipse(QPointF(0, 0), side / 2.0, side / 2.0);
  // Graduation ticks every 30 degrees, then the turning sight line.
  for (int i = 0; i < 12; ++i) {
    p.save();
    p.rotate(i * 30);
    p.drawLine(QPointF(0, -side / 2.0), QPointF(0, -side / 2.0 + 5));
    p.restore();
  }
  p.rotate(step_ * 5);
  p.setPen(QPen(QColor(200, 40, 40), 3));
  p.drawLine(QPointF(0, 0), QPointF(0, -side / 2.0 + 7));
  p.setBrush(QColor(30, 80, 160));
  p.drawEllipse(QPointF(0, 0), 3, 3);
}

void AnimatedMark::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit clicked();
}

}  // namespace brannock
