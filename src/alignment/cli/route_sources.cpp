// The route sources (--jd, --elements, --landxml) and the options every command takes.
#include <string>
#include <utility>
#include <vector>

#include "alignment/cli/commands.h"
#include "alignment/table_reader.h"

namespace survey::alignment::cli {

namespace {

std::vector<StationEquation> Equations(const CommandContext& ctx) {
  std::vector<StationEquation> equations;
  for (const std::string& text : ctx.options.Values("equation")) {
    const std::size_t eq = text.find('=');
    if (eq == std::string::npos) Refuse("--equation 应写成 BACK=AHEAD（如 1200=1180.5）：" + Quote(text) + "。");
    const double back = ctx.StationValue("equation", text.substr(0, eq));
    const double ahead = ctx.StationValue("equation", text.substr(eq + 1));
    equations.push_back({back, ahead});
  }
  return equations;
}

double StartStation(const CommandContext& ctx) { return ctx.Station("start").value_or(0); }

}  // namespace

// The equations are read before --start: a line wrong in both has always named the equation.
RouteSource JdSource() {
  RouteSource source;
  source.trigger = "jd";
  source.options = {{{"jd"},
                     "--jd FILE",
                     "JD table name,x,y,r,ls1,ls2 (点名,X,Y,R,Ls1,Ls2): first row the start point QD, last row "
                     "the end point ZD, rows between the JDs with radius R and transitions Ls1 (entry) and Ls2 "
                     "(exit; blank = Ls1; 0 = none, a plain circle)."}};
  source.build = [](CommandContext& ctx) {
    const std::vector<JdInput> points = ReadJdTable(ctx.readFile(ctx.options.Value("jd")));
    std::vector<StationEquation> equations = Equations(ctx);
    return RouteFromJd(points, StartStation(ctx), std::move(equations));
  };
  return source;
}

RouteSource ElementSource() {
  RouteSource source;
  source.trigger = "elements";
  source.options = {
      {{"elements"},
       "--elements FILE",
       "element table type,length,r_start,r_end,turn (线元,长度,起点半径,终点半径,转向): type line, arc "
       "or spiral (直线, 圆曲线, 缓和曲线); a radius blank, 0 or inf is a straight end; turn left or right "
       "(左, 右). Needs the three start options below."},
      {{"start-x"}, "--start-x X", "X (north) of the route's start, with --elements."},
      {{"start-y"}, "--start-y Y", "Y (east) of the route's start, with --elements."},
      {{"start-azimuth"}, "--start-azimuth A", "azimuth of the first element at the start, with --elements."}};
  source.build = [](CommandContext& ctx) {
    for (const char* name : {"start-x", "start-y", "start-azimuth"}) {
      if (!ctx.options.Has(name)) Refuse(std::string("--elements 需要 --") + name + "。");
    }
    const std::vector<ElementShape> shapes = ReadElementTable(ctx.readFile(ctx.options.Value("elements")));
    const Pose start{*ctx.Number("start-x"), *ctx.Number("start-y"), NormalizeAzimuth(*ctx.Angle("start-azimuth"))};
    std::vector<StationEquation> equations = Equations(ctx);
    return RouteFromElements(start, StartStation(ctx), shapes, std::move(equations));
  };
  return source;
}

RouteSource LandXmlSource() {
  RouteSource source;
  source.trigger = "landxml";
  source.options = {
      {{"landxml"},
       "--landxml FILE",
       "LandXML 1.2 file: the alignment's Line, Curve and Spiral (clothoid) elements, its staStart and "
       "StaEquations, and its Profile (used when no --profile is given). The chain is rebuilt from the first "
       "element's Start; an element whose stored End is more than 1 mm off is refused."},
      {{"name"}, "--name NAME", "the alignment of that name (default: the first one), with --landxml."},
      {{"trust-points", false},
       "--trust-points",
       "each element starts at its own stored Start instead of the previous element's end, with --landxml."}};
  source.build = [](CommandContext& ctx) {
    LandXmlImportOptions options;
    options.name = ctx.options.Value("name");
    options.trustPoints = ctx.options.Has("trust-points");
    return RouteFromLandXml(ctx.readFile(ctx.options.Value("landxml")), options);
  };
  return source;
}

std::vector<OptionHelp> CommonOptions() {
  return {{{"start"}, "--start S", "station of the route's start (default 0); K notation K12+345.678 or metres."},
          {{"equation", true, true},
           "--equation BACK=AHEAD",
           "station equation: the station BACK is read AHEAD from there on; repeatable, in order along the "
           "route. Where AHEAD < BACK a station occurring twice means the position after the equation."},
          {{"decimals"}, "--decimals N", "places of lengths, stations and coordinates (0 to 9, default 3)."},
          {{"degrees", false},
           "--degrees",
           "angles typed and printed in decimal degrees (8 places) instead of D.MMSS (123.453012 = "
           "123°45′30.12″)."},
          {{"help", false}, "--help", "this text."},
          {{"profile"},
           "--profile FILE",
           "vertical profile station,elevation,r (桩号,高程,竖曲线半径): grade change points in "
           "station order, r the vertical curve's radius (blank or 0: none). Adds "
           "grade_elevation,elevation,grade (percent) to stakes, point and locate."}};
}

}  // namespace survey::alignment::cli
