// `report --table check --pdf`: the check command's rows printed by the window's painting of the
// deviation report (window/check_plot.h), the same pages the window prints.
#include "alignment/cli/check_report.h"

#include <memory>

#include "alignment/cli/check.h"
#include "alignment/cli/report.h"
#include "alignment/output_guard.h"
#include "alignment/window/check_plot.h"
#include "alignment/window/report.h"
#include "platform/qt_host.h"

namespace survey::alignment::cli {

int RunCheckReport(const std::vector<std::string>& commandArgs, const std::string& pdf, const std::string& project) {
  std::shared_ptr<window::CheckReportData> report;
  return PrintCommandRows(
      "check", commandArgs, pdf,
      [&](CommandContext& ctx) {
        report = std::make_shared<window::CheckReportData>();
        report->decimals = ctx.format.decimals;
        std::size_t count = 0;
        report->run = ForEachCheckRow(
            ctx, [](const check::CheckRun&) {},
            [&](const check::CheckRow& row, const check::CheckRun& run) {
              // Rows beyond the report's cap are only counted.
              if (++count > kMaxReportRows) return;
              report->points.push_back(window::CheckPlotPointOf(row));
              report->rows.push_back(window::CheckReportCells(row, run.withIntended, ctx.format.decimals));
            });
        return count;
      },
      [&] { return window::CheckReportTable(std::move(report), platform::ToQString(project)); });
}

}  // namespace survey::alignment::cli
