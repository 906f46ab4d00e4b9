// The window's check run. Refusals name what the surveyor sees: the field, or the row of the
// points table (反算点表第 N 行), as the other runs of the form do.
#include "alignment/window/check_form.h"

#include <cmath>
#include <memory>
#include <optional>

#include "alignment/alignment_error.h"
#include "alignment/table_reader.h"

namespace survey::alignment::window {

namespace {

struct Cancelled {};

// The lines the core's refusals name are the grid's rows as the surveyor sees them (from 1),
// so that "与第 N 行重复" points at a row of the grid too; the table's title goes in front.
constexpr const char* kPointsTitle = "反算点表";
int LineOfRow(std::size_t row) { return static_cast<int>(row) + 1; }
std::string RowText(std::size_t row) { return LinePrefix(LineOfRow(row)); }

// A cell the grid has already checked (its red cells) is read again here, so that a run never
// takes a text the grid would refuse.
double CellNumber(const std::string& text, std::size_t row, const char* title) {
  const std::optional<double> v = ReadNumber(TrimmedCell(text));
  if (!v || std::fabs(*v) > kMaxMagnitude) {
    throw AlignmentError(RowText(row) + title + "：“" + text + "”不是数字。", LineOfRow(row));
  }
  return *v;
}

}  // namespace

CheckTolerances CheckTolerancesFromFields(const AlignmentForm& form) {
  CheckTolerances t;
  const std::string xy = TrimmedCell(form.toleranceXyText), z = TrimmedCell(form.toleranceZText);
  const std::optional<double> parsedXy = check::ParseXyTolerance(xy);
  if (!parsedXy) {
    throw AlignmentError("平面限差：" + (xy.empty() ? std::string("不能为空") : "“" + form.toleranceXyText + "”不是") +
                         "，应为不小于 0 的限差（米），如 0.05。");
  }
  const std::optional<check::ZTolerance> parsedZ = check::ParseZTolerance(z);
  if (!parsedZ) {
    throw AlignmentError("高程限差：" + (z.empty() ? std::string("不能为空") : "“" + form.toleranceZText + "”不是") +
                         "，应为限差（米），如 0.01 或 +0.010/-0.015（上限/下限）。");
  }
  t.xy = *parsedXy;
  t.z = *parsedZ;
  return t;
}

std::size_t CheckPointRows(const AlignmentForm& form) {
  std::size_t rows = 0;
  for (const auto& row : form.Table(TableId::Points)) rows += !RowBlank(row);
  return rows;
}

RunResult RunCheck(const AlignmentForm& form, const std::atomic<bool>* cancel, const ProgressFn& progress) {
  RunResult result;
  try {
    const CheckTolerances tolerances = CheckTolerancesFromFields(form);
    const int decimals = form.OutputFormat().decimals;
    if (const std::string problem = form.FirstProblemMessage(RunKind::Check); !problem.empty()) {
      throw AlignmentError(problem);
    }
    const std::shared_ptr<const RouteDesign> design = form.Design(true, &result.error);
    if (!design) return result;
    if (!design->profile) throw AlignmentError("偏差检查需要纵断面：请先填写纵断面表（偏差是实测高程减设计高程）。");
    std::optional<section::SectionModel> model;
    std::optional<section::SideSlopes> slopes;
    if (form.section.HasSection()) {
      SectionProblem problem;
      model = form.section.Model(design->route.Stations(), &problem);
      if (!model) throw AlignmentError(problem.message);
      // Points beyond the edge are checked against the side slopes, as `check --slopes` does;
      // a 边坡 table that cannot be read refuses the check rather than leaving them unchecked.
      slopes = form.section.Slopes(&problem);
      if (!slopes && form.section.HasSlopes()) throw AlignmentError(problem.message);
    }

    auto table = std::make_shared<check::CheckTable>();
    table->decimals = decimals;
    check::CheckPoints points;
    const Grid& grid = form.Table(TableId::Points);
    bool intended = false;
    for (const auto& row : grid) {
      if (!RowBlank(row) && (!TrimmedCell(row[4]).empty() || !TrimmedCell(row[5]).empty())) intended = true;
    }
    for (std::size_t r = 0; r < grid.size(); ++r) {
      const std::vector<std::string>& row = grid[r];
      if (RowBlank(row)) continue;
      const std::string& name = table->names.emplace_back(TrimmedCell(row[0]));
      if (name.empty()) throw AlignmentError(RowText(r) + "点名：不能为空（偏差报表按点名列出各点）。", LineOfRow(r));
      if (TrimmedCell(row[3]).empty()) throw AlignmentError(RowText(r) + "Z：不能为空，偏差报表需要每个点的高程。", LineOfRow(r));
      points.points.push_back({name, CellNumber(row[1], r, "X"), CellNumber(row[2], r, "Y"), CellNumber(row[3], r, "Z")});
      points.lines.push_back(LineOfRow(r));
      if (!intended) continue;
      const std::string station = TrimmedCell(row[4]), offset = TrimmedCell(row[5]);
      if (station.empty() != offset.empty()) {
        throw AlignmentError(RowText(r) + "设计位置需要设计桩号和设计偏距两者（或都空）。", LineOfRow(r));
      }
      if (station.empty()) {
        points.station.push_back(std::nan(""));
        points.offset.push_back(std::nan(""));
        continue;
      }
      const std::optional<double> s = ReadStation(station);
      if (!s || std::fabs(*s) > kMaxMagnitude) {
        throw AlignmentError(RowText(r) + "设计桩号：“" + row[4] + "”不是桩号（如 K12+345.678 或 12345.678）。",
                             LineOfRow(r));
      }
      points.station.push_back(*s);
      points.offset.push_back(CellNumber(row[5], r, "设计偏距"));
    }
    if (points.points.empty()) throw AlignmentError("反算点表没有点：偏差检查需要实测点（点名,X,Y,Z）。");

    check::CheckInputs in;
    in.design = design.get();
    in.section = model ? &*model : nullptr;
    in.slopes = slopes ? &*slopes : nullptr;
    in.points = &points;
    in.toleranceZ = tolerances.z;
    in.toleranceXy = tolerances.xy;
    const std::size_t expected = points.points.size();
    table->rows.reserve(expected);
    table->run = check::ForEachCheckRow(in, {}, [&](const check::CheckRow& row, const check::CheckRun&) {
      table->rows.push_back(row);
      const std::size_t done = table->rows.size();
      if (done % 1024 != 0) return;
      if (cancel && cancel->load(std::memory_order_relaxed)) throw Cancelled{};
      if (progress) progress(static_cast<double>(done) / static_cast<double>(expected));
    });
    if (cancel && cancel->load()) throw Cancelled{};
    table->order = check::FailuresFirst(table->rows);
    if (progress) progress(1.0);
    result.check = std::move(table);
    result.ok = true;
  } catch (const Cancelled&) {
    result.cancelled = true;
  } catch (const AlignmentError& e) {
    result.error = (e.Line() > 0 ? std::string(kPointsTitle) : std::string()) + e.what();
  } catch (const std::bad_alloc&) {
    result.error = "内存不足，输入过大。";
  }
  return result;
}

}  // namespace survey::alignment::window
