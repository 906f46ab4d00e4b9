#include "alignment/cli/commands.h"
#include "alignment/cli/csv_writer.h"

namespace survey::alignment::cli {

const Route& CurvesRoute(CommandContext& ctx) { return ctx.GetRoute(); }

std::vector<CurveTableRow> CurveOrJdRows(const Route& route) {
  if (!route.Curves().empty()) return CurveRows(route);
  // A route of elements: the JDs read back from its element groups.
  std::vector<CurveTableRow> rows;
  for (ElementCurveRow& row : ElementCurveRows(route)) {
    if (row.jd) rows.push_back(std::move(*row.jd));
  }
  return rows;
}

Command CurvesCommand() {
  Command c;
  c.name = "curves";
  c.description =
      "The curve table (直线、曲线及转角表), one row per point: QD, each JD, ZD. Columns: "
      "name,x,y,turn,alpha,r,ls1,ls2,t1,t2,l,e,j,zh,hy,qz,yh,hz,straight_after,jd_station,jd_distance,azimuth. zh and "
      "hz hold the curve's start and end (ZY and YZ on a side without transition, where hy or yh is empty); "
      "jd_station is the JD's station, ZH + T1. straight_after, jd_distance and azimuth describe the leg to the next "
      "point (QD to JD1, each JD to the next, the last JD to ZD): the straight from HZ to the next ZH (from QD, to ZD), "
      "the distance between the two points and the azimuth from one to the other; empty on ZD. The QD and ZD rows "
      "give only the name, the point, jd_station (their station) and the leg. On a route of elements "
      "(--elements, --landxml) the JDs are read back from the elements: each group of a transition, an arc and "
      "a transition between straights is the JD where its tangents meet, a straight meeting a straight at an "
      "angle a JD without curve; a group that is no JD (an egg transition, a compound curve, an angle point "
      "inside it) is listed one row per element (name E<n>, its start point, turn, start radius, length l and "
      "the stations of its ends in zh and hz), the leg is given only between neighbouring points of the table, "
      "and two more columns give kind (qd, jd, zd, line, arc, spiral) and r_end.";
  c.example = "alignment curves --jd route.csv --start K10+000";
  c.run = [](CommandContext& ctx) {
    const Route& route = CurvesRoute(ctx);
    CsvWriter csv(ctx.out, ctx.format);
    // A JD table keeps its own columns even without a curve (a straight from QD to ZD).
    if (ctx.options.Has("jd") || !route.Curves().empty()) {
      csv.Keys(layout::CurveKeys());
      for (const CurveTableRow& row : CurveRows(route)) csv.Row(row);
    } else {
      csv.Keys(layout::CurveKeys(true));
      for (const ElementCurveRow& row : ElementCurveRows(route)) csv.Row(row);
    }
    csv.Flush();
  };
  return c;
}

}  // namespace survey::alignment::cli
