#include "alignment/cli/commands.h"
#include "alignment/cli/csv_writer.h"

namespace survey::alignment::cli {

Command ProfileCommand() {
  Command c;
  c.name = "profile";
  c.description =
      "One row per grade change point: name,station,elevation,r,t,e,grade_in,grade_out,curve_start,curve_end "
      "(grades in percent; r, t, e and the curve's stations empty where there is no vertical curve). Needs "
      "--profile or a LandXML file with a profile.";
  c.example = "alignment profile --jd route.csv --profile profile.csv";
  c.run = [](CommandContext& ctx) {
    const RouteDesign& design = ctx.DesignWithProfile();
    if (!design.profile) Refuse("profile 命令需要纵断面：--profile 文件，或带纵断面的 LandXML 文件。");
    CsvWriter csv(ctx.out, ctx.format);
    csv.ProfileHeader();
    for (const ProfileTableLine& row : ProfileLines(design.route, *design.profile)) csv.Row(row);
    csv.Flush();
  };
  return c;
}

}  // namespace survey::alignment::cli
