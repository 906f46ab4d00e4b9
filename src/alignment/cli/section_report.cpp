#include "alignment/cli/section_report.h"

#include <QString>
#include <iostream>
#include <optional>
#include <sstream>

#include "alignment/cli/program.h"
#include "alignment/cli/section_setup.h"
#include "alignment/output_guard.h"
#include "alignment/section/subgrade_table.h"
#include "alignment/window/report.h"
#include "platform/qt_host.h"

namespace survey::alignment::cli {

int RunSectionsReport(const std::vector<std::string>& commandArgs, const std::string& pdf, const std::string& project) {
  // The section command's options and refusals; its stakes become the table's rows.
  CommandTable program = AlignmentCommandLine();
  std::optional<section::SubgradeTable> table;
  program.SetRun("section", [&](CommandContext& ctx) {
    const Route& route = ctx.GetRoute();
    const StakeOptions range = StakeRange(ctx);
    const RouteDesign& design = ctx.DesignWithProfile();
    const std::optional<section::SectionModel> model = SectionFromOptions(ctx);
    if (!model) Refuse("report --table sections 需要 --section。");
    table = section::MakeSubgradeTable(route, *model, design.profile ? &design.profile->profile : nullptr, range,
                                       ctx.format.decimals);
  });
  std::vector<std::string> args = {"section"};
  args.insert(args.end(), commandArgs.begin(), commandArgs.end());
  std::ostringstream out, err;
  const int status = program.Run(args, out, err);
  std::cerr << err.str();
  if (status != 0) return 2;
  if (!table) {
    std::cerr << "alignment: report 命令打印表格，不显示帮助；选项见 alignment --help。\n";
    return 2;
  }
  if (table->rows.size() > kMaxReportRows) {
    std::cerr << "alignment: " << ReportTooLongText(table->rows.size()) << '\n';
    return 2;
  }
  const window::ReportTable report = window::SubgradeReportTable(*table, platform::ToQString(project));
  QString error;
  if (!window::WriteReportPdf(report, platform::ToQString(pdf), &error)) {
    std::cerr << "alignment: " << error.toStdString() << '\n';
    return 2;
  }
  return 0;
}

}  // namespace survey::alignment::cli
