// `report --table check --pdf`: the check command's rows printed by the window's painting of the
// deviation report (window/check_plot.h), the same pages the window prints.
#include "alignment/cli/check_report.h"

#include <iostream>
#include <memory>
#include <optional>
#include <sstream>

#include "alignment/cli/check.h"
#include "alignment/cli/program.h"
#include "alignment/output_guard.h"
#include "alignment/window/check_plot.h"
#include "alignment/window/report.h"
#include "platform/qt_host.h"

namespace survey::alignment::cli {

int RunCheckReport(const std::vector<std::string>& commandArgs, const std::string& pdf, const std::string& project) {
  CommandTable program = AlignmentCommandLine();
  std::shared_ptr<window::CheckReportData> report;
  std::size_t count = 0;
  program.SetRun("check", [&](CommandContext& ctx) {
    report = std::make_shared<window::CheckReportData>();
    report->decimals = ctx.format.decimals;
    report->run = ForEachCheckRow(
        ctx, [](const check::CheckRun&) {},
        [&](const check::CheckRow& row, const check::CheckRun& run) {
          // Rows beyond the report's cap are only counted.
          if (++count > kMaxReportRows) return;
          report->points.push_back(window::CheckPlotPointOf(row));
          report->rows.push_back(window::CheckReportCells(row, run.withIntended, ctx.format.decimals));
        });
  });
  std::vector<std::string> args = {"check"};
  args.insert(args.end(), commandArgs.begin(), commandArgs.end());
  std::ostringstream out, err;
  const int status = program.Run(args, out, err);
  std::cerr << err.str();
  if (status != 0) return 2;
  if (!report) {
    std::cerr << "alignment: report 命令打印表格，不显示帮助；选项见 alignment --help。\n";
    return 2;
  }
  if (count > kMaxReportRows) {
    std::cerr << "alignment: " << ReportTooLongText(count) << '\n';
    return 2;
  }
  QString error;
  if (!window::WriteReportPdf(window::CheckReportTable(std::move(report), platform::ToQString(project)),
                              platform::ToQString(pdf), &error)) {
    std::cerr << "alignment: " << error.toStdString() << '\n';
    return 2;
  }
  return 0;
}

}  // namespace survey::alignment::cli
