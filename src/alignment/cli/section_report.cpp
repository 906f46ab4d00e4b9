#include "alignment/cli/section_report.h"

#include <QString>
#include <optional>

#include "alignment/cli/program.h"
#include "alignment/cli/report.h"
#include "alignment/cli/section_setup.h"
#include "alignment/output_guard.h"
#include "alignment/section/subgrade_table.h"
#include "alignment/window/report.h"
#include "platform/qt_host.h"

namespace survey::alignment::cli {

int RunSectionsReport(const std::vector<std::string>& commandArgs, const std::string& pdf, const std::string& project) {
  // The section command's options and refusals; its stakes become the table's rows.
  std::optional<section::SubgradeTable> table;
  return PrintCommandRows(
      "section", commandArgs, pdf,
      [&](CommandContext& ctx) {
        const Route& route = ctx.GetRoute();
        const StakeOptions range = StakeRange(ctx);
        const RouteDesign& design = ctx.DesignWithProfile();
        const std::optional<section::SectionModel> model = SectionFromOptions(ctx);
        if (!model) Refuse("report --table sections 需要 --section。");
        table = section::MakeSubgradeTable(route, *model, design.profile ? &design.profile->profile : nullptr, range,
                                           ctx.format.decimals);
        return table->rows.size();
      },
      [&] { return window::SubgradeReportTable(*table, platform::ToQString(project)); });
}

}  // namespace survey::alignment::cli
