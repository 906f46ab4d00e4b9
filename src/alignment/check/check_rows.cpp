#include "alignment/check/check_rows.h"

#include <cmath>
#include <cstdint>

#include "alignment/alignment_error.h"
#include "alignment/section/section_rows.h"
#include "alignment/table_reader.h"
#include "alignment/text_format.h"

namespace survey::alignment::check {

namespace {

std::optional<double> Minus(const std::optional<double>& a, const std::optional<double>& b) {
  return a && b ? std::optional<double>(*a - *b) : std::nullopt;
}

std::string LineText(int line) { return line > 0 ? LinePrefix(line) : std::string(); }

}  // namespace

DesignAt DesignAtPoint(const section::SectionModel& model, const Profile* profile, const section::SideSlopes* slopes,
                       double chainage, double offset, std::optional<double> z) {
  DesignAt d;
  const section::Side side = offset < 0 ? section::Side::Left : section::Side::Right;
  // A side the template lacks has no surface; its refusal is for side stakes asked for.
  if (offset != 0 && model.Template().Parts(side).empty()) return d;
  const section::SectionAtStation at = section::SectionAt(model, profile, chainage);
  d.surface = at.ElevationAt(offset);
  if (!d.surface && slopes && z && at.known) d.slope = section::StakeSlope(at.section, *slopes, offset, *z);
  return d;
}

void RefuseDuplicateNames(const CheckPoints& read) {
  // Open addressing over the rows: a node per name would cost more than locating the points.
  std::size_t slots = 2;
  while (slots < read.points.size() * 2) slots *= 2;
  constexpr std::uint32_t kEmpty = UINT32_MAX;
  std::vector<std::uint32_t> table(slots, kEmpty);
  const std::hash<std::string_view> hash;
  const auto line = [&](std::size_t i) { return i < read.lines.size() ? read.lines[i] : 0; };
  for (std::size_t i = 0; i < read.points.size(); ++i) {
    const std::string_view name = read.points[i].name;
    for (std::size_t at = hash(name) & (slots - 1);; at = (at + 1) & (slots - 1)) {
      if (table[at] == kEmpty) {
        table[at] = static_cast<std::uint32_t>(i);
        break;
      }
      if (read.points[table[at]].name == name) {
        throw AlignmentError(LineText(line(i)) + "点名“" + std::string(name) + "”与第 " +
                                 std::to_string(line(table[at])) + " 行重复。",
                             line(i));
      }
    }
  }
}

CheckRun ForEachCheckRow(const CheckInputs& in, const std::function<void(const CheckRun&)>& start,
                         const std::function<void(const CheckRow&, const CheckRun&)>& sink) {
  const RouteDesign& design = *in.design;
  if (!design.profile) {
    throw AlignmentError("check 命令需要纵断面（--profile 或带纵断面的 LandXML）：偏差是实测高程减设计高程。");
  }
  const CheckPoints& read = *in.points;
  const Profile* profile = &design.profile->profile;
  CheckRun run;
  run.toleranceZ = in.toleranceZ;
  run.toleranceXy = in.toleranceXy;
  run.withIntended = !read.station.empty();
  RefuseDuplicateNames(read);
  if (start) start(run);
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
      if (in.section) {
        out.designZ = DesignAtPoint(*in.section, profile, in.slopes, row.chainage, row.offset, out.z).Elevation();
      } else if (row.elevation) {
        out.designZ = row.elevation->elevation;
      }
      out.dz = Minus(out.z, out.designZ);
    }
    if (run.withIntended && !std::isnan(read.station[i])) {
      const int line = i < read.lines.size() ? read.lines[i] : 0;
      double chainage = 0;
      try {
        chainage = route.ChainageAtStation(read.station[i]);
      } catch (const AlignmentError& e) {
        throw AlignmentError(LineText(line) + e.what(), line);
      }
      const Pose meant = route.PointAt(chainage, read.offset[i]);
      const Deviation d = DeviationFrom(meant.x, meant.y, meant.azimuth, out.x, out.y);
      out.along = d.along;
      out.across = d.across;
      out.distance = d.distance;
    }
    if (!out.dz) {
      out.result = CheckResult::Outside;
    } else {
      const bool pass = WithinZ(*out.dz, run.toleranceZ) && (!out.distance || WithinXy(*out.distance, run.toleranceXy));
      out.result = pass ? CheckResult::Pass : CheckResult::Fail;
    }
    run.summary.Add(i, out.result == CheckResult::Pass, out.dz, out.distance);
    if (out.dz && run.summary.maxDzRow == i) run.maxDzName = std::string(out.name);
    if (out.distance && run.summary.maxXyRow == i) run.maxXyName = std::string(out.name);
    sink(out, run);
  });
  return run;
}

std::vector<std::string> CheckKeys(bool withIntended) {
  std::vector<std::string> keys = {"name", "x", "y", "z", "station", "offset", "design_z", "dz", "fill_cut"};
  if (withIntended) {
    for (const char* k : {"d_along", "d_across", "d_xy"}) keys.push_back(k);
  }
  keys.push_back("result");
  return keys;
}

std::vector<std::string> CheckCells(const CheckRow& row, bool withIntended, int decimals) {
  std::vector<std::string> cells;
  cells.reserve(13);
  const auto number = [&](const std::optional<double>& v) { cells.push_back(v ? FixedText(*v, decimals) : std::string()); };
  cells.emplace_back(row.name);
  number(row.x);
  number(row.y);
  number(row.z);
  number(row.inside ? std::optional<double>(row.station) : std::nullopt);
  number(row.inside ? std::optional<double>(row.offset) : std::nullopt);
  number(row.designZ);
  number(row.dz);
  number(row.dz ? std::optional<double>(-*row.dz) : std::nullopt);
  if (withIntended) {
    number(row.along);
    number(row.across);
    number(row.distance);
  }
  cells.emplace_back(CheckResultKey(row.result));
  return cells;
}

std::vector<std::size_t> FailuresFirst(const std::vector<CheckRow>& rows) {
  std::vector<std::size_t> order;
  order.reserve(rows.size());
  for (const CheckResult group : {CheckResult::Fail, CheckResult::Pass, CheckResult::Outside}) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (rows[i].result == group) order.push_back(i);
    }
  }
  return order;
}

const char* CheckResultKey(CheckResult result) {
  switch (result) {
    case CheckResult::Pass: return "pass";
    case CheckResult::Fail: return "fail";
    case CheckResult::Outside: return "outside";
  }
  return "";
}

std::string CheckSummaryText(const CheckRun& run, int decimals) {
  const CheckSummary& s = run.summary;
  std::string text = "共 " + std::to_string(s.count) + " 点，合格 " + std::to_string(s.passed) + " 点，不合格 " +
                     std::to_string(s.failed) + " 点";
  const auto name = [](const std::string& n) { return "（" + n + "）"; };
  if (s.maxDz) {
    text += "；最大高程偏差 " + std::string(*s.maxDz > 0 ? "+" : "") + FixedText(*s.maxDz, decimals) + " m" + name(run.maxDzName);
  }
  if (s.maxXy) text += "；最大平面偏差 " + FixedText(*s.maxXy, decimals) + " m" + name(run.maxXyName);
  return text + "。";
}

}  // namespace survey::alignment::check
