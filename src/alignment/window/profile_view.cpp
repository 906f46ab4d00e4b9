#include "alignment/window/profile_view.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "alignment/text_format.h"
#include "alignment/window/layout/chart_layout.h"
#include "platform/qt_host.h"

namespace survey::alignment::window {

namespace {

QString KText(double station, int decimals) { return platform::ToQString(StationKText(station, decimals)); }

// Left: elevation axis; bottom: the grade band and the station band.
constexpr double kAxisWidth = 64, kBandHeight = 22;

}  // namespace

ProfileView::ProfileView(QWidget* parent) : ZoomPanView(parent) {
  setMinimumSize(320, 200);
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);
}

void ProfileView::SetProfile(std::optional<Profile> profile, std::optional<StationLine> stations) {
  profile_ = std::move(profile);
  stations_ = std::move(stations);
  FitToWindow();
}

void ProfileView::SetCurrent(std::optional<double> chainage) {
  current_ = chainage;
  update();
}

QRectF ProfileView::PlotArea() const {
  return QRectF(rect()).adjusted(kAxisWidth, 8, -10, -(2 * kBandHeight + 8));
}

void ProfileView::FitToWindow() {
  if (profile_) {
    m0_ = profile_->StartMeasure();
    m1_ = profile_->EndMeasure();
    if (!(m1_ > m0_)) m1_ = m0_ + 1;
    const double mPad = (m1_ - m0_) * 0.03;
    m0_ -= mPad;
    m1_ += mPad;
    FitElevations();
  }
  update();
}

void ProfileView::FitElevations() {
  // The grade points and the design line over the stations shown, with room above the line for
  // the points' data blocks.
  double minZ = 1e300, maxZ = -1e300;
  const auto take = [&](double z) {
    minZ = std::min(minZ, z);
    maxZ = std::max(maxZ, z);
  };
  for (const ProfileRow& r : profile_->Rows()) {
    if (r.measure >= m0_ && r.measure <= m1_) take(r.elevation);
  }
  const double from = std::max(m0_, profile_->StartMeasure()), to = std::min(m1_, profile_->EndMeasure());
  for (int i = 0; i <= 100 && to >= from; ++i) take(profile_->At(from + (to - from) * i / 100).elevation);
  if (minZ > maxZ) return;  // nothing of the profile shown: the elevations stay
  const double pad = std::max((maxZ - minZ) * 0.15, 1.0);
  z0_ = minZ - pad;
  z1_ = maxZ + pad * 4;
}

QPointF ProfileView::ToScreen(double m, double z) const {
  const QRectF a = PlotArea();
  return {a.left() + (m - m0_) / (m1_ - m0_) * a.width(), a.bottom() - (z - z0_) / (z1_ - z0_) * a.height()};
}

double ProfileView::Station(double m) const { return stations_ ? ProfileStationAtMeasure(*stations_, m) : m; }

std::optional<double> ProfileView::MeasureAt(double station) const {
  if (!stations_) return station;
  // A round station inside the gap of an equation has no place on the drawing.
  if (stations_->Find(station).where == StationLine::Where::Gap) return std::nullopt;
  return ProfileMeasureAtStation(*stations_, station, std::string());
}

void ProfileView::ZoomAt(QPointF anchor, double factor) {
  if (!profile_ || !(factor > 0)) return;
  const QRectF a = PlotArea();
  const double m = m0_ + (anchor.x() - a.left()) / a.width() * (m1_ - m0_);
  // Along the stations only, the elevations fitted to what is shown: zoomed both ways the line
  // soon leaves the drawing. Not closer than 10 m across nor wider than ten times the profile.
  const double span = std::clamp((m1_ - m0_) / factor, 10.0, (profile_->EndMeasure() - profile_->StartMeasure() + 10) * 10);
  const double k = span / (m1_ - m0_);
  m0_ = m - (m - m0_) * k;
  m1_ = m + (m1_ - m) * k;
  FitElevations();
  update();
}

void ProfileView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  labels_.clear();
  if (!profile_) {
    painter.setPen(Qt::gray);
    painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("纵断面表有变坡点后显示纵断面图"));
    return;
  }
  QFont small = font();
  small.setPointSizeF(8);
  painter.setFont(small);
  const QRectF area = PlotArea();
  if (area.width() < 20 || area.height() < 20) return;
  DrawGrid(painter, area);
  DrawBands(painter, area);

  painter.save();
  painter.setClipRect(area);
  const auto& rows = profile_->Rows();
  painter.setPen(QPen(QColor(120, 120, 120), 1, Qt::DashLine));
  for (std::size_t i = 1; i < rows.size(); ++i) {
    painter.drawLine(ToScreen(rows[i - 1].measure, rows[i - 1].elevation), ToScreen(rows[i].measure, rows[i].elevation));
  }
  // The design line, sampled only over the part shown.
  const double from = std::max(m0_, profile_->StartMeasure()), to = std::min(m1_, profile_->EndMeasure());
  if (to > from) {
    QPainterPath path;
    const int n = std::max(200, static_cast<int>(area.width()));
    for (int i = 0; i <= n; ++i) {
      const double m = from + (to - from) * i / n;
      const QPointF s = ToScreen(m, profile_->At(m).elevation);
      if (i == 0) path.moveTo(s); else path.lineTo(s);
    }
    painter.setPen(QPen(QColor(30, 90, 200), 2));
    painter.drawPath(path);
  }
  for (const ProfileRow& r : rows) {
    if (!r.hasCurve || r.curveEnd < m0_ || r.curveStart > m1_) continue;
    painter.setPen(QPen(QColor(210, 40, 40), 2));
    QPainterPath curve;
    for (int i = 0; i <= 60; ++i) {
      const double m = r.curveStart + (r.curveEnd - r.curveStart) * i / 60;
      const QPointF s = ToScreen(m, profile_->At(m).elevation);
      if (i == 0) curve.moveTo(s); else curve.lineTo(s);
    }
    painter.drawPath(curve);
  }
  painter.restore();
  DrawPointData(painter, area);
  painter.setPen(QColor(80, 80, 80));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(area);
}

void ProfileView::DrawGrid(QPainter& painter, const QRectF& area) const {
  const QFontMetricsF metrics(painter.font());
  const double pxPerMetre = area.width() / (m1_ - m0_);
  const double step = StationStep(pxPerMetre, metrics.horizontalAdvance(QStringLiteral("K000+000")) + 14);
  painter.setPen(QPen(QColor(225, 225, 225), 1));
  // Grid on round stations; a measure is the station where the profile has no breaks to follow.
  for (const double station : RoundValues(Station(m0_), Station(m1_), step, 2000)) {
    const std::optional<double> at = MeasureAt(station);
    if (!at) continue;
    const double m = *at;
    const double x = ToScreen(m, z0_).x();
    if (x >= area.left() && x <= area.right()) painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
  }
  const double zStep = NiceStep(area.height() / (z1_ - z0_), metrics.height() * 2.2, 0.01);
  const int decimals = zStep >= 1 ? 0 : (zStep >= 0.1 ? 1 : 2);
  for (const double z : RoundValues(z0_, z1_, zStep, 2000)) {
    const double y = ToScreen(m0_, z).y();
    painter.setPen(QPen(QColor(225, 225, 225), 1));
    painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    const QString text = QString::number(z, 'f', decimals);
    const QRectF box(4, y - metrics.height() / 2, kAxisWidth - 10, metrics.height());
    if (box.top() < area.top() - 2 || box.bottom() > area.bottom() + 2) continue;
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, text);
    labels_.push_back({text, box});
  }
}

void ProfileView::DrawBands(QPainter& painter, const QRectF& area) const {
  const QFontMetricsF metrics(painter.font());
  const QRectF grade(area.left(), area.bottom() + 4, area.width(), kBandHeight);
  const QRectF stationBand(area.left(), grade.bottom(), area.width(), kBandHeight);
  painter.setPen(QColor(80, 80, 80));
  painter.drawRect(grade);
  painter.drawRect(stationBand);
  painter.setPen(Qt::black);
  painter.drawText(QRectF(2, grade.top(), kAxisWidth - 6, kBandHeight), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("坡度/坡长"));
  painter.drawText(QRectF(2, stationBand.top(), kAxisWidth - 6, kBandHeight), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("桩号"));
  // Grades between the points: a slash that rises or falls, the grade in % and the length.
  const auto& rows = profile_->Rows();
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const double a = std::max(ToScreen(rows[i - 1].measure, 0).x(), grade.left());
    const double b = std::min(ToScreen(rows[i].measure, 0).x(), grade.right());
    if (b <= a) continue;
    painter.setPen(QColor(80, 80, 80));
    if (rows[i - 1].measure >= m0_) painter.drawLine(QPointF(a, grade.top()), QPointF(a, grade.bottom()));
    const double g = rows[i].gradeIn;
    const QString text = QStringLiteral("%1% %2").arg(g * 100, 0, 'f', 3).arg(rows[i].measure - rows[i - 1].measure, 0, 'f', 2);
    const double w = metrics.horizontalAdvance(text) + 4;
    if (w > b - a - 4) continue;
    const QRectF box((a + b - w) / 2, grade.top() + (kBandHeight - metrics.height()) / 2, w, metrics.height());
    painter.setPen(g >= 0 ? QColor(170, 40, 40) : QColor(30, 90, 200));
    painter.drawLine(QPointF(a + 3, g >= 0 ? grade.bottom() - 3 : grade.top() + 3),
                     QPointF(box.left() - 2, g >= 0 ? grade.top() + 3 : grade.bottom() - 3));
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignCenter, text);
    labels_.push_back({text, box});
  }
  // Stations at round values, as wide apart as their text needs.
  const double pxPerMetre = area.width() / (m1_ - m0_);
  const double step = StationStep(pxPerMetre, metrics.horizontalAdvance(QStringLiteral("K000+000")) + 14);
  for (const double station : RoundValues(Station(m0_), Station(m1_), step, 2000)) {
    const std::optional<double> at = MeasureAt(station);
    if (!at) continue;
    const double m = *at;
    const double x = ToScreen(m, 0).x();
    const QString text = KText(station, 0);
    const double w = metrics.horizontalAdvance(text) + 2;
    const QRectF box(x - w / 2, stationBand.top() + (kBandHeight - metrics.height()) / 2, w, metrics.height());
    if (box.left() < stationBand.left() || box.right() > stationBand.right()) continue;
    painter.drawLine(QPointF(x, stationBand.top()), QPointF(x, stationBand.top() + 3));
    painter.drawText(box, Qt::AlignCenter, text);
    labels_.push_back({text, box});
  }
}

void ProfileView::DrawPointData(QPainter& painter, const QRectF& area) const {
  const QFontMetricsF metrics(painter.font());
  const auto& rows = profile_->Rows();
  std::vector<LabelRequest> requests;
  std::vector<QString> texts;
  const QRectF inner = area.adjusted(2, 2, -2, -2);
  for (const ProfileRow& r : rows) {
    const QPointF s = ToScreen(r.measure, r.elevation);
    if (!inner.contains(s)) continue;
    painter.setPen(Qt::black);
    painter.drawEllipse(s, 2.5, 2.5);
    QString text = (r.name.empty() ? QString() : platform::ToQString(r.name) + QLatin1Char(' ')) + KText(Station(r.measure), 3) +
                   QStringLiteral("\nH=") + QString::number(r.elevation, 'f', 3);
    if (r.hasCurve && !r.asymmetric) {
      text += QStringLiteral("\nR=%1 T=%2 E=%3").arg(r.radius, 0, 'f', 0).arg(r.t, 0, 'f', 3).arg(r.e, 0, 'f', 3);
    } else if (r.hasCurve) {
      text += QStringLiteral("\nL1=%1 L2=%2 E=%3").arg(r.lengthIn, 0, 'f', 3).arg(r.lengthOut, 0, 'f', 3).arg(r.e, 0, 'f', 3);
    }
    const QRectF size = metrics.boundingRect(QRectF(0, 0, 1000, 1000), Qt::AlignLeft, text);
    requests.push_back({s.x(), s.y(), size.width() + 4, size.height() + 2, 1});
    texts.push_back(text);
  }
  if (current_ && profile_->Covers(*current_)) {
    const ProfileSample sample = profile_->At(*current_);
    const QPointF s = ToScreen(*current_, sample.elevation);
    if (inner.contains(s)) {
      painter.setPen(QPen(QColor(255, 0, 160), 1.5));
      painter.drawLine(QPointF(s.x(), area.top()), QPointF(s.x(), area.bottom()));
      painter.drawEllipse(s, 5, 5);
      const QString text = KText(Station(*current_), 3) + QStringLiteral("  H=") + QString::number(sample.elevation, 'f', 3);
      requests.push_back({s.x(), s.y(), metrics.horizontalAdvance(text) + 4, metrics.height() + 2, 0});
      texts.push_back(text);
    }
  }
  // Clear of the design line where there is room, else only clear of each other: a point's data
  // is never left out for the line's sake.
  const Box frame{inner.left(), inner.top(), inner.width(), inner.height()};
  std::vector<Box> line;
  const double from = std::max(m0_, profile_->StartMeasure()), to = std::min(m1_, profile_->EndMeasure());
  const int samples = static_cast<int>(std::clamp(area.width() / 6, 2.0, 2000.0));
  for (int i = 0; i <= samples && to > from; ++i) {
    const double m = from + (to - from) * i / samples;
    const QPointF s = ToScreen(m, profile_->At(m).elevation);
    line.push_back({s.x() - 3, s.y() - 3, 6, 6});
  }
  const std::vector<std::optional<Box>> placed = PlaceLabelsPreferClear(requests, frame, {}, line);
  for (std::size_t i = 0; i < placed.size(); ++i) {
    if (!placed[i]) continue;
    const QRectF box(placed[i]->left, placed[i]->top, placed[i]->width, placed[i]->height);
    painter.fillRect(box, QColor(255, 255, 255, 210));
    painter.setPen(requests[i].priority == 0 ? QColor(255, 0, 160) : QColor(0, 0, 0));
    painter.drawText(box.adjusted(2, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop, texts[i]);
    labels_.push_back({texts[i], box});
  }
}

void ProfileView::PanBy(QPointF delta) {
  const double dm = delta.x() / PlotArea().width() * (m1_ - m0_);
  m0_ -= dm;
  m1_ -= dm;
  FitElevations();
  update();
}

}  // namespace survey::alignment::window
