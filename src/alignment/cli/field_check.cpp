// Slope staking on locate, and the check command. The design elevation of a measured point is
// the cross-section's surface at its offset, the side slope beyond the edge (with --slopes), or
// the profile's elevation on the design line where no --section is given.
#include "alignment/cli/field_check.h"

#include <cmath>
#include <memory>
#include <cstdint>
#include <functional>
#include <utility>

#include "alignment/alignment_error.h"
#include "alignment/check/locate_design.h"
#include "alignment/cli/commands.h"
#include "alignment/cli/csv_writer.h"
#include "alignment/cli/point_input.h"
#include "alignment/cli/section_setup.h"
#include "alignment/section/section_rows.h"
#include "alignment/section/slopes.h"
#include "alignment/table_reader.h"
#include "alignment/text_format.h"

namespace survey::alignment::cli {

namespace {

const Profile* ProfileOf(const RouteDesign& design) { return design.profile ? &design.profile->profile : nullptr; }

std::optional<section::SideSlopes> SlopesFromOptions(CommandContext& ctx) {
  if (!ctx.options.Has("slopes")) return std::nullopt;
  const std::string file = ctx.options.Value("slopes");
  return section::ReadSideSlopes(ctx.readFile(file), file);
}

// The design surface at a located point: the section's, or beyond the edge the side slope's
// (which slope depends on the point's z: below the edge fill, above it cut).
struct DesignAt {
  std::optional<double> surface;
  std::optional<section::SlopeStake> slope;
  std::optional<double> Elevation() const {
    if (surface) return surface;
    if (slope) return slope->slopeElevation;
    return std::nullopt;
  }
};

DesignAt DesignAtPoint(const section::SectionModel& model, const Profile* profile,
                       const std::optional<section::SideSlopes>& slopes, double chainage, double offset,
                       std::optional<double> z) {
  DesignAt d;
  const section::Side side = offset < 0 ? section::Side::Left : section::Side::Right;
  // A side the template lacks has no surface; its refusal is for side stakes asked for.
  if (offset != 0 && model.Template().Parts(side).empty()) return d;
  const section::SectionAtStation at = section::SectionAt(model, profile, chainage);
  d.surface = at.ElevationAt(offset);
  if (!d.surface && slopes && z && at.known) d.slope = section::StakeSlope(at.section, *slopes, offset, *z);
  return d;
}

std::optional<double> Minus(const std::optional<double>& a, const std::optional<double>& b) {
  return a && b ? std::optional<double>(*a - *b) : std::nullopt;
}

}  // namespace

void RunLocateOnSection(CommandContext& ctx) {
  if (ctx.options.Has("out")) Refuse("--out 不能与 --section 同用；请把输出重定向到文件。");
  ctx.Design();  // the route's own refusals come first
  const bool single = ctx.options.Has("x") || ctx.options.Has("y");
  if (single == ctx.options.Has("points")) Refuse("locate 命令需要 --x 和 --y，或 --points（二者取一）。");
  if (single && !(ctx.options.Has("x") && ctx.options.Has("y"))) Refuse("locate 命令需要 --x 和 --y 两者。");
  const std::optional<section::SectionModel> model = SectionFromOptions(ctx);
  const std::optional<section::SideSlopes> slopes = SlopesFromOptions(ctx);
  const RouteDesign& design = ctx.DesignWithProfile();
  if (!design.profile) Refuse("locate 的 --section 需要纵断面（--profile 或带纵断面的 LandXML）。");
  PointsRead read;
  if (single) {
    read.points.push_back({"", *ctx.Number("x"), *ctx.Number("y"), std::nullopt});
  } else {
    read = ReadPoints(ctx, true);
  }
  if (slopes && !read.withZ) Refuse("边坡放样（--slopes）需要点的高程：点表应有 z（高程）列。");
  std::vector<std::string> keys = layout::LocateKeys(true, read.withZ);
  for (std::string& k : layout::PointDesignKeys(read.withZ, slopes.has_value())) keys.push_back(std::move(k));
  CsvWriter csv(ctx.out, ctx.format);
  csv.Keys(keys);
  check::ForEachLocateOnSection(design, read.points, *model, slopes ? &*slopes : nullptr,
                                [&](const LocateRow& row, const PointDesign& d) {
                                  layout::Cells(csv, row, true, read.withZ);
                                  layout::Cells(csv, d, read.withZ, slopes.has_value());
                                  csv.EndRow();
                                });
  csv.Flush();
}

namespace {

// The points of a check: name,x,y,z with optional station,offset (the position each point was
// meant to mark), or a CASS / GSI-16 file; every point needs a z and a name of its own.
struct CheckPoints {
  std::vector<SurveyedPoint> points;
  std::vector<int> lines;
  std::vector<double> station, offset;  // with intended positions; NaN where a row gives none
  std::shared_ptr<const void> keep;
};

CheckPoints ReadCheckPoints(CommandContext& ctx) {
  if (!ctx.options.Has("points")) Refuse("check 命令需要 --points（点名,X,Y,Z 的实测点表）。");
  CheckPoints read;
  std::string bytes = ctx.readFile(ctx.options.Value("points"));
  if (std::shared_ptr<const exchange::PointFile> field = ReadFieldPoints(ctx, bytes)) {
    read.points.reserve(field->points.size());
    for (const exchange::PointRecord& p : field->points) {
      if (!p.z) Refuse(LinePrefix(p.line) + "点“" + p.name + "”没有高程：偏差报表需要每个点的高程。");
      read.points.push_back({p.name, p.x, p.y, p.z});
      read.lines.push_back(p.line);
    }
    read.keep = std::move(field);
  } else {
    static const std::vector<ColumnHeading> columns = {
        {"name", {"name", "点名"}}, {"x", {"x", "X"}}, {"y", {"y", "Y"}}, {"z", {"z", "Z", "高程"}},
        {"station", {"station", "桩号"}, false}, {"offset", {"offset", "偏距"}, false}};
    auto table = std::make_shared<const Table>(ReadTable(std::move(bytes), columns, {kMaxPointRows, "点表"}));
    if (table->HasColumn(4) != table->HasColumn(5)) Refuse("点表的设计位置需要 station 和 offset 两列（桩号,偏距）。");
    const bool intended = table->HasColumn(4);
    read.points.reserve(table->RowCount());
    read.lines.reserve(table->RowCount());
    if (intended) {
      read.station.reserve(table->RowCount());
      read.offset.reserve(table->RowCount());
    }
    for (std::size_t i = 0; i < table->RowCount(); ++i) {
      const int line = table->LineNumber(i);
      SurveyedPoint p{table->Cell(i, 0), table->Number(i, 1), table->Number(i, 2), table->Number(i, 3)};
      if (p.name.empty()) Refuse(LinePrefix(line) + "点名 不能为空。");
      read.points.push_back(p);
      read.lines.push_back(line);
      if (!intended) continue;
      const bool hasStation = !table->Cell(i, 4).empty(), hasOffset = !table->Cell(i, 5).empty();
      if (hasStation != hasOffset) Refuse(LinePrefix(line) + "设计位置需要桩号和偏距两者（或都空）。");
      read.station.push_back(hasStation ? table->Station(i, 4) : std::nan(""));
      read.offset.push_back(hasOffset ? table->Number(i, 5) : std::nan(""));
    }
    read.keep = std::move(table);
  }
  // Duplicate names by open addressing over the rows: a node per name would cost more than
  // locating the points.
  std::size_t slots = 2;
  while (slots < read.points.size() * 2) slots *= 2;
  constexpr std::uint32_t kEmpty = UINT32_MAX;
  std::vector<std::uint32_t> table(slots, kEmpty);
  const std::hash<std::string_view> hash;
  for (std::size_t i = 0; i < read.points.size(); ++i) {
    const std::string_view name = read.points[i].name;
    for (std::size_t at = hash(name) & (slots - 1);; at = (at + 1) & (slots - 1)) {
      if (table[at] == kEmpty) {
        table[at] = static_cast<std::uint32_t>(i);
        break;
      }
      if (read.points[table[at]].name == name) {
        Refuse(LinePrefix(read.lines[i]) + "点名“" + std::string(name) + "”与第 " + std::to_string(read.lines[table[at]]) +
               " 行重复。");
      }
    }
  }
  return read;
}

}  // namespace

OptionHelp SlopesOption() {
  return {{"slopes"},
          "--slopes FILE",
          "side slopes side,kind,ratio (侧,类型,坡率): for each side (left/right, 左/右) a fill and a cut slope "
          "(fill/cut, 填/挖) as 1:m, m > 0, from the outermost edge of the section. With --section."};
}

Command WithSlopesLocate(Command locate) {
  locate.options.push_back(SlopesOption());
  locate.run = [run = locate.run](CommandContext& ctx) {
    if (!ctx.options.Has("section") && ctx.options.Has("slopes")) Refuse("--slopes 只与 --section 同用。");
    run(ctx);
  };
  return locate;
}

const char* CheckResultKey(CheckResult result) {
  switch (result) {
    case CheckResult::Pass: return "pass";
    case CheckResult::Fail: return "fail";
    case CheckResult::Outside: return "outside";
  }
  return "";
}

CheckRun ForEachCheckRow(CommandContext& ctx, const std::function<void(const CheckRun&)>& start,
                         const std::function<void(const CheckRow&, const CheckRun&)>& sink) {
  CheckRun run;
  if (ctx.options.Has("tolerance-z")) {
    const std::optional<check::ZTolerance> t = check::ParseZTolerance(ctx.options.Value("tolerance-z"));
    if (!t) {
      Refuse("--tolerance-z 应为高程限差（米），如 0.01 或 +0.010/-0.015（上限/下限）：" +
             Quote(ctx.options.Value("tolerance-z")) + "。");
    }
    run.toleranceZ = *t;
  }
  if (ctx.options.Has("tolerance-xy")) {
    const std::optional<double> t = check::ParseXyTolerance(ctx.options.Value("tolerance-xy"));
    if (!t) Refuse("--tolerance-xy 应为不小于 0 的平面限差（米），如 0.05：" + Quote(ctx.options.Value("tolerance-xy")) + "。");
    run.toleranceXy = *t;
  }
  ctx.Design();  // the route's own refusals come first
  if (ctx.options.Has("slopes") && !ctx.options.Has("section")) Refuse("--slopes 只与 --section 同用。");
  const std::optional<section::SectionModel> model = SectionFromOptions(ctx);
  const std::optional<section::SideSlopes> slopes = SlopesFromOptions(ctx);
  const RouteDesign& design = ctx.DesignWithProfile();
  if (!design.profile) Refuse("check 命令需要纵断面（--profile 或带纵断面的 LandXML）：偏差是实测高程减设计高程。");
  const Profile* profile = ProfileOf(design);
  const CheckPoints read = ReadCheckPoints(ctx);
  run.withIntended = !read.station.empty();
  start(run);
  const Route& route = design.route;
  std::size_t next = 0;
  CheckRow out;
  ForEachLocateRow(design, read.points, true, [&](const LocateRow& row) {
    const std::size_t i = next++;
    out = CheckRow{};
    out.name = row.name;
    out.x = row.x;
    out.y = row.y;
    out.z = *read.points[i].z;
    out.inside = row.inside;
    if (row.inside) {
      out.station = row.station;
      out.offset = row.offset;
      if (model) {
        out.designZ = DesignAtPoint(*model, profile, slopes, row.chainage, row.offset, out.z).Elevation();
      } else if (row.elevation) {
        out.designZ = row.elevation->elevation;
      }
      out.dz = Minus(out.z, out.designZ);
    }
    if (run.withIntended && !std::isnan(read.station[i])) {
      double chainage = 0;
      try {
        chainage = route.ChainageAtStation(read.station[i]);
      } catch (const AlignmentError& e) {
        Refuse(LinePrefix(read.lines[i]) + e.what());
      }
      const Pose meant = route.PointAt(chainage, read.offset[i]);
      const check::Deviation d = check::DeviationFrom(meant.x, meant.y, meant.azimuth, out.x, out.y);
      out.along = d.along;
      out.across = d.across;
      out.distance = d.distance;
    }
    if (!out.dz) {
      out.result = CheckResult::Outside;
    } else {
      const bool pass = check::WithinZ(*out.dz, run.toleranceZ) &&
                        (!out.distance || check::WithinXy(*out.distance, run.toleranceXy));
      out.result = pass ? CheckResult::Pass : CheckResult::Fail;
    }
    run.summary.Add(i, out.result == CheckResult::Pass, out.dz, out.distance);
    if (out.dz && run.summary.maxDzRow == i) run.maxDzName = std::string(out.name);
    if (out.distance && run.summary.maxXyRow == i) run.maxXyName = std::string(out.name);
    sink(out, run);
  });
  return run;
}

std::string CheckSummaryText(const CheckRun& run, int decimals) {
  const check::CheckSummary& s = run.summary;
  std::string text = "共 " + std::to_string(s.count) + " 点，合格 " + std::to_string(s.passed) + " 点，不合格 " +
                     std::to_string(s.failed) + " 点";
  const auto name = [](const std::string& n) { return "（" + n + "）"; };
  if (s.maxDz) {
    text += "；最大高程偏差 " + std::string(*s.maxDz > 0 ? "+" : "") + FixedText(*s.maxDz, decimals) + " m" + name(run.maxDzName);
  }
  if (s.maxXy) text += "；最大平面偏差 " + FixedText(*s.maxXy, decimals) + " m" + name(run.maxXyName);
  return text + "。";
}

Command CheckCommand() {
  Command c;
  c.name = "check";
  c.usage = "--points FILE [--tolerance-xy T] [--tolerance-z T]";
  c.description =
      "The deviation report (偏差报表) of measured points against the design: name,x,y,z,station,offset,design_z,"
      "dz,fill_cut[,d_along,d_across,d_xy],result. dz is measured − design, fill_cut design − measured (填挖高度, "
      "填正挖负); the design elevation is the profile's on the design line, or with --section the surface at the "
      "point's offset (with --slopes the side slope beyond the edge). result is pass, fail or outside (off the "
      "route or beyond the surface); a last line starting with # sums up.";
  c.options = {{{"points"},
                "--points FILE",
                "points name,x,y,z (点名,X,Y,Z), optionally station,offset (桩号,偏距) of the position each point "
                "was meant to mark; or a CASS list or GSI-16 blocks with heights. Names must differ."},
               PointsFormatOption(),
               {{"tolerance-xy"}, "--tolerance-xy T", "horizontal tolerance in m (default 0.05); a limit itself passes."},
               {{"tolerance-z"}, "--tolerance-z T",
                "height tolerance in m: 0.01 (±, the default) or +0.010/-0.015 (upper/lower limits of dz)."},
               SlopesOption()};
  for (OptionHelp& o : SectionOptionHelp()) c.options.push_back(std::move(o));
  c.example = "alignment check --jd route.csv --profile profile.csv --points asbuilt.csv --tolerance-z +0.010/-0.015";
  c.run = [](CommandContext& ctx) {
    CsvWriter csv(ctx.out, ctx.format);
    const CheckRun run = ForEachCheckRow(
        ctx,
        [&](const CheckRun& started) {
          std::vector<std::string> keys = {"name", "x", "y", "z", "station", "offset", "design_z", "dz", "fill_cut"};
          if (started.withIntended) {
            for (const char* k : {"d_along", "d_across", "d_xy"}) keys.push_back(k);
          }
          keys.push_back("result");
          csv.Keys(keys);
        },
        [&](const CheckRow& row, const CheckRun& started) {
          csv.Text(row.name);
          csv.Number(row.x);
          csv.Number(row.y);
          csv.Number(row.z);
          if (row.inside) {
            csv.Number(row.station);
            csv.Number(row.offset);
          } else {
            csv.Empty();
            csv.Empty();
          }
          csv.Number(row.designZ);
          csv.Number(row.dz);
          csv.Number(row.dz ? std::optional<double>(-*row.dz) : std::nullopt);
          if (started.withIntended) {
            csv.Number(row.along);
            csv.Number(row.across);
            csv.Number(row.distance);
          }
          csv.Text(CheckResultKey(row.result));
          csv.EndRow();
        });
    csv.Flush();
    ctx.out << "# " << CheckSummaryText(run, ctx.format.decimals) << '\n';
  };
  return c;
}

}  // namespace survey::alignment::cli
