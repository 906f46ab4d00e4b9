#include "alignment/window/plan_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "alignment/stake_list.h"
#include "alignment/text_format.h"
#include "alignment/window/layout/chart_layout.h"
#include "platform/qt_host.h"

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

QString KText(double station, int decimals) { return platform::ToQString(StationKText(station, decimals)); }

QColor LabelColour(int priority) {
  switch (priority) {
    case -1: return QColor(255, 0, 160);
    case 0: return QColor(0, 110, 0);
    case 1: return QColor(70, 70, 70);
    case 2: return QColor(120, 0, 120);
    case 4: return QColor(160, 80, 0);
    default: return QColor(40, 40, 40);
  }
}

// Least pixels between two round station labels along the route.
constexpr double kStationLabelSpacing = 90;

}  // namespace

QPointF PlanFrame::ToScreen(double x, double y) const {
  const QPointF c = area.center();
  return {(y - centreY) * scale + c.x(), -(x - centreX) * scale + c.y()};
}

QPointF PlanFrame::ToWorld(QPointF s) const {
  const QPointF c = area.center();
  return {centreX - (s.y() - c.y()) / scale, centreY + (s.x() - c.x()) / scale};
}

PlanView::PlanView(QWidget* parent) : ZoomPanView(parent) {
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

const std::vector<StakeRow>& PlanView::Stakes() const {
  static const std::vector<StakeRow> none;
  return stakeRows_ ? stakeRows_->stakes : none;
}

void PlanView::SetStakes(std::shared_ptr<const ResultTable> stakes) {
  stakeRows_ = std::move(stakes);
  marked_ = -1;
  update();
}

// The name the stake list gives the main point: a route of elements names its main points by
// element ("E2 ZH"), its stake list by the JDs the elements make ("JD1 ZH"); the plan reads as
// the list does.
std::string PlanView::MainPointName(const MainPoint& m) const {
  if (stakeRows_) {
    const std::vector<StakeRow>& rows = stakeRows_->stakes;
    auto it = std::lower_bound(rows.begin(), rows.end(), m.chainage - kStakeMergeDistance,
                               [](const StakeRow& row, double chainage) { return row.chainage < chainage; });
    for (; it != rows.end() && it->chainage <= m.chainage + kStakeMergeDistance; ++it) {
      if (!it->name.empty()) return it->name;
    }
  }
  return m.name;
}

void PlanView::SetLocated(std::shared_ptr<const ResultTable> located) {
  located_ = std::move(located);
  update();
}

void PlanView::SetStakeoutStations(std::optional<QPointF> setup, std::optional<QPointF> backsight) {
  setup_ = setup;
  backsight_ = backsight;
  update();
}

void PlanView::MarkStake(int index) {
  marked_ = index >= 0 && index < static_cast<int>(Stakes().size()) ? index : -1;
  if (marked_ >= 0) {
    centreX_ = Stakes()[static_cast<std::size_t>(marked_)].x;
    centreY_ = Stakes()[static_cast<std::size_t>(marked_)].y;
    // Close enough to see the stake among its neighbours.
    scale_ = std::max(scale_, 0.5);
  }
  update();
}

std::optional<PlanFrame> PlanView::FitFrame(const QRectF& area) const {
  if (!route_ || polylines_.empty() || area.width() < 10 || area.height() < 10) return std::nullopt;
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
  if (setup_) take(setup_->x(), setup_->y());
  if (backsight_) take(backsight_->x(), backsight_->y());
  PlanFrame frame{area, 1, (minX + maxX) / 2, (minY + maxY) / 2};
  const double spanX = std::max(maxX - minX, 1.0), spanY = std::max(maxY - minY, 1.0);
  // The margin leaves room for the coordinate ticks and the labels at the ends.
  frame.scale = std::min((area.width() - 160) / spanY, (area.height() - 120) / spanX);
  if (!(frame.scale > 0)) frame.scale = std::min(area.width() / spanY, area.height() / spanX);
  if (!(frame.scale > 0)) frame.scale = 1;
  return frame;
}

void PlanView::FitToWindow() {
  if (const std::optional<PlanFrame> frame = FitFrame(QRectF(rect()))) {
    scale_ = frame->scale;
    centreX_ = frame->centreX;
    centreY_ = frame->centreY;
    fitted_ = true;
  }
  update();
}

void PlanView::ZoomBy(double factor) {
  scale_ = std::clamp(scale_ * factor, 1e-6, 1e4);
  update();
}

void PlanView::resizeEvent(QResizeEvent*) {
  if (!fitted_) FitToWindow();
}

void PlanView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  if (!route_) {
    labels_.clear();
    painter.setPen(Qt::gray);
    painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("输入路线后点“计算”显示平面图"));
    return;
  }
  QFont small = font();
  small.setPointSizeF(8);
  painter.setFont(small);
  Draw(painter, Frame());
}

void PlanView::DrawStakes(QPainter& painter, const PlanFrame& frame) const {
  const QRectF view = frame.area.adjusted(-50, -50, 50, 50);
  // With more stakes than pixels only every stride-th stake is looked at, so a million stakes
  // paint as fast as a few thousand.
  std::size_t stride = 1;
  if (Stakes().size() > 2 && route_->Length() > 0) {
    const double pixelsPerStake = route_->Length() / static_cast<double>(Stakes().size()) * frame.scale;
    if (pixelsPerStake < 2) stride = static_cast<std::size_t>(2 / std::max(pixelsPerStake, 1e-9));
  }
  QPointF lastSide(-1e9, -1e9), lastTick(-1e9, -1e9);
  for (std::size_t i = 0; i < Stakes().size(); i += stride) {
    const StakeRow& s = Stakes()[i];
    const QPointF at = frame.ToScreen(s.x, s.y);
    if (!view.contains(at)) continue;
    // Side stakes, where they are long enough on screen to tell apart.
    if (!s.sides.empty() && QLineF(at, lastSide).length() >= 4) {
      lastSide = at;
      painter.setPen(QPen(QColor(200, 120, 0), 1));
      for (const SidePoint& side : s.sides) {
        const QPointF tip = frame.ToScreen(side.x, side.y);
        if (QLineF(at, tip).length() < 8) continue;
        painter.drawLine(at, tip);
        painter.drawEllipse(tip, 1.5, 1.5);
      }
    }
    if (QLineF(at, lastTick).length() < 4) continue;
    lastTick = at;
    const QPointF normal(std::cos(s.azimuth), std::sin(s.azimuth));  // screen direction of the right normal
    painter.setPen(QPen(QColor(110, 110, 110), 1));
    painter.drawLine(at - normal * 4, at + normal * 4);
  }
}

void PlanView::Draw(QPainter& painter, const PlanFrame& frame, bool marks) const {
  labels_.clear();
  if (!route_) return;
  painter.save();
  painter.setClipRect(frame.area);
  // The caller's font: 8 pt on screen, its own size on a sheet.
  const QFontMetricsF metrics(painter.font(), painter.device());

  // Tangents through QD, the JDs and ZD.
  const auto& elements = route_->Elements();
  if (!route_->Curves().empty()) {
    std::vector<QPointF> tangent;
    tangent.push_back(frame.ToScreen(elements.front().start.x, elements.front().start.y));
    for (const CurveRow& c : route_->Curves()) tangent.push_back(frame.ToScreen(c.x, c.y));
    const Pose end = EndPose(elements.back());
    tangent.push_back(frame.ToScreen(end.x, end.y));
    painter.setPen(QPen(QColor(150, 150, 150), 1, Qt::DashLine));
    for (std::size_t i = 1; i < tangent.size(); ++i) painter.drawLine(tangent[i - 1], tangent[i]);
  }
  DrawStakes(painter, frame);
  for (const Polyline& p : polylines_) {
    painter.setPen(QPen(KindColour(p.kind), 2));
    QPainterPath path;
    for (std::size_t i = 0; i < p.points.size(); ++i) {
      const QPointF s = frame.ToScreen(p.points[i].x(), p.points[i].y());
      if (i == 0) path.moveTo(s); else path.lineTo(s);
    }
    painter.drawPath(path);
  }

  // The marks, the north arrow and the scale bar first: labels keep clear of them.
  std::vector<QRectF> keepClear = DrawCoordinateTicks(painter, frame);
  keepClear.push_back(DrawNorthArrow(painter, frame.area));
  keepClear.push_back(DrawScaleBar(painter, frame));

  // Legend along the bottom right.
  const double legendLeft = frame.area.right() - 230;
  double lx = legendLeft;
  const double ly = frame.area.bottom() - 10;
  for (auto [kind, text] : {std::pair{ElementKind::Line, "直线"}, std::pair{ElementKind::Spiral, "缓和曲线"},
                            std::pair{ElementKind::Arc, "圆曲线"}}) {
    painter.setPen(QPen(KindColour(kind), 3));
    painter.drawLine(QPointF(lx, ly - 4), QPointF(lx + 16, ly - 4));
    painter.setPen(Qt::black);
    painter.drawText(QPointF(lx + 20, ly), QString::fromUtf8(text));
    lx += 24 + metrics.horizontalAdvance(QString::fromUtf8(text)) + 12;
  }
  keepClear.emplace_back(legendLeft - 4, ly - metrics.height() - 2, lx - legendLeft + 8, metrics.height() + 6);

  std::vector<LabelRequest> requests;
  std::vector<QString> texts;
  const auto request = [&](QPointF at, QString text, int priority) {
    if (!frame.area.contains(at)) return;
    const QRectF r = metrics.boundingRect(text);
    requests.push_back({at.x(), at.y(), r.width() + 2, metrics.height(), priority});
    texts.push_back(std::move(text));
  };
  painter.setPen(QPen(QColor(0, 110, 0), 1.5));
  if (setup_ && backsight_) {
    painter.setPen(QPen(QColor(0, 110, 0), 1, Qt::DashDotLine));
    painter.drawLine(frame.ToScreen(setup_->x(), setup_->y()), frame.ToScreen(backsight_->x(), backsight_->y()));
  }
  painter.setPen(QPen(QColor(0, 110, 0), 1.5));
  painter.setBrush(Qt::NoBrush);
  if (setup_) {
    const QPointF s = frame.ToScreen(setup_->x(), setup_->y());
    painter.drawPolygon(QPolygonF({s + QPointF(0, -7), s + QPointF(6, 4), s + QPointF(-6, 4)}));
    request(s, QStringLiteral("测站"), 0);
  }
  if (backsight_) {
    const QPointF s = frame.ToScreen(backsight_->x(), backsight_->y());
    painter.drawEllipse(s, 5, 5);
    painter.drawLine(s + QPointF(-7, 0), s + QPointF(7, 0));
    painter.drawLine(s + QPointF(0, -7), s + QPointF(0, 7));
    request(s, QStringLiteral("后视"), 0);
  }
  painter.setPen(QColor(90, 90, 90));
  for (const CurveRow& c : route_->Curves()) {
    const QPointF s = frame.ToScreen(c.x, c.y);
    painter.drawEllipse(s, 3, 3);
    request(s, platform::ToQString(c.name), 1);
  }
  // Main points: a long tick and the name with the station.
  for (const MainPoint& m : route_->MainPoints()) {
    const Pose p = route_->PointAt(std::clamp(m.chainage, 0.0, route_->Length()));
    const QPointF s = frame.ToScreen(p.x, p.y);
    const QPointF normal(std::cos(p.azimuth), std::sin(p.azimuth));
    painter.setPen(QPen(Qt::black, 1.5));
    painter.drawLine(s - normal * 8, s + normal * 8);
    request(s, platform::ToQString(MainPointName(m)) + QLatin1Char(' ') + KText(route_->StationAt(m.chainage), 3), 2);
  }
  // Round stations: 100 m apart while their labels fit, else 200 m, 500 m, 1 km …
  const StationLine& line = route_->Stations();
  const double s0 = route_->StationAt(0), s1 = route_->StationAt(route_->Length());
  const double step = StationStep(frame.scale, kStationLabelSpacing);
  painter.setPen(QPen(QColor(40, 40, 40), 1));
  for (const double station : RoundValues(s0, s1, step, 20000)) {
    const StationLine::Found found = line.Find(station);
    if (found.where != StationLine::Where::Inside) continue;
    const Pose p = route_->PointAt(found.chainage);
    const QPointF s = frame.ToScreen(p.x, p.y);
    if (!frame.area.contains(s)) continue;
    const QPointF normal(std::cos(p.azimuth), std::sin(p.azimuth));
    painter.drawLine(s - normal * 6, s + normal * 6);
    request(s, KText(station, 0), 3);
  }
  if (located_) {
    painter.setPen(QPen(QColor(160, 80, 0), 1.5));
    for (const LocateRow& r : located_->located) {
      const QPointF s = frame.ToScreen(r.x, r.y);
      if (!frame.area.contains(s)) continue;
      painter.drawLine(s + QPointF(-4, -4), s + QPointF(4, 4));
      painter.drawLine(s + QPointF(-4, 4), s + QPointF(4, -4));
      request(s, r.name.empty() ? QStringLiteral("反算点") : platform::ToQString(std::string(r.name)), 4);
    }
  }

  if (marks && marked_ >= 0 && marked_ < static_cast<int>(Stakes().size())) {
    const StakeRow& s = Stakes()[static_cast<std::size_t>(marked_)];
    const QPointF at = frame.ToScreen(s.x, s.y);
    painter.setPen(QPen(QColor(255, 0, 160), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(at, 9, 9);
    request(at, KText(s.station, 3), -1);  // the stake the table points at keeps its station
  }
  std::vector<Box> obstacles;
  for (const QRectF& r : keepClear) obstacles.push_back({r.left(), r.top(), r.width(), r.height()});
  const QRectF inner = frame.area.adjusted(2, 2, -2, -2);
  // The route itself, sampled every few pixels of screen: labels keep off it where they can.
  std::vector<Box> routeBoxes;
  for (const Polyline& p : polylines_) {
    for (std::size_t i = 1; i < p.points.size(); ++i) {
      const QPointF a = frame.ToScreen(p.points[i - 1].x(), p.points[i - 1].y()), b = frame.ToScreen(p.points[i].x(), p.points[i].y());
      const int steps = static_cast<int>(std::min(QLineF(a, b).length() / 6, 2000.0));
      for (int k = 0; k <= steps; ++k) {
        const QPointF s = steps == 0 ? a : a + (b - a) * (static_cast<double>(k) / steps);
        if (inner.contains(s)) routeBoxes.push_back({s.x() - 3, s.y() - 3, 6, 6});
      }
    }
  }
  const std::vector<std::optional<Box>> placed =
      PlaceLabelsPreferClear(requests, {inner.left(), inner.top(), inner.width(), inner.height()}, obstacles, routeBoxes);
  for (std::size_t i = 0; i < placed.size(); ++i) {
    if (!placed[i]) continue;
    const QRectF box(placed[i]->left, placed[i]->top, placed[i]->width, placed[i]->height);
    painter.setPen(LabelColour(requests[i].priority));
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, texts[i]);
    labels_.push_back({texts[i], box, requests[i].priority});
  }

  painter.restore();
}

void PlanView::ZoomAt(QPointF anchor, double factor) {
  const QPointF before = ToWorld(anchor);
  scale_ = std::clamp(scale_ * factor, 1e-6, 1e4);
  // Keep the world point under the cursor where it was.
  const QPointF after = ToWorld(anchor);
  centreX_ += before.x() - after.x();
  centreY_ += before.y() - after.y();
  update();
}

void PlanView::PanBy(QPointF delta) {
  centreY_ -= delta.x() / scale_;
  centreX_ += delta.y() / scale_;
  update();
}

void PlanView::mouseMoveEvent(QMouseEvent* event) {
  ZoomPanView::mouseMoveEvent(event);
  const QPointF w = ToWorld(event->position());
  emit CursorMoved(w.x(), w.y());
}

}  // namespace survey::alignment::window
