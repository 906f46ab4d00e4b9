#include "alignment/cli/commands.h"
#include "alignment/cli/csv_writer.h"

namespace survey::alignment::cli {

Command CurvesCommand() {
  Command c;
  c.name = "curves";
  c.description =
      "One row per JD: name,x,y,turn,alpha,r,ls1,ls2,t1,t2,l,e,j,zh,hy,qz,yh,hz,straight_after. zh and hz hold "
      "the curve's start and end (ZY and YZ on a side without transition, where hy or yh is empty); "
      "straight_after is the straight to the next curve, empty on the last JD. On a route of elements "
      "(--elements, --landxml) the JDs are read back from the elements: each group of a transition, an arc and "
      "a transition between straights is the JD where its tangents meet, a straight meeting a straight at an "
      "angle a JD without curve; a group that is no JD (an egg transition, a compound curve, an angle point "
      "inside it) is listed one row per element (name E<n>, its start point, turn, start radius, length l and "
      "the stations of its ends in zh and hz), and two more columns give kind (jd, line, arc, spiral) and r_end.";
  c.example = "alignment curves --jd route.csv --start K10+000";
  c.run = [](CommandContext& ctx) {
    const Route& route = ctx.GetRoute();
    CsvWriter csv(ctx.out, ctx.format);
    if (!route.Curves().empty()) {
      const std::vector<CurveTableRow> rows = CurveRows(route);
      csv.CurveHeader();
      for (const CurveTableRow& row : rows) csv.Row(row);
    } else {
      const std::vector<ElementCurveRow> rows = ElementCurveRows(route);
      csv.CurveHeader(true);
      for (const ElementCurveRow& row : rows) csv.Row(row);
    }
    csv.Flush();
  };
  return c;
}

}  // namespace survey::alignment::cli
