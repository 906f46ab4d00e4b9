// The plan on paper: the view's drawing at a round scale, framed, with a title block.
#include <QDate>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

#include "alignment/text_format.h"
#include "alignment/window/layout/chart_layout.h"
#include "alignment/window/plan_view.h"
#include "alignment/window/report.h"
#include "platform/qt_host.h"
#include "platform/text_printing.h"

namespace survey::alignment::window {

namespace {
// The sheet is laid out in 1/96 inch units, the screen's, so the drawing's ticks and gaps keep
// their size on paper.
constexpr double kSheetDpi = 96;
}  // namespace

double RoundScaleDenominator(double pixelsPerMetre, double dotsPerInch) {
  // One metre is pixelsPerMetre / dotsPerInch * 0.0254 m on paper.
  const double n = dotsPerInch / (pixelsPerMetre * 0.0254);
  return NiceStep(1, n, 1);
}

bool PaintPlanSheet(const PlanView& plan, QPagedPaintDevice* device, const PlanSheet& sheet) {
  if (!plan.CurrentRoute()) return false;
  device->setPageOrientation(QPageLayout::Landscape);
  QPainter painter;
  if (!painter.begin(device)) return false;
  painter.setRenderHint(QPainter::Antialiasing);
  const double k = device->logicalDpiX() / kSheetDpi;
  painter.scale(k, k);
  const QRectF page(0, 0, device->width() / k, device->height() / k);
  QFont font = platform::CjkFont(QStringLiteral("宋体"), 8);
  // Point sizes are taken at the device's resolution; the scaled painter must not enlarge them.
  font.setPixelSize(std::max(1, static_cast<int>(8.0 / 72 * kSheetDpi + 0.5)));
  painter.setFont(font);
  const QFontMetricsF metrics(font);
  const double row = metrics.height() + 8;
  const QRectF block(page.right() - 300, page.bottom() - 5 * row, 300, 5 * row);
  const QRectF area = page.adjusted(0, 0, 0, -block.height() - 6);

  std::optional<PlanFrame> frame = plan.FitFrame(area);
  if (!frame) return false;
  const double n = RoundScaleDenominator(frame->scale, kSheetDpi);
  frame->scale = kSheetDpi / (n * 0.0254);
  plan.Draw(painter, *frame, false);
  painter.setPen(QPen(Qt::black, 1.5));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(area);

  // Title block: 图名, 项目, 比例, 起讫桩号, 日期.
  const Route& route = *plan.CurrentRoute();
  const QString stations = platform::ToQString(StationKText(route.StationAt(0), 3)) + QStringLiteral(" ~ ") +
                           platform::ToQString(StationKText(route.StationAt(route.Length()), 3));
  const QString date = sheet.date.isEmpty() ? QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) : sheet.date;
  const std::pair<QString, QString> rows[] = {
      {QStringLiteral("图名"), sheet.title},
      {QStringLiteral("项目"), sheet.project},
      {QStringLiteral("比例"), QStringLiteral("1:%1").arg(n, 0, 'f', 0)},
      {QStringLiteral("起讫桩号"), stations},
      {QStringLiteral("日期"), date},
  };
  painter.setPen(QPen(Qt::black, 1));
  double y = block.top();
  for (const auto& [key, value] : rows) {
    const QRectF keyCell(block.left(), y, 70, row), valueCell(block.left() + 70, y, block.width() - 70, row);
    painter.drawRect(keyCell);
    painter.drawRect(valueCell);
    painter.drawText(keyCell, Qt::AlignCenter, key);
    painter.drawText(valueCell.adjusted(6, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter, value);
    y += row;
  }
  painter.setPen(QPen(Qt::black, 1.5));
  painter.drawRect(block);
  painter.end();
  return true;
}

bool WritePlanPdf(const PlanView& plan, const QString& path, const PlanSheet& sheet, QString* error) {
  if (!plan.CurrentRoute()) {
    if (error) *error = QStringLiteral("还没有平面图，请先计算。");
    return false;
  }
  return WriteWindowPdf(
      path,
      [&](QPdfWriter& writer) {
        writer.setTitle(sheet.title);
        writer.setPageSize(QPageSize(QPageSize::A3));
        writer.setResolution(300);
        return PaintPlanSheet(plan, &writer, sheet);
      },
      error);
}

}  // namespace survey::alignment::window
