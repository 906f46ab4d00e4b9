#include <filesystem>

#include "alignment/cli/commands.h"
#include "alignment/landxml_writer.h"

namespace survey::alignment::cli {

Command ExportCommand() {
  Command c;
  c.name = "export";
  c.usage = "--out OUT.xml";
  c.description =
      "Writes the route as LandXML 1.2 (metres, radians): one Alignment with staStart, its StaEquations, every "
      "element with Start, End, Center and PI, and the Profile when one is loaded. The file is replaced only "
      "once it is completely written.";
  c.options = {{{"out"}, "--out FILE", "the LandXML file to write."}};
  c.example = "alignment export --jd route.csv --profile profile.csv --out route.xml";
  c.run = [](CommandContext& ctx) {
    if (!ctx.options.Has("out") || ctx.options.Value("out").empty()) Refuse("export 命令需要 --out 文件名。");
    const std::string out = ctx.options.Value("out");
    const RouteDesign& design = ctx.DesignWithProfile();
    const Route& route = design.route;
    LandXmlExport alignment;
    alignment.name = ctx.options.Has("landxml") && ctx.options.Has("name") ? ctx.options.Value("name")
                                                                           : std::filesystem::path(out).stem().string();
    alignment.startStation = route.Stations().StartStation();
    alignment.equations = route.Stations().Equations();
    alignment.elements = route.Elements();
    if (design.profile) {
      alignment.profile = &design.profile->profile;
      alignment.profileStations = design.profile->stations;
    }
    WriteFileAtomically(out, LandXmlText(alignment));
  };
  return c;
}

}  // namespace survey::alignment::cli
