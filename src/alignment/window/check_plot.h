// The deviation report's plot and printed table, painted by one code for the printed report
// (`report --table check --pdf` and the window's print menu) and for the window's live plot:
// Δz along the station above, the horizontal deviation below (with intended positions), the
// tolerance band shaded between its limits, failed points in red.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "alignment/check/check_rows.h"
#include "alignment/window/report.h"

class QPainter;
class QRectF;

namespace survey::alignment::window {

struct CheckPlotPoint {
  double station = 0;
  std::optional<double> dz, distance;
  bool failed = false;
};
CheckPlotPoint CheckPlotPointOf(const check::CheckRow& row);

// What the plot page and the table pages print.
struct CheckReportData {
  check::CheckRun run;
  std::vector<CheckPlotPoint> points;  // the rows' order
  std::vector<QStringList> rows;
  int decimals = 3;
};

// The printed row: stations in K notation, the result as 合格 / 不合格 / 路线外.
QStringList CheckReportCells(const check::CheckRow& row, bool withIntended, int decimals);
QStringList CheckReportHeaders(bool withIntended);
// The run as printed (rows in the table's order); without `withRows` only what the plot needs
// (a row's printed cells cost some 500 bytes, and the printed report stops at 10,000 rows).
std::shared_ptr<const CheckReportData> CheckReportDataOf(const check::CheckTable& table, bool withRows);

// A value axis of a panel: values lo..hi on pixels pixLo..pixHi.
struct CheckPlotAxis {
  double lo = 0, hi = 1;
  double pixLo = 0, pixHi = 1;
  double Map(double v) const { return pixLo + (v - lo) / (hi - lo) * (pixHi - pixLo); }
};
// Where the plot put its panels: the station axis (the same for both) and each panel's values.
struct CheckPlotGeometry {
  bool drawn = false;  // false when no point has a deviation
  CheckPlotAxis stations, dz;
  std::optional<CheckPlotAxis> xy;
};

// The plot page: title, project, tolerances and summary, then the panels filling `page`.
CheckPlotGeometry PaintCheckPlot(QPainter& painter, const QRectF& page, const CheckReportData& data,
                                 const QString& project);

// The 偏差报表: the plot page, then the table pages.
ReportTable CheckReportTable(std::shared_ptr<const CheckReportData> data, const QString& project);

}  // namespace survey::alignment::window
