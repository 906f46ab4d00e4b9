// The printed tables: 逐桩坐标表 (stake coordinates) and 直线、曲线及转角表 (curve table), laid
// out on pages with the project name, "第 N 页 共 M 页", columns with units, the header on every
// page, landscape when the columns need the width.
#pragma once

#include <QString>
#include <QStringList>

class QPdfWriter;
#include <functional>
#include <string>
#include <vector>

#include "alignment/result_table.h"

class QPagedPaintDevice;
class QPainter;
class QRectF;
class QPageLayout;

namespace survey::alignment::section {
struct SubgradeTable;
}

namespace survey::alignment::window {

enum class ReportKind { Stakes, Curves };

struct ReportTable {
  QString title;        // 逐桩坐标表
  QString projectName;
  QStringList headers;  // with units
  std::vector<QStringList> rows;
  bool landscape = false;
  // A page painted before the table's pages (the plot of a deviation report), counted with them.
  std::function<void(QPainter& painter, const QRectF& page)> frontPage;
};

// The table from the rows of a stakes or curves run (stations in K notation, packed angles as
// D°MM′SS.ss″).
ReportTable MakeReportTable(ReportKind kind, const ResultTable& rows, const QString& projectName, bool degrees);

// The 路基设计表 of the section library, landscape; its title says when the elevations are
// relative to the design line (no profile).
ReportTable SubgradeReportTable(const section::SubgradeTable& table, const QString& projectName);

// Page count for the device's page size.
int ReportPageCount(const ReportTable& table, QPagedPaintDevice* device);
// Paints every page; false when painting cannot start.
bool PaintReport(const ReportTable& table, QPagedPaintDevice* device);
bool WriteReportPdf(const ReportTable& table, const QString& path, QString* error);

// The window's PDF files: `paint` sets up the writer and paints, false when painting cannot
// start. A failure leaves an earlier file as it was and says in *error why.
bool WriteWindowPdf(const QString& path, const std::function<bool(QPdfWriter& writer)>& paint, QString* error);

}  // namespace survey::alignment::window
