#include <algorithm>
#include <vector>

#include "alignment/cli/commands.h"
#include "alignment/cli/csv_writer.h"

namespace survey::alignment::cli {

Command ProfileCommand() {
  Command c;
  c.name = "profile";
  c.description =
      "One row per grade change point: name,station,elevation,r,t,e,grade_in,grade_out,curve_start,curve_end "
      "(grades in percent; r, t, e and the curve's stations empty where there is no vertical curve); with an "
      "asymmetric curve also length_in,length_out, the lengths of its halves (its r and t empty). Needs "
      "--profile or a LandXML file with a profile.";
  c.example = "alignment profile --jd route.csv --profile profile.csv";
  c.run = [](CommandContext& ctx) {
    const RouteDesign& design = ctx.DesignWithProfile();
    if (!design.profile) Refuse("profile 命令需要纵断面：--profile 文件，或带纵断面的 LandXML 文件。");
    const std::vector<ProfileTableLine> rows = ProfileLines(design.route, *design.profile);
    const bool asymmetric = std::any_of(rows.begin(), rows.end(), [](const ProfileTableLine& r) { return r.lengthIn.has_value(); });
    CsvWriter csv(ctx.out, ctx.format);
    csv.Keys(layout::ProfileKeys(asymmetric));
    for (const ProfileTableLine& row : rows) csv.Row(row, asymmetric);
    csv.Flush();
  };
  return c;
}

}  // namespace survey::alignment::cli
