#include "alignment/window/report.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

#include "alignment/section/subgrade_table.h"
#include "alignment/text_format.h"
#include "alignment/window/form.h"
#include "platform/text_printing.h"
#include "platform/qt_host.h"

namespace survey::alignment::window {

namespace {


QString StationCell(const std::string& text) {
  const std::optional<double> v = ReadNumber(text);
  if (!v) return platform::ToQString(text);
  const std::size_t point = text.find('.');
  const int decimals = point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
  return platform::ToQString(StationKText(*v, decimals));
}

// "123.453012" (D.MMSS with two decimals of seconds) as 123°45′30.12″.
QString AngleCell(const std::string& text, bool degrees) {
  if (text.empty()) return {};
  if (degrees) return platform::ToQString(text) + QStringLiteral("°");
  const std::size_t point = text.find('.');
  if (point == std::string::npos || text.size() < point + 5) return platform::ToQString(text);
  const std::string d = text.substr(0, point), m = text.substr(point + 1, 2), s = text.substr(point + 3, 2);
  std::string frac = text.substr(point + 5);
  return platform::ToQString(d) + QStringLiteral("°") + platform::ToQString(m) + QStringLiteral("′") + platform::ToQString(s) + (frac.empty() ? QString() : QStringLiteral(".") + platform::ToQString(frac)) +
         QStringLiteral("″");
}

struct Layout {
  QFont font;
  double rowHeight = 0;
  double top = 0;            // first table row's top
  int rowsPerPage = 1;
  std::vector<double> widths;
  double scale = 1;          // fits the columns into the page width
};

Layout ComputeLayout(const ReportTable& table, QPagedPaintDevice* device, QPainter* painter) {
  Layout layout;
  layout.font = platform::CjkFont(QStringLiteral("宋体"), 9);
  const QFontMetricsF m(layout.font, device);
  layout.widths.assign(static_cast<std::size_t>(table.headers.size()), 0);
  for (int c = 0; c < table.headers.size(); ++c) {
    double w = 0;
    for (const QString& line : table.headers[c].split(QLatin1Char('\n'))) w = std::max(w, m.horizontalAdvance(line));
    layout.widths[static_cast<std::size_t>(c)] = w;
  }
  for (const QStringList& row : table.rows) {
    for (int c = 0; c < row.size() && c < table.headers.size(); ++c) {
      layout.widths[static_cast<std::size_t>(c)] = std::max(layout.widths[static_cast<std::size_t>(c)], m.horizontalAdvance(row[c]));
    }
  }
  const double pad = m.averageCharWidth() * 1.2;
  double total = 0;
  for (double& w : layout.widths) total += (w += 2 * pad);
  const double pageWidth = device->width();
  layout.scale = total > pageWidth ? pageWidth / total : 1;
  for (double& w : layout.widths) w *= layout.scale;
  if (layout.scale < 1) layout.font.setPointSizeF(layout.font.pointSizeF() * layout.scale);
  const QFontMetricsF scaled(layout.font, device);
  layout.rowHeight = scaled.height() * 1.45;
  layout.top = scaled.height() * 4.2 + layout.rowHeight * 2;  // title, project line, two header lines
  layout.rowsPerPage = std::max(1, static_cast<int>((device->height() - layout.top - scaled.height() * 1.5) / layout.rowHeight));
  (void)painter;
  return layout;
}

void SetUpPage(const ReportTable& table, QPagedPaintDevice* device) {
  QPageLayout page(QPageSize(QPageSize::A4), table.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                   QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
  device->setPageLayout(page);
}

}  // namespace

ReportTable MakeReportTable(ReportKind kind, const ResultTable& rows, const QString& projectName, bool degrees) {
  ReportTable table;
  table.projectName = projectName;
  const std::vector<std::string>& keys = rows.Keys();
  const auto col = [&](const std::string& key) {
    const auto it = std::find(keys.begin(), keys.end(), key);
    return it == keys.end() ? -1 : static_cast<int>(it - keys.begin());
  };
  if (kind == ReportKind::Stakes) {
    table.title = QStringLiteral("逐桩坐标表");
    table.headers = {QStringLiteral("桩号"), QStringLiteral("名称"), QStringLiteral("X (m)"), QStringLiteral("Y (m)"),
                     QStringLiteral("方位角")};
    std::vector<int> extra;
    for (std::size_t i = 5; i < keys.size(); ++i) {
      extra.push_back(static_cast<int>(i));
      table.headers << platform::ToQString(ResultColumnTitle(keys[i]));
    }
    table.landscape = table.headers.size() > 7;
    for (std::size_t r = 0; r < rows.RowCount(); ++r) {
      const std::vector<std::string> c = rows.Cells(r);
      if (c.size() < 5) continue;
      QStringList row = {StationCell(c[static_cast<std::size_t>(col("station"))]), platform::ToQString(c[0]), platform::ToQString(c[2]), platform::ToQString(c[3]),
                         AngleCell(c[4], degrees)};
      for (int i : extra) row << (static_cast<std::size_t>(i) < c.size() ? platform::ToQString(c[static_cast<std::size_t>(i)]) : QString());
      table.rows.push_back(row);
    }
  } else {
    table.title = QStringLiteral("直线、曲线及转角表");
    // The standard columns; the deflection goes under 左 or 右 by the turn.
    struct Column {
      const char* key;
      const char* title;
    };
    static const Column columns[] = {
        {"name", "交点号"},          {"x", "交点坐标\nX (m)"},     {"y", "交点坐标\nY (m)"},
        {"jd_station", "交点桩号"},  {"", "转角\n左"},              {"", "转角\n右"},
        {"r", "R (m)"},              {"ls1", "Ls1 (m)"},            {"ls2", "Ls2 (m)"},
        {"t1", "T1 (m)"},            {"t2", "T2 (m)"},              {"l", "L (m)"},
        {"e", "E (m)"},              {"j", "J (m)"},                {"zh", "ZH(ZY)"},
        {"hy", "HY"},                {"qz", "QZ"},                  {"yh", "YH"},
        {"hz", "HZ(YZ)"},            {"straight_after", "直线长度\n(m)"}, {"jd_distance", "交点间距\n(m)"},
        {"azimuth", "计算方位角"}};
    for (const Column& c : columns) table.headers << QString::fromUtf8(c.title);
    table.landscape = true;
    const int turn = col("turn"), alpha = col("alpha");
    for (std::size_t r = 0; r < rows.RowCount(); ++r) {
      const std::vector<std::string> c = rows.DisplayCells(r);
      const auto cell = [&](int i) { return i >= 0 && static_cast<std::size_t>(i) < c.size() ? platform::ToQString(c[static_cast<std::size_t>(i)]) : QString(); };
      QStringList row;
      for (const Column& column : columns) {
        const std::string key = column.key;
        if (!key.empty()) {
          row << cell(col(key));
          continue;
        }
        const bool rightColumn = std::string(column.title).ends_with("右");
        const QString side = cell(turn);
        row << (side == (rightColumn ? QStringLiteral("右") : QStringLiteral("左")) ? cell(alpha) : QString());
      }
      table.rows.push_back(row);
    }
  }
  return table;
}

int ReportPageCount(const ReportTable& table, QPagedPaintDevice* device) {
  const Layout layout = ComputeLayout(table, device, nullptr);
  return std::max(1, static_cast<int>((table.rows.size() + static_cast<std::size_t>(layout.rowsPerPage) - 1) /
                                      static_cast<std::size_t>(layout.rowsPerPage)));
}

bool PaintReport(const ReportTable& table, QPagedPaintDevice* device) {
  SetUpPage(table, device);
  QPainter painter;
  if (!painter.begin(device)) return false;
  const Layout layout = ComputeLayout(table, device, &painter);
  const int pages = ReportPageCount(table, device);
  const int front = table.frontPage ? 1 : 0;
  if (front != 0) {
    painter.save();  // the table's pages start from the painter as it began
    table.frontPage(painter, QRectF(0, 0, device->width(), device->height()));
    painter.restore();
    device->newPage();
  }
  QFont titleFont = layout.font;
  titleFont.setPointSizeF(layout.font.pointSizeF() * 1.8);
  titleFont.setBold(true);
  const QFontMetricsF fm(layout.font, device);
  const double width = device->width();
  for (int page = 0; page < pages; ++page) {
    if (page > 0) device->newPage();
    painter.setFont(titleFont);
    const QFontMetricsF tm(titleFont, device);
    painter.drawText(QRectF(0, 0, width, tm.height() * 1.3), Qt::AlignHCenter | Qt::AlignTop, table.title);
    painter.setFont(layout.font);
    const double infoY = tm.height() * 1.5;
    painter.drawText(QRectF(0, infoY, width / 2, fm.height() * 1.4), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("项目：") + table.projectName);
    painter.drawText(QRectF(width / 2, infoY, width / 2, fm.height() * 1.4), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("第 %1 页 共 %2 页").arg(page + 1 + front).arg(pages + front));
    // Header, two rows high so that long titles break.
    const double headerTop = layout.top - layout.rowHeight * 2;
    double x = 0;
    painter.setPen(QPen(Qt::black, 0));
    for (int c = 0; c < table.headers.size(); ++c) {
      const QRectF cell(x, headerTop, layout.widths[static_cast<std::size_t>(c)], layout.rowHeight * 2);
      painter.drawRect(cell);
      painter.drawText(cell, Qt::AlignCenter | Qt::TextWordWrap, table.headers[c]);
      x += layout.widths[static_cast<std::size_t>(c)];
    }
    const std::size_t first = static_cast<std::size_t>(page) * static_cast<std::size_t>(layout.rowsPerPage);
    const std::size_t last = std::min(table.rows.size(), first + static_cast<std::size_t>(layout.rowsPerPage));
    double y = layout.top;
    for (std::size_t r = first; r < last; ++r) {
      x = 0;
      const QStringList& row = table.rows[r];
      for (int c = 0; c < table.headers.size(); ++c) {
        const double w = layout.widths[static_cast<std::size_t>(c)];
        const QRectF cell(x, y, w, layout.rowHeight);
        painter.drawRect(cell);
        const QString text = c < row.size() ? row[c] : QString();
        const bool left = (table.title.startsWith(QStringLiteral("逐")) && c <= 1) || c == 0;
        painter.drawText(cell.adjusted(fm.averageCharWidth() * 0.6, 0, -fm.averageCharWidth() * 0.6, 0),
                         (left ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, text);
        x += w;
      }
      y += layout.rowHeight;
    }
  }
  painter.end();
  return true;
}

ReportTable SubgradeReportTable(const section::SubgradeTable& table, const QString& projectName) {
  ReportTable report;
  report.title = platform::ToQString(table.title) +
                 (table.relative ? QStringLiteral("（无纵断面：高程相对设计线）") : QString());
  report.projectName = projectName;
  for (const std::string& h : table.headers) report.headers << platform::ToQString(h);
  report.rows.reserve(table.rows.size());
  for (const std::vector<std::string>& cells : table.rows) {
    QStringList row;
    for (const std::string& c : cells) row << platform::ToQString(c);
    report.rows.push_back(std::move(row));
  }
  report.landscape = true;
  return report;
}

bool WriteReportPdf(const ReportTable& table, const QString& path, QString* error) {
  return WriteWindowPdf(
      path,
      [&](QPdfWriter& writer) {
        writer.setTitle(table.title);
        writer.setResolution(300);
        return PaintReport(table, &writer);
      },
      error);
}

// Painted into the suite's one writer: a failure leaves the earlier file as it was.
bool WriteWindowPdf(const QString& path, const std::function<bool(QPdfWriter& writer)>& paint, QString* error) {
  bool painted = true;
  const survey::Outcome outcome = platform::WritePdfFile(path, [&](QPdfWriter& writer) {
    painted = paint(writer);
    return painted;
  });
  if (outcome.ok()) return true;
  if (error)
    *error = painted ? QStringLiteral("无法写入“%1”：%2").arg(path, QString::fromStdString(outcome.error))
                     : QStringLiteral("无法生成 PDF“%1”。").arg(path);
  return false;
}

}  // namespace survey::alignment::window
