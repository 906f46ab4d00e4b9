// The cross-section of one stake drawn to scale: the parts with their slopes, the edge
// elevations and the design line (heights exaggerated, as the legend says); beyond the edges
// the side slopes, and the measured points near the station with their dz.
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "alignment/text_format.h"
#include "alignment/window/layout/chart_layout.h"
#include "alignment/window/section_tabs.h"
#include "platform/qt_host.h"

namespace survey::alignment::window {

namespace {

// How far across the side slopes are drawn from the edge (the frame may cut them shorter).
constexpr double kSlopeReach = 10.0;

Box BoxOf(const QRectF& r) { return {r.left(), r.top(), r.width(), r.height()}; }

// A measured point's label: its name and dz, signed as the surveyor reads it.
QString MarkText(const SectionMark& mark) {
  QString text = platform::ToQString(mark.name);
  if (!mark.dz) return text;
  if (!text.isEmpty()) text += QLatin1Char(' ');
  return text + QStringLiteral("dz ") + (*mark.dz > 0 ? QStringLiteral("+") : QString()) +
         platform::ToQString(FixedText(*mark.dz, 3));
}

// 1.5 as 1.5, 1 as 1: the ratio as a surveyor writes it, to the centimetre.
QString RatioText(double m) {
  std::string text = FixedText(m, 2);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return platform::ToQString(text);
}

}  // namespace

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
  slopes_.reset();
  marks_.clear();
  update();
}

void CrossSectionView::SetField(double chainage, std::optional<section::SideSlopes> slopes, std::vector<SectionMark> marks) {
  chainage_ = chainage;
  slopes_ = std::move(slopes);
  marks_ = std::move(marks);
  update();
}

void CrossSectionView::SetMessage(const QString& text) {
  at_.reset();
  model_.reset();
  slopes_.reset();
  marks_.clear();
  message_ = text;
  update();
}

void CrossSectionView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  partLabels_.clear();
  edgeMarks_.clear();
  markDots_.clear();
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
  // The slopes reach out beside the section; the measured points stand where they were shot.
  const bool slopes = slopes_.has_value() && at_->known;
  if (slopes) {
    if (surface.front().offset < 0) minX = surface.front().offset - kSlopeReach;
    if (surface.back().offset > 0) maxX = surface.back().offset + kSlopeReach;
  }
  for (const SectionMark& m : marks_) {
    minX = std::min(minX, m.offset);
    maxX = std::max(maxX, m.offset);
    minZ = std::min(minZ, m.z);
    maxZ = std::max(maxZ, m.z);
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
  // Where the section's own texts go: the measured points' labels keep clear of them.
  std::vector<Box> taken;
  const auto textBox = [&](const QPointF& baseline, const QString& text) {
    return QRectF(baseline.x(), baseline.y() - metrics.ascent(), metrics.horizontalAdvance(text), metrics.height());
  };
  // The lines drawn, which the part labels keep off where they have room.
  std::vector<QLineF> drawn;
  // The side slopes, dashed: fill falling from the edge, cut rising from it, to the frame.
  if (slopes) {
    p.save();
    p.setClipRect(area.adjusted(-40, -40, 40, 40));
    for (const section::BreakPoint* edge : {&surface.front(), &surface.back()}) {
      if (edge->designLine) continue;
      const double out = edge->offset < 0 ? -kSlopeReach : kSlopeReach;
      const QPointF from = toPoint(edge->offset, edge->elevation);
      for (const section::SlopeKind kind : {section::SlopeKind::Fill, section::SlopeKind::Cut}) {
        const double m = slopes_->Ratio(edge->side, kind);
        const double z = edge->elevation + (kind == section::SlopeKind::Fill ? -1 : 1) * kSlopeReach / m;
        const QColor colour = kind == section::SlopeKind::Fill ? QColor(150, 90, 20) : QColor(40, 120, 60);
        p.setPen(QPen(colour, 1.5, Qt::DashLine));
        const QPointF to = toPoint(edge->offset + out, z);
        p.drawLine(from, to);
        drawn.emplace_back(from, to);
        // The ratio a little way down (or up) the slope, where the frame shows it.
        const QString text = QStringLiteral("%1 1:%2")
                                 .arg(kind == section::SlopeKind::Fill ? QStringLiteral("填") : QStringLiteral("挖"))
                                 .arg(RatioText(m));
        const QPointF along = from + (to - from) * 0.35;
        const QPointF at(edge->offset < 0 ? along.x() - metrics.horizontalAdvance(text) - 4 : along.x() + 4, along.y());
        if (area.contains(at)) {
          p.setPen(colour);
          p.drawText(at, text);
          taken.push_back(BoxOf(textBox(at, text)));
        }
      }
    }
    p.restore();
  }
  // The surface.
  QPainterPath path;
  for (std::size_t i = 0; i < surface.size(); ++i) {
    const QPointF at = toPoint(surface[i].offset, surface[i].elevation);
    if (i == 0) path.moveTo(at);
    else path.lineTo(at);
  }
  p.setPen(QPen(QColor(20, 20, 20), 2));
  p.drawPath(path);
  // Each edge's elevation below it, with a tick; these stand where they are, the texts placed
  // after them keep clear.
  p.setPen(QPen(QColor(60, 60, 60), 1));
  for (const auto& b : points) {
    if (b.designLine) continue;
    const QPointF edge = toPoint(b.offset, b.elevation);
    p.drawLine(edge, edge + QPointF(0, 10));
    p.save();
    p.translate(edge + QPointF(4, 14));
    p.rotate(90);
    const QString text = platform::ToQString(FixedText(b.elevation, 3));
    p.drawText(QPointF(0, 0), text);
    p.restore();
    // Turned a quarter clockwise: the text runs down from (4, 14) below the edge.
    edgeMarks_.push_back(QRectF(edge.x() - 1, edge.y(), 2, 10));
    edgeMarks_.push_back(QRectF(edge.x() + 4 - metrics.descent(), edge.y() + 14, metrics.height(), metrics.horizontalAdvance(text)));
  }
  for (const QRectF& r : edgeMarks_) taken.push_back(BoxOf(r));
  // The design line.
  const QPointF line = toPoint(0, at_->section.DesignLineElevation());
  p.setPen(QPen(QColor(200, 30, 30), 1, Qt::DashLine));
  p.drawLine(QPointF(line.x(), area.top() - 20), QPointF(line.x(), area.bottom() + 40));
  p.setPen(QColor(200, 30, 30));
  const QString lineText = QStringLiteral("设计线 %1").arg(platform::ToQString(FixedText(at_->section.DesignLineElevation(), 3)));
  const QPointF lineAt(line.x() + 4, area.top() - 8);
  p.drawText(lineAt, lineText);
  taken.push_back(BoxOf(textBox(lineAt, lineText)));
  // Each part's name over its slope in percent, beside the part's middle: placed as the measured
  // points' labels are, clear of the ticks and elevations, off the surface and the side slopes
  // where there is room.
  for (std::size_t i = 1; i < surface.size(); ++i) {
    drawn.emplace_back(toPoint(surface[i - 1].offset, surface[i - 1].elevation), toPoint(surface[i].offset, surface[i].elevation));
  }
  std::vector<Box> lineBoxes;
  for (const QLineF& l : drawn) {
    const int steps = static_cast<int>(std::min(l.length() / 6, 2000.0));
    for (int k = 0; k <= steps; ++k) {
      const QPointF at = steps == 0 ? l.p1() : l.pointAt(static_cast<double>(k) / steps);
      lineBoxes.push_back({at.x() - 3, at.y() - 3, 6, 6});
    }
  }
  // The measured points' dots stand where the points were shot.
  for (const SectionMark& m : marks_) {
    const QPointF at = toPoint(m.offset, m.z);
    markDots_.push_back(at);
    taken.push_back({at.x() - 3, at.y() - 3, 6, 6});
  }
  std::vector<LabelRequest> partRequests;
  std::vector<QString> partTexts;
  for (const auto& b : points) {
    if (b.designLine) continue;
    const double inner = b.side == section::Side::Left ? b.offset + b.width : b.offset - b.width;
    const double innerZ = b.elevation - b.slope / 100 * b.width;
    const QPointF mid = (toPoint(b.offset, b.elevation) + toPoint(inner, innerZ)) / 2;
    const QString name = platform::ToQString(b.part->name);
    const QString slope = QStringLiteral("%1%").arg(platform::ToQString(FixedText(b.slope, 2)));
    partTexts.push_back(name + QLatin1Char('\n') + slope);
    const double width = std::max(metrics.horizontalAdvance(name), metrics.horizontalAdvance(slope));
    partRequests.push_back({mid.x(), mid.y(), width, 2 * metrics.height(), 0});
  }
  const std::vector<std::optional<Box>> partsPlaced =
      PlaceLabelsPreferClear(partRequests, BoxOf(QRectF(rect()).adjusted(2, 24, -2, -24)), taken, lineBoxes);
  p.setPen(QPen(QColor(0, 90, 170), 1));
  for (std::size_t i = 0; i < partsPlaced.size(); ++i) {
    if (!partsPlaced[i]) continue;  // no room anywhere beside its part: left out
    const QRectF box(partsPlaced[i]->left, partsPlaced[i]->top, partsPlaced[i]->width, partsPlaced[i]->height);
    p.drawText(box, Qt::AlignHCenter | Qt::AlignTop, partTexts[i]);
    partLabels_.push_back({partTexts[i], box});
    taken.push_back(*partsPlaced[i]);
  }
  // The measured points: a dot where each was shot, labelled clear of the section's texts.
  if (!marks_.empty()) {
    std::vector<LabelRequest> requests;
    std::vector<QString> texts;
    for (const SectionMark& m : marks_) {
      const QPointF at = toPoint(m.offset, m.z);
      texts.push_back(MarkText(m));
      // The point shot at this very station (the one just located) is named before those about it.
      const int priority = static_cast<int>(std::min(std::fabs(m.chainage - chainage_) * 10, 1e6));
      requests.push_back({at.x(), at.y(), metrics.horizontalAdvance(texts.back()), metrics.height(), priority});
    }
    const std::vector<std::optional<Box>> placed = PlaceLabels(requests, BoxOf(QRectF(rect()).adjusted(2, 24, -2, -24)), taken);
    const QColor colour(170, 20, 140);
    for (std::size_t i = 0; i < marks_.size(); ++i) {
      const QPointF at(requests[i].anchorX, requests[i].anchorY);
      p.setPen(Qt::NoPen);
      p.setBrush(colour);
      p.drawEllipse(at, 3, 3);
      p.setBrush(Qt::NoBrush);
      if (!placed[i]) continue;
      p.setPen(colour);
      p.drawText(QPointF(placed[i]->left, placed[i]->top + metrics.ascent()), texts[i]);
    }
  }
  // Title and legend.
  p.setPen(palette().color(QPalette::Text));
  QString legend = QStringLiteral("横向 1:1，竖向放大 %1 倍").arg(exaggeration);
  if (!marks_.empty()) legend += QStringLiteral("；实测点 %1 个（本桩前后 %2 m 内）").arg(marks_.size()).arg(kMarkHalfWidth);
  if (relative_) legend += QStringLiteral("；无纵断面，高程相对设计线");
  if (!at_->known) legend += QStringLiteral("；纵断面未覆盖此桩，高程未知");
  p.drawText(QRectF(rect()).adjusted(8, 6, -8, 0), Qt::AlignLeft | Qt::AlignTop, title_);
  p.drawText(QRectF(rect()).adjusted(8, 0, -8, -6), Qt::AlignLeft | Qt::AlignBottom, legend);
}

}  // namespace survey::alignment::window
