#include "alignment/window/route_views.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "alignment/text_format.h"
#include "alignment/route_design.h"

namespace survey::alignment::window {

namespace {

QColor KindColour(ElementKind kind) {
  switch (kind) {
    case ElementKind::Line: return QColor(30, 90, 200);
    case ElementKind::Arc: return QColor(210, 40, 40);
    case ElementKind::Spiral: return QColor(20, 150, 60);
  }
  return Qt::black;
}

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QString KText(double station) { return Q(StationKText(station, 3)); }

}  // namespace

PlanView::PlanView(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setMinimumSize(320, 240);
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);
}

void PlanView::SetRoute(std::optional<Route> route) {
  route_ = std::move(route);
  polylines_.clear();
  if (route_) {
    for (const Element& e : route_->Elements()) {
      Polyline line{e.kind, {}};
      // Enough points that a chord stays within a few centimetres of a curve.
      const double k = std::max(std::fabs(e.startCurvature), std::fabs(e.endCurvature));
      const int n = e.kind == ElementKind::Line ? 1 : std::clamp(static_cast<int>(e.length * std::sqrt(k) * 4) + 8, 8, 400);
      for (int i = 0; i <= n; ++i) {
        const Pose p = PoseAt(e, e.length * i / n);
        line.points.emplace_back(p.x, p.y);
      }
      polylines_.push_back(std::move(line));
    }
  }
  marked_ = -1;
  fitted_ = false;
  FitToWindow();
}

void PlanView::SetStakes(std::vector<StakeMark> stakes) {
  stakes_ = std::move(stakes);
  marked_ = -1;
  update();
}

void PlanView::MarkStake(int index) {
  marked_ = index >= 0 && index < static_cast<int>(stakes_.size()) ? index : -1;
  if (marked_ >= 0) {
    centreX_ = stakes_[static_cast<std::size_t>(marked_)].x;
    centreY_ = stakes_[static_cast<std::size_t>(marked_)].y;
    // Close enough to see the stake among its neighbours.
    scale_ = std::max(scale_, 0.5);
  }
  update();
}

void PlanView::FitToWindow() {
  if (!route_ || polylines_.empty() || width() < 10 || height() < 10) {
    update();
    return;
  }
  double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
  const auto take = [&](double x, double y) {
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
  };
  for (const Polyline& p : polylines_) {
    for (const QPointF& q : p.points) take(q.x(), q.y());
  }
  for (const CurveRow& c : route_->Curves()) take(c.x, c.y);
  centreX_ = (minX + maxX) / 2;
  centreY_ = (minY + maxY) / 2;
  const double spanX = std::max(maxX - minX, 1.0), spanY = std::max(maxY - minY, 1.0);
  scale_ = std::min((width() - 80) / spanY, (height() - 80) / spanX);
  if (!(scale_ > 0)) scale_ = 1;
  fitted_ = true;
  update();
}

QPointF PlanView::ToScreen(double x, double y) const {
  return {(y - centreY_) * scale_ + width() / 2.0, -(x - centreX_) * scale_ + height() / 2.0};
}

QPointF PlanView::ToWorld(QPointF s) const {
  return {centreX_ - (s.y() - height() / 2.0) / scale_, centreY_ + (s.x() - width() / 2.0) / scale_};
}

void PlanView::resizeEvent(QResizeEvent*) {
  if (!fitted_) FitToWindow();
}

void PlanView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  if (!route_) {
    painter.setPen(Qt::gray);
    painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("输入路线后点“计算”显示平面图"));
    return;
  }
  const QRectF view = QRectF(rect()).adjusted(-50, -50, 50, 50);
  QFont small = font();
  small.setPointSizeF(8);
  painter.setFont(small);
  const QFontMetrics metrics(small);

  // Tangents through QD, the JDs and ZD.
  const auto& elements = route_->Elements();
  std::vector<QPointF> tangent;
  tangent.emplace_back(elements.front().start.x, elements.front().start.y);
  for (const CurveRow& c : route_->Curves()) tangent.emplace_back(c.x, c.y);
  const Pose end = EndPose(elements.back());
  tangent.emplace_back(end.x, end.y);
  if (!route_->Curves().empty()) {
    painter.setPen(QPen(QColor(150, 150, 150), 1, Qt::DashLine));
    for (std::size_t i = 1; i < tangent.size(); ++i) {
      painter.drawLine(ToScreen(tangent[i - 1].x(), tangent[i - 1].y()), ToScreen(tangent[i].x(), tangent[i].y()));
    }
    painter.setPen(QColor(90, 90, 90));
    for (const CurveRow& c : route_->Curves()) {
      const QPointF s = ToScreen(c.x, c.y);
      painter.drawEllipse(s, 3, 3);
      painter.drawText(s + QPointF(6, -6), Q(c.name));
    }
  }

  // With more stakes than pixels only every stride-th regular stake is looked at (main points
  // always), so a million stakes paint as fast as a few thousand.
  std::size_t stride = 1;
  if (stakes_.size() > 2 && route_->Length() > 0) {
    const double pixelsPerStake = route_->Length() / static_cast<double>(stakes_.size()) * scale_;
    if (pixelsPerStake < 2) stride = static_cast<std::size_t>(2 / std::max(pixelsPerStake, 1e-9));
  }
  // Side stakes under the route, where they are long enough on screen to tell apart.
  painter.setPen(QPen(QColor(200, 120, 0), 1));
  QPointF lastSide(-1e9, -1e9);
  for (std::size_t i = 0; i < stakes_.size(); i += stride) {
    const StakeMark& s = stakes_[i];
    if (s.sides.empty()) continue;
    const QPointF at = ToScreen(s.x, s.y);
    if (!view.contains(at) || QLineF(at, lastSide).length() < 4) continue;
    lastSide = at;
    for (const QPointF& side : s.sides) {
      const QPointF tip = ToScreen(side.x(), side.y());
      if (QLineF(at, tip).length() < 8) continue;
      painter.drawLine(at, tip);
      painter.drawEllipse(tip, 1.5, 1.5);
    }
  }

  // The route, coloured by element kind.
  for (const Polyline& p : polylines_) {
    painter.setPen(QPen(KindColour(p.kind), 2));
    QPainterPath path;
    for (std::size_t i = 0; i < p.points.size(); ++i) {
      const QPointF s = ToScreen(p.points[i].x(), p.points[i].y());
      if (i == 0) path.moveTo(s); else path.lineTo(s);
    }
    painter.drawPath(path);
  }

  // Stakes: ticks across the route, thinned so that ticks stay 4 px and labels 60 px apart.
  QPointF lastTick(-1e9, -1e9), lastLabel(-1e9, -1e9);
  for (std::size_t i = 0; i < stakes_.size(); ++i) {
    const StakeMark& s = stakes_[i];
    if (stride > 1 && i % stride != 0 && s.name.empty()) continue;
    const QPointF at = ToScreen(s.x, s.y);
    if (!view.contains(at)) continue;
    const bool main = !s.name.empty();
    if (!main && QLineF(at, lastTick).length() < 4) continue;
    lastTick = at;
    // Screen direction of the right normal: azimuth + 90 degrees.
    const double nx = std::cos(s.azimuth + std::numbers::pi / 2), ny = std::sin(s.azimuth + std::numbers::pi / 2);
    const QPointF normal(ny, -nx);
    painter.setPen(QPen(main ? QColor(0, 0, 0) : QColor(80, 80, 80), main ? 1.5 : 1));
    painter.drawLine(at - normal * (main ? 8 : 5), at + normal * (main ? 8 : 5));
    // Main points are labelled first, but never on top of the previous label.
    if (QLineF(at, lastLabel).length() >= (main ? 36 : 60)) {
      lastLabel = at;
      const QString label = main ? Q(s.name) + QLatin1Char(' ') + KText(s.station) : KText(s.station);
      painter.save();
      painter.translate(at + normal * 10);
      double angle = std::atan2(normal.y(), normal.x()) * 180 / std::numbers::pi;
      const bool flip = angle > 90 || angle < -90;
      if (flip) angle += 180;
      painter.rotate(angle);
      painter.setPen(main ? QColor(120, 0, 120) : QColor(60, 60, 60));
      const int w = metrics.horizontalAdvance(label);
      painter.drawText(QPointF(flip ? -w - 20 : 0, metrics.ascent() / 2.0), label);
      painter.restore();
    }
  }
  if (marked_ >= 0) {
    const StakeMark& s = stakes_[static_cast<std::size_t>(marked_)];
    const QPointF at = ToScreen(s.x, s.y);
    painter.setPen(QPen(QColor(255, 0, 160), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(at, 9, 9);
    painter.drawText(at + QPointF(12, 14), KText(s.station));
  }
  // Scale bar and legend.
  painter.setPen(Qt::black);
  double bar = std::pow(10.0, std::floor(std::log10(120 / scale_)));
  if (bar * scale_ < 50) bar *= 5;
  else if (bar * scale_ < 80) bar *= 2;
  const QPointF b(12, height() - 14);
  painter.drawLine(b, b + QPointF(bar * scale_, 0));
  painter.drawText(b + QPointF(0, -4), QString::number(bar) + QStringLiteral(" m"));
  int lx = width() - 240;
  for (auto [kind, text] : {std::pair{ElementKind::Line, "直线"}, std::pair{ElementKind::Spiral, "缓和曲线"},
                            std::pair{ElementKind::Arc, "圆曲线"}}) {
    painter.setPen(QPen(KindColour(kind), 3));
    painter.drawLine(QPointF(lx, height() - 12), QPointF(lx + 16, height() - 12));
    painter.setPen(Qt::black);
    painter.drawText(QPointF(lx + 20, height() - 8), QString::fromUtf8(text));
    lx += 24 + metrics.horizontalAdvance(QString::fromUtf8(text)) + 12;
  }
}

void PlanView::wheelEvent(QWheelEvent* event) {
  const QPointF anchor = event->position();
  const QPointF before = ToWorld(anchor);
  const double factor = std::pow(1.0015, event->angleDelta().y());
  scale_ = std::clamp(scale_ * factor, 1e-6, 1e4);
  // Keep the world point under the cursor where it was.
  const QPointF after = ToWorld(anchor);
  centreX_ += before.x() - after.x();
  centreY_ += before.y() - after.y();
  update();
}

void PlanView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) dragFrom_ = event->position();
}

void PlanView::mouseMoveEvent(QMouseEvent* event) {
  if (dragFrom_) {
    const QPointF d = event->position() - *dragFrom_;
    centreY_ -= d.x() / scale_;
    centreX_ += d.y() / scale_;
    dragFrom_ = event->position();
    update();
  }
  const QPointF w = ToWorld(event->position());
  emit CursorMoved(w.x(), w.y());
}

void PlanView::mouseReleaseEvent(QMouseEvent*) { dragFrom_.reset(); }

void PlanView::mouseDoubleClickEvent(QMouseEvent*) { FitToWindow(); }

// --- Profile ----------------------------------------------------------------------------------

ProfileView::ProfileView(QWidget* parent) : QWidget(parent) {
  setMinimumSize(320, 160);
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);
}

void ProfileView::SetProfile(std::optional<Profile> profile, std::optional<StationLine> stations) {
  profile_ = std::move(profile);
  stations_ = std::move(stations);
  update();
}

void ProfileView::SetCurrent(std::optional<double> chainage) {
  current_ = chainage;
  update();
}

void ProfileView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  if (!profile_) {
    painter.setPen(Qt::gray);
    painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("纵断面表有变坡点后显示纵断面图"));
    return;
  }
  const auto& rows = profile_->Rows();
  double minZ = 1e300, maxZ = -1e300;
  for (const ProfileRow& r : rows) {
    minZ = std::min(minZ, r.elevation);
    maxZ = std::max(maxZ, r.elevation);
  }
  const double m0 = profile_->StartMeasure(), m1 = profile_->EndMeasure();
  // Room above the points for their slanted labels, and on the right for the last one.
  const double padZ = std::max((maxZ - minZ) * 0.25, 1.0);
  minZ -= padZ;
  maxZ += padZ * 2.5;
  const QRectF area = QRectF(rect()).adjusted(60, 30, -110, -40);
  const auto toScreen = [&](double m, double z) {
    return QPointF(area.left() + (m - m0) / (m1 - m0) * area.width(), area.bottom() - (z - minZ) / (maxZ - minZ) * area.height());
  };
  const auto station = [&](double m) { return stations_ ? StationAtMeasure(*stations_, m) : m; };
  QFont small = font();
  small.setPointSizeF(8);
  painter.setFont(small);
  painter.setPen(QColor(180, 180, 180));
  painter.drawRect(area);
  painter.setPen(Qt::black);
  painter.drawText(QPointF(4, area.top() + 4), QString::number(maxZ, 'f', 1));
  painter.drawText(QPointF(4, area.bottom()), QString::number(minZ, 'f', 1));
  painter.drawText(QPointF(area.left(), height() - 8), KText(station(m0)));
  painter.drawText(QPointF(area.right() - 80, height() - 8), KText(station(m1)));
  // Grade line through the points, dashed.
  painter.setPen(QPen(QColor(120, 120, 120), 1, Qt::DashLine));
  for (std::size_t i = 1; i < rows.size(); ++i) {
    painter.drawLine(toScreen(rows[i - 1].measure, rows[i - 1].elevation), toScreen(rows[i].measure, rows[i].elevation));
  }
  // The design line with its vertical curves.
  QPainterPath path;
  const int n = std::max(200, static_cast<int>(area.width()));
  for (int i = 0; i <= n; ++i) {
    const double m = m0 + (m1 - m0) * i / n;
    const QPointF s = toScreen(m, profile_->At(m).elevation);
    if (i == 0) path.moveTo(s); else path.lineTo(s);
  }
  painter.setPen(QPen(QColor(30, 90, 200), 2));
  painter.drawPath(path);
  for (const ProfileRow& r : rows) {
    if (!r.hasCurve) continue;
    painter.setPen(QPen(QColor(210, 40, 40), 2));
    QPainterPath curve;
    for (int i = 0; i <= 40; ++i) {
      const double m = r.curveStart + (r.curveEnd - r.curveStart) * i / 40;
      const QPointF s = toScreen(m, profile_->At(m).elevation);
      if (i == 0) curve.moveTo(s); else curve.lineTo(s);
    }
    painter.drawPath(curve);
  }
  painter.setPen(Qt::black);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const ProfileRow& r = rows[i];
    const QPointF s = toScreen(r.measure, r.elevation);
    painter.drawEllipse(s, 2.5, 2.5);
    QString label = KText(station(r.measure)) + QStringLiteral("  H=") + QString::number(r.elevation, 'f', 3);
    if (r.radius > 0) label += QStringLiteral("  R=") + QString::number(r.radius, 'f', 0);
    painter.save();
    painter.translate(s + QPointF(3, -6));
    painter.rotate(-60);
    painter.drawText(QPointF(0, 0), label);
    painter.restore();
  }
  if (current_ && profile_->Covers(*current_)) {
    const ProfileSample sample = profile_->At(*current_);
    const QPointF s = toScreen(*current_, sample.elevation);
    painter.setPen(QPen(QColor(255, 0, 160), 1.5));
    painter.drawLine(QPointF(s.x(), area.top()), QPointF(s.x(), area.bottom()));
    painter.drawEllipse(s, 5, 5);
    painter.drawText(s + QPointF(8, 16), KText(station(*current_)) + QStringLiteral("  H=") +
                                             QString::number(sample.elevation, 'f', 3));
  }
}

}  // namespace survey::alignment::window
