// The cross-section of one stake drawn to scale: the parts with their slopes, the edge
// elevations and the design line (heights exaggerated, as the legend says).
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "alignment/text_format.h"
#include "alignment/window/section_tabs.h"
#include "platform/qt_host.h"

namespace survey::alignment::window {


CrossSectionView::CrossSectionView(QWidget* parent) : QWidget(parent) {
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  message_ = QStringLiteral("在逐桩坐标表中选一个桩，这里画出它的横断面。");
}

void CrossSectionView::SetSection(std::shared_ptr<const section::SectionModel> model, section::SectionAtStation at,
                                  const QString& title, bool relative) {
  model_ = std::move(model);
  at_ = std::move(at);
  title_ = title;
  relative_ = relative;
  message_.clear();
  update();
}

void CrossSectionView::SetMessage(const QString& text) {
  at_.reset();
  model_.reset();
  message_ = text;
  update();
}

void CrossSectionView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF area = QRectF(rect()).adjusted(50, 60, -50, -70);
  if (!at_) {
    p.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, message_);
    return;
  }
  std::vector<section::BreakPoint> points;
  at_->section.AppendBreakPoints(points);
  // Left edge outward first in the list; sort by offset to draw the surface left to right.
  std::vector<section::BreakPoint> surface = points;
  std::sort(surface.begin(), surface.end(), [](const auto& a, const auto& b) { return a.offset < b.offset; });
  double minX = 0, maxX = 0, minZ = surface.front().elevation, maxZ = minZ;
  for (const auto& b : surface) {
    minX = std::min(minX, b.offset);
    maxX = std::max(maxX, b.offset);
    minZ = std::min(minZ, b.elevation);
    maxZ = std::max(maxZ, b.elevation);
  }
  const double spanX = std::max(maxX - minX, 1.0);
  const double scale = area.width() / spanX;  // pixels per metre across
  // Cross slopes of a few percent vanish at true scale: heights are exaggerated so that the
  // section's rise fills about a third of the height, by a round factor the legend gives.
  const double rise = std::max(maxZ - minZ, 0.01);
  double exaggeration = 1;
  for (double f : {1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0, 200.0, 500.0}) {
    if (rise * scale * f <= area.height() / 3) exaggeration = f;
  }
  const double midZ = (minZ + maxZ) / 2;
  const auto toPoint = [&](double offset, double z) {
    return QPointF(area.left() + (offset - minX) * scale, area.center().y() - (z - midZ) * scale * exaggeration);
  };
  QFont font = p.font();
  font.setPointSizeF(8);
  p.setFont(font);
  const QFontMetricsF metrics(font);
  // The surface.
  QPainterPath path;
  for (std::size_t i = 0; i < surface.size(); ++i) {
    const QPointF at = toPoint(surface[i].offset, surface[i].elevation);
    if (i == 0) path.moveTo(at);
    else path.lineTo(at);
  }
  p.setPen(QPen(QColor(20, 20, 20), 2));
  p.drawPath(path);
  // Each part's slope above its middle; each edge's elevation below it, with a tick.
  p.setPen(QPen(QColor(0, 90, 170), 1));
  for (const auto& b : points) {
    if (b.designLine) continue;
    const double inner = b.side == section::Side::Left ? b.offset + b.width : b.offset - b.width;
    const double innerZ = b.elevation - b.slope / 100 * b.width;
    const QPointF mid = (toPoint(b.offset, b.elevation) + toPoint(inner, innerZ)) / 2;
    const QString slope = QStringLiteral("%1%").arg(platform::ToQString(FixedText(b.slope, 2)));
    const QString name = platform::ToQString(b.part->name);
    p.drawText(QPointF(mid.x() - metrics.horizontalAdvance(name) / 2, mid.y() - 18), name);
    p.drawText(QPointF(mid.x() - metrics.horizontalAdvance(slope) / 2, mid.y() - 6), slope);
  }
  p.setPen(QPen(QColor(60, 60, 60), 1));
  for (const auto& b : points) {
    if (b.designLine) continue;
    const QPointF edge = toPoint(b.offset, b.elevation);
    p.drawLine(edge, edge + QPointF(0, 10));
    p.save();
    p.translate(edge + QPointF(4, 14));
    p.rotate(90);
    p.drawText(QPointF(0, 0), platform::ToQString(FixedText(b.elevation, 3)));
    p.restore();
  }
  // The design line.
  const QPointF line = toPoint(0, at_->section.DesignLineElevation());
  p.setPen(QPen(QColor(200, 30, 30), 1, Qt::DashLine));
  p.drawLine(QPointF(line.x(), area.top() - 20), QPointF(line.x(), area.bottom() + 40));
  p.setPen(QColor(200, 30, 30));
  const QString lineText = QStringLiteral("设计线 %1").arg(platform::ToQString(FixedText(at_->section.DesignLineElevation(), 3)));
  p.drawText(QPointF(line.x() + 4, area.top() - 8), lineText);
  // Title and legend.
  p.setPen(palette().color(QPalette::Text));
  QString legend = QStringLiteral("横向 1:1，竖向放大 %1 倍").arg(exaggeration);
  if (relative_) legend += QStringLiteral("；无纵断面，高程相对设计线");
  if (!at_->known) legend += QStringLiteral("；纵断面未覆盖此桩，高程未知");
  p.drawText(QRectF(rect()).adjusted(8, 6, -8, 0), Qt::AlignLeft | Qt::AlignTop, title_);
  p.drawText(QRectF(rect()).adjusted(8, 0, -8, -6), Qt::AlignLeft | Qt::AlignBottom, legend);
}

}  // namespace survey::alignment::window
