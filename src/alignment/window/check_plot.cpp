// The plot shows what the inspector looks for first: where along the road the points leave the
// tolerance band. Failed points are drawn last so none hides under a pass.
#include "alignment/window/check_plot.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRectF>
#include <algorithm>
#include <cmath>

#include "alignment/text_format.h"
#include "platform/qt_host.h"
#include "platform/text_printing.h"

namespace survey::alignment::window {

namespace {

// A tick step of 1, 2 or 5 times a power of ten giving about `count` intervals over `span`.
double TickStep(double span, int count) {
  const double raw = span / count;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double m : {1.0, 2.0, 5.0}) {
    if (m * power >= raw) return m * power;
  }
  return 10 * power;
}

struct PanelAxes {
  CheckPlotAxis x, y;
};

// One panel: values against station, the band [bandLo, bandHi] shaded.
PanelAxes PaintPanel(QPainter& p, const QRectF& box, const QString& title, const CheckPlotAxis& stations, double bandLo,
                     double bandHi, const std::vector<CheckPlotPoint>& points, bool distance, int decimals) {
  double lo = bandLo, hi = bandHi;
  for (const CheckPlotPoint& pt : points) {
    const std::optional<double>& v = distance ? pt.distance : pt.dz;
    if (!v) continue;
    lo = std::min(lo, *v);
    hi = std::max(hi, *v);
  }
  const double margin = std::max((hi - lo) * 0.08, 0.001);
  lo -= margin;
  hi += margin;
  if (distance) lo = std::max(lo, 0.0);  // a distance is never negative
  const QFontMetricsF fm(p.font());
  const double left = fm.horizontalAdvance(QStringLiteral("-0.0000")) * 1.3;
  const QRectF plot = box.adjusted(left, fm.height() * 1.6, -fm.averageCharWidth() * 2, -fm.height() * 1.8);
  CheckPlotAxis x = stations;
  x.pixLo = plot.left();
  x.pixHi = plot.right();
  const CheckPlotAxis y{lo, hi, plot.bottom(), plot.top()};

  p.setPen(Qt::black);
  p.drawText(QRectF(box.left(), box.top(), box.width(), fm.height() * 1.4), Qt::AlignLeft | Qt::AlignVCenter, title);
  // The tolerance band and its limits.
  const QRectF band(QPointF(plot.left(), y.Map(bandHi)), QPointF(plot.right(), y.Map(bandLo)));
  p.fillRect(band, QColor(220, 240, 220));
  QPen limit(QColor(0, 130, 0), 0, Qt::DashLine);
  p.setPen(limit);
  for (const double v : {bandLo, bandHi}) p.drawLine(QPointF(plot.left(), y.Map(v)), QPointF(plot.right(), y.Map(v)));
  // Grid and labels.
  QPen grid(QColor(190, 190, 190), 0, Qt::DotLine);
  const double yStep = TickStep(hi - lo, 6);
  for (double v = std::ceil(lo / yStep) * yStep; v <= hi + 1e-12; v += yStep) {
    p.setPen(grid);
    p.drawLine(QPointF(plot.left(), y.Map(v)), QPointF(plot.right(), y.Map(v)));
    p.setPen(Qt::black);
    const double shown = std::fabs(v) < yStep * 1e-6 ? 0 : v;
    p.drawText(QRectF(box.left(), y.Map(v) - fm.height(), left - fm.averageCharWidth(), fm.height() * 2),
               Qt::AlignRight | Qt::AlignVCenter, platform::ToQString(FixedText(shown, decimals)));
  }
  const double xStep = TickStep(x.hi - x.lo, 8);
  for (double v = std::ceil(x.lo / xStep) * xStep; v <= x.hi + 1e-9; v += xStep) {
    p.setPen(grid);
    p.drawLine(QPointF(x.Map(v), plot.top()), QPointF(x.Map(v), plot.bottom()));
    p.setPen(Qt::black);
    const QString label = platform::ToQString(StationKText(v, xStep < 1 ? 1 : 0));
    p.drawText(QRectF(x.Map(v) - fm.horizontalAdvance(label), plot.bottom() + fm.height() * 0.2,
                      fm.horizontalAdvance(label) * 2, fm.height() * 1.4),
               Qt::AlignHCenter | Qt::AlignTop, label);
  }
  p.setPen(QPen(Qt::black, 0));
  p.drawRect(plot);
  // Passes first, failures over them.
  const double r = std::max(1.0, fm.height() * 0.12);
  for (const bool failed : {false, true}) {
    p.setPen(Qt::NoPen);
    p.setBrush(failed ? QColor(220, 0, 0) : QColor(40, 60, 140));
    for (const CheckPlotPoint& pt : points) {
      const std::optional<double>& v = distance ? pt.distance : pt.dz;
      if (!v || pt.failed != failed) continue;
      p.drawEllipse(QPointF(x.Map(pt.station), y.Map(*v)), failed ? r * 1.6 : r, failed ? r * 1.6 : r);
    }
  }
  p.setBrush(Qt::NoBrush);
  return {x, y};
}

QString Cell(const std::optional<double>& v, int decimals) {
  return v ? platform::ToQString(FixedText(*v, decimals)) : QString();
}

}  // namespace

// A point off the route has no station to stand at: its horizontal deviation from the position
// it was meant to mark is in its row, not on the plot (where it once stood at K0+000).
CheckPlotPoint CheckPlotPointOf(const check::CheckRow& row) {
  return {row.station, row.inside ? row.dz : std::nullopt, row.inside ? row.distance : std::nullopt,
          row.result != check::CheckResult::Pass};
}

QStringList CheckReportCells(const check::CheckRow& row, bool withIntended, int d) {
  QStringList cells = {platform::ToQString(std::string(row.name)),
                       row.inside ? platform::ToQString(StationKText(row.station, d)) : QString(),
                       row.inside ? platform::ToQString(FixedText(row.offset, d)) : QString(),
                       platform::ToQString(FixedText(row.z, d)), Cell(row.designZ, d), Cell(row.dz, d),
                       Cell(row.dz ? std::optional<double>(-*row.dz) : std::nullopt, d)};
  if (withIntended) cells << Cell(row.along, d) << Cell(row.across, d) << Cell(row.distance, d);
  cells << (row.result == check::CheckResult::Pass   ? QStringLiteral("合格")
            : row.result == check::CheckResult::Fail ? QStringLiteral("不合格")
                                                     : QStringLiteral("路线外"));
  return cells;
}

QStringList CheckReportHeaders(bool withIntended) {
  QStringList headers = {QStringLiteral("点名"),         QStringLiteral("桩号"),         QStringLiteral("偏距 (m)"),
                         QStringLiteral("实测高程 (m)"), QStringLiteral("设计高程 (m)"), QStringLiteral("Δz (m)"),
                         QStringLiteral("填挖高度 (m)\n(填正挖负)")};
  if (withIntended) {
    headers << QStringLiteral("纵向偏差 (m)") << QStringLiteral("横向偏差 (m)") << QStringLiteral("平面偏差 (m)");
  }
  headers << QStringLiteral("结论");
  return headers;
}

std::shared_ptr<const CheckReportData> CheckReportDataOf(const check::CheckTable& table, bool withRows) {
  auto data = std::make_shared<CheckReportData>();
  data->run = table.run;
  data->decimals = table.decimals;
  data->points.reserve(table.rows.size());
  if (withRows) data->rows.reserve(table.rows.size());
  for (const check::CheckRow& row : table.rows) {
    data->points.push_back(CheckPlotPointOf(row));
    if (withRows) data->rows.push_back(CheckReportCells(row, table.run.withIntended, table.decimals));
  }
  return data;
}

CheckPlotGeometry PaintCheckPlot(QPainter& p, const QRectF& page, const CheckReportData& report, const QString& project) {
  CheckPlotGeometry geometry;
  QFont font = platform::CjkFont(QStringLiteral("宋体"), 9);
  p.setFont(font);
  const QFontMetricsF fm(font, p.device());
  QFont titleFont = font;
  titleFont.setPointSizeF(font.pointSizeF() * 1.8);
  titleFont.setBold(true);
  p.setFont(titleFont);
  const QFontMetricsF tm(titleFont, p.device());
  p.drawText(QRectF(page.left(), page.top(), page.width(), tm.height() * 1.3), Qt::AlignHCenter | Qt::AlignTop,
             QStringLiteral("偏差报表"));
  p.setFont(font);
  double y = page.top() + tm.height() * 1.5;
  const auto line = [&](const QString& text) {
    p.drawText(QRectF(page.left(), y, page.width(), fm.height() * 1.4), Qt::AlignLeft | Qt::AlignVCenter, text);
    y += fm.height() * 1.4;
  };
  const int d = report.decimals;
  line(QStringLiteral("项目：") + project);
  const check::ZTolerance& tz = report.run.toleranceZ;
  QString tolerance = QStringLiteral("限差：高程 +%1 / %2 m")
                          .arg(platform::ToQString(FixedText(tz.upper, d)), platform::ToQString(FixedText(tz.lower, d)));
  if (report.run.withIntended) {
    tolerance += QStringLiteral("，平面 %1 m").arg(platform::ToQString(FixedText(report.run.toleranceXy, d)));
  }
  line(tolerance + QStringLiteral("（等于限差为合格）；Δz = 实测 − 设计；红点为不合格。"));
  line(platform::ToQString(check::CheckSummaryText(report.run, d)));
  y += fm.height() * 0.5;

  CheckPlotAxis stations;
  bool any = false;
  for (const CheckPlotPoint& pt : report.points) {
    if (!pt.dz && !pt.distance) continue;
    stations.lo = any ? std::min(stations.lo, pt.station) : pt.station;
    stations.hi = any ? std::max(stations.hi, pt.station) : pt.station;
    any = true;
  }
  if (!any) {
    line(QStringLiteral("没有可绘制的点（全部在路线外）。"));
    return geometry;
  }
  const double pad = std::max((stations.hi - stations.lo) * 0.02, 1.0);
  stations.lo -= pad;
  stations.hi += pad;
  const QRectF rest(page.left(), y, page.width(), page.bottom() - y);
  const int panels = report.run.withIntended ? 2 : 1;
  const double h = rest.height() / panels;
  const PanelAxes dz = PaintPanel(p, QRectF(rest.left(), rest.top(), rest.width(), h),
                                  QStringLiteral("高程偏差 Δz (m) — 桩号"), stations, tz.lower, tz.upper, report.points,
                                  false, d);
  geometry.drawn = true;
  geometry.stations = dz.x;
  geometry.dz = dz.y;
  if (panels == 2) {
    geometry.xy = PaintPanel(p, QRectF(rest.left(), rest.top() + h, rest.width(), h), QStringLiteral("平面偏差 (m) — 桩号"),
                             stations, 0, report.run.toleranceXy, report.points, true, d)
                      .y;
  }
  return geometry;
}

ReportTable CheckReportTable(std::shared_ptr<const CheckReportData> data, const QString& project) {
  ReportTable table;
  table.title = QStringLiteral("偏差报表");
  table.projectName = project;
  table.headers = CheckReportHeaders(data->run.withIntended);
  table.rows = data->rows;
  table.landscape = true;
  table.frontPage = [data, project](QPainter& painter, const QRectF& page) { PaintCheckPlot(painter, page, *data, project); };
  return table;
}

}  // namespace survey::alignment::window
