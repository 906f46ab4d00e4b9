// The form's runs: the route built from its tables (once per change of them), the options read
// from its fields, and the route's queries answering with typed rows.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <deque>
#include <sstream>

#include "alignment/alignment_error.h"
#include "alignment/check/locate_design.h"
#include "alignment/row_layout.h"
#include "alignment/table_reader.h"
#include "alignment/curve_listing.h"
#include "alignment/window/check_form.h"
#include "alignment/window/form.h"
#include "common/text_blanks.h"

namespace survey::alignment::window {

namespace {

struct Cancelled {};

bool Blank(const std::string& text) { return TrimBlanks(text, kAllBlanks).empty(); }

std::string Quoted(const std::string& text) { return "“" + text + "”"; }

// A field's value; blank gives `blank` (a required field has none). Refusals name the field as
// the window labels it.
double FieldNumber(const std::string& label, const std::string& text, std::optional<double> blank = std::nullopt) {
  if (Blank(text)) {
    if (blank) return *blank;
    throw AlignmentError(label + "：不能为空，应填数字。");
  }
  const std::optional<double> v = ReadNumber(text);
  if (!v) throw AlignmentError(label + "：" + Quoted(text) + "不是数字。");
  if (std::fabs(*v) > kMaxMagnitude) throw AlignmentError(label + "：超出范围（绝对值不得超过 1e9）。");
  return *v;
}

std::optional<double> FieldStation(const std::string& label, const std::string& text) {
  if (Blank(text)) return std::nullopt;
  const std::optional<double> v = ReadStation(text);
  if (!v) throw AlignmentError(label + "：" + Quoted(text) + "不是桩号（如 K12+345.678 或 12345.678）。");
  if (std::fabs(*v) > kMaxMagnitude) throw AlignmentError(label + "：超出范围。");
  return v;
}

double FieldAngle(const std::string& label, const std::string& text, AngleUnit unit) {
  // An angle with ° is degrees, minutes and seconds whatever the unit of the plain numbers.
  const std::optional<std::string> packed = PackedFromDms(text);
  const std::optional<double> v = packed ? ReadAngle(*packed, AngleUnit::PackedDms) : ReadAngle(text, unit);
  if (!v || std::fabs(*v) > 1e6) {
    throw AlignmentError(label + "：" + Quoted(text) + "不是角度（" +
                         (unit == AngleUnit::Degrees ? std::string("十进制度") : std::string("度.分秒，如 30.1530")) + "）。");
  }
  return *v;
}

// A route of elements names its main points by element ("E2 ZH"); a surveyor reads them by the
// JDs the elements make (curve_listing.h): "JD1 ZH". A main point no JD accounts for (an element
// listed on its own) keeps its name; points at one position keep one row, their names joined.
void NameMainPointsByJd(const Route& route, std::vector<StakeRow>& stakes) {
  std::vector<std::pair<double, std::string>> labels;
  int jds = 0;
  for (const CurveListingRow& listed : ListCurves(route)) {
    if (!listed.jd) continue;
    const CurveRow& c = *listed.jd;
    const std::string jd = "JD" + std::to_string(++jds);
    if (!(c.l > 0)) continue;  // tangents meeting without a curve: no main point
    labels.emplace_back(c.zh, jd + (c.hasEntryTransition ? " ZH" : " ZY"));
    if (c.hasEntryTransition) labels.emplace_back(c.hy, jd + " HY");
    if (c.hasExitTransition) labels.emplace_back(c.yh, jd + " YH");
    labels.emplace_back(c.hz, jd + (c.hasExitTransition ? " HZ" : " YZ"));
  }
  for (StakeRow& row : stakes) {
    if (row.name.empty() || row.name == "QD" || row.name == "ZD") continue;
    std::string name;
    for (const auto& [chainage, label] : labels) {
      if (std::fabs(chainage - row.chainage) <= kStakeMergeDistance) name += (name.empty() ? "" : "/") + label;
    }
    if (!name.empty()) row.name = std::move(name);
  }
}

std::vector<StationEquation> ReadEquations(const Grid& grid) {
  std::vector<StationEquation> equations;
  for (const auto& row : grid) {
    if (RowBlank(row)) continue;
    const auto back = ReadStation(row[0]);
    const auto ahead = ReadStation(row[1]);
    if (!back || !ahead) throw AlignmentError("断链表有不是桩号的格子。");
    equations.push_back({*back, *ahead});
  }
  return equations;
}

bool HasRows(const Grid& grid) {
  for (const auto& row : grid) {
    if (!RowBlank(row)) return true;
  }
  return false;
}

// A refusal of a table's line names the grid's row: the header is line 1, so line N is row N - 1.
std::string Located(const AlignmentError& e, const std::string& tableTitle) {
  const std::string message = e.what();
  if (e.Line() <= 0 || tableTitle.empty()) return message;
  const std::string prefix = LinePrefix(e.Line());
  const std::string rest = message.rfind(prefix, 0) == 0 ? message.substr(prefix.size()) : message;
  return tableTitle + "第 " + std::to_string(e.Line() - 1) + " 行：" + rest;
}

}  // namespace

std::shared_ptr<const RouteDesign> AlignmentForm::Design(bool withProfile, std::string* error) const {
  std::string reading;  // the table being read, for a refusal naming its line
  try {
    const AngleUnit unit = degrees ? AngleUnit::Degrees : AngleUnit::PackedDms;
    const TableId source = inputKind == InputKind::Jd ? TableId::Jd : TableId::Elements;
    std::string key = (inputKind == InputKind::Jd ? "jd\n" : "elements\n") + TableCsv(source) + TableCsv(TableId::Equations) +
                      startStationText + '\n' + (degrees ? "degrees\n" : "dms\n");
    if (inputKind == InputKind::Elements) key += startXText + '\n' + startYText + '\n' + startAzimuthText + '\n';
    if (!cache_.route || cache_.key != key) {
      if (const std::string problem = FirstProblemMessage(RunKind::Stakes); !problem.empty()) throw AlignmentError(problem);
      const double start = FieldStation("起点桩号", startStationText).value_or(0);
      std::vector<StationEquation> equations = ReadEquations(Table(TableId::Equations));
      reading = TableTitle(source);
      RouteDesign design = [&] {
        if (inputKind == InputKind::Jd) return RouteFromJd(ReadJdTable(TableCsv(TableId::Jd)), start, std::move(equations));
        const std::vector<ElementShape> shapes = ReadElementTable(TableCsv(TableId::Elements));
        reading.clear();
        if (Blank(startXText) || Blank(startYText) || Blank(startAzimuthText)) {
          throw AlignmentError("线元法需要起点 X、Y 和起始方位角。");
        }
        const Pose pose{FieldNumber("线元法起点 X", startXText), FieldNumber("线元法起点 Y", startYText),
                        NormalizeAzimuth(FieldAngle("线元法起始方位角", startAzimuthText, unit))};
        return RouteFromElements(pose, start, shapes, std::move(equations));
      }();
      cache_ = {key, "", std::make_shared<const RouteDesign>(std::move(design)), nullptr};
    }
    if (!withProfile || !HasRows(Table(TableId::Profile))) return cache_.route;
    const std::string profileKey = TableCsv(TableId::Profile);
    if (!cache_.withProfile || cache_.profileKey != profileKey) {
      reading = TableTitle(TableId::Profile);
      RouteDesign design = *cache_.route;
      SetProfileTable(design, profileKey);
      cache_.profileKey = profileKey;
      cache_.withProfile = std::make_shared<const RouteDesign>(std::move(design));
    }
    return cache_.withProfile;
  } catch (const AlignmentError& e) {
    if (error) *error = Located(e, reading);
  } catch (const std::bad_alloc&) {
    if (error) *error = "内存不足，输入过大。";
  }
  return nullptr;
}

CellFormat AlignmentForm::OutputFormat() const {
  CellFormat format{3, degrees ? AngleUnit::Degrees : AngleUnit::PackedDms};
  if (!Blank(decimalsText)) {
    const std::optional<double> n = ReadNumber(decimalsText);
    if (!n || *n != std::trunc(*n) || *n < 0 || *n > 9) {
      throw AlignmentError("小数位数应为 0 到 9 的整数：" + Quoted(decimalsText) + "。");
    }
    format.decimals = static_cast<int>(*n);
  }
  return format;
}

StakeQuery AlignmentForm::StakeQueryFromFields(const CellFormat& format, std::vector<std::string>* offsetLabels) const {
  StakeQuery query;
  query.range.interval = FieldNumber("桩距", intervalText, 20);
  query.range.stationDecimals = format.decimals;
  query.range.fromStation = FieldStation("起始桩号", fromText);
  query.range.toStation = FieldStation("终止桩号", toText);
  std::string offsets = offsetsText;
  for (char& c : offsets) {
    if (c == ',' || c == ';' || c == '\t') c = ' ';
  }
  std::istringstream in(offsets);
  for (std::string o; in >> o;) {
    query.offsets.push_back(FieldNumber("边桩偏距", o));
    if (offsetLabels) offsetLabels->push_back(o);
  }
  query.skew = Blank(skewText) ? 0 : FieldAngle("斜交角", skewText, format.angles);
  if (!(std::fabs(query.skew) < std::numbers::pi / 2)) throw AlignmentError("斜交角的绝对值必须小于 90°。");
  return query;
}

RunResult AlignmentForm::Run(RunKind kind, const std::atomic<bool>* cancel, const ProgressFn& progress,
                             std::size_t expectedRows) const {
  if (kind == RunKind::Check) return RunCheck(*this, cancel, progress);  // check_form.cpp
  RunResult result;
  if (const std::string problem = FirstProblemMessage(kind); !problem.empty()) {
    result.error = problem;
    return result;
  }
  if (kind == RunKind::Profile && !HasRows(Table(TableId::Profile))) {
    result.ok = true;
    return result;
  }
  const bool withProfile = kind != RunKind::Curves && kind != RunKind::Stakeout;
  const std::shared_ptr<const RouteDesign> design = Design(withProfile, &result.error);
  if (!design) return result;
  const Route& route = design->route;
  std::size_t rows = 0;
  // Each row may end a cancelled run; progress is told every thousand rows.
  const auto counted = [&] {
    if (++rows % 1024 != 0) return;
    if (cancel && cancel->load(std::memory_order_relaxed)) throw Cancelled{};
    if (progress && expectedRows > 0) {
      progress(std::min(1.0, static_cast<double>(rows) / static_cast<double>(expectedRows)));
    }
  };
  std::string reading;
  try {
    const CellFormat format = OutputFormat();
    StakeQuery query;
    std::vector<std::string> offsetLabels;
    if (kind == RunKind::Stakes || kind == RunKind::Stakeout) query = StakeQueryFromFields(format, &offsetLabels);
    const bool profiled = withProfile && design->profile.has_value();
    std::shared_ptr<ResultTable> table;
    switch (kind) {
      case RunKind::Curves:
        // A route of elements lists the JDs read back from it, and elements that form none.
        table = std::make_shared<ResultTable>(ResultTable::Kind::Curves, layout::CurveKeys(inputKind != InputKind::Jd), format);
        if (inputKind == InputKind::Jd) table->curves = CurveRows(route); else table->elementCurves = ElementCurveRows(route);
        break;
      case RunKind::Stakes:
        table = std::make_shared<ResultTable>(ResultTable::Kind::Stakes, layout::StakeKeys(offsetLabels, profiled), format);
        table->withProfile = profiled;
        // The expected count is an estimate; reserving it spares the copies of a growing million.
        table->stakes.reserve(std::min(expectedRows, kMaxStakeRows));
        ForEachStakeRow(*design, query, [&](const StakeRow& row) {
          table->stakes.push_back(row);
          counted();
        });
        if (inputKind == InputKind::Elements) NameMainPointsByJd(route, table->stakes);
        break;
      case RunKind::LocatePoint:
      case RunKind::LocateTable: {
        std::vector<SurveyedPoint> points;
        std::deque<std::string> names;  // the points' names, moved into the table whole
        if (kind == RunKind::LocatePoint) {
          points.push_back({"", FieldNumber("反算 X", locateXText), FieldNumber("反算 Y", locateYText), std::nullopt});
          if (!Blank(locateZText)) points.back().z = FieldNumber("反算 Z", locateZText);
        } else {
          reading = TableTitle(TableId::Points);
          for (const auto& row : Table(TableId::Points)) {
            if (RowBlank(row)) continue;
            SurveyedPoint p{"", FieldNumber("X", row[1]), FieldNumber("Y", row[2]), std::nullopt};
            if (!Blank(row[3])) p.z = FieldNumber("Z", row[3]);
            p.name = names.emplace_back(TrimmedCell(row[0]));
            points.push_back(p);
          }
          reading.clear();
        }
        bool withZ = false;
        for (const SurveyedPoint& p : points) withZ = withZ || p.z.has_value();
        // The command line reads z only with a profile, and prints dz only then.
        withZ = withZ && profiled;
        // With a typical section the columns of locate --section, and --slopes where there are
        // slopes and heights to stake them with.
        const std::optional<LocateSection> onSection = profiled ? LocateSectionOf(section, *design) : std::nullopt;
        const bool withSlopes = onSection && onSection->slopes && withZ;
        std::vector<std::string> keys = layout::LocateKeys(profiled, withZ);
        if (onSection) {
          for (std::string& k : layout::PointDesignKeys(withZ, withSlopes)) keys.push_back(std::move(k));
        }
        auto located = std::make_shared<ResultTable>(ResultTable::Kind::Locate, std::move(keys), format);
        located->locatedNames = std::move(names);
        located->withProfile = profiled;
        located->withZ = withZ;
        located->withSection = onSection.has_value();
        located->withSlopes = withSlopes;
        if (onSection) {
          check::ForEachLocateOnSection(*design, points, onSection->model, withSlopes ? &*onSection->slopes : nullptr,
                                        [&](const LocateRow& row, const PointDesign& d) {
                                          located->located.push_back(row);
                                          located->locatedDesigns.push_back(d);
                                          counted();
                                        });
        } else {
          ForEachLocateRow(*design, points, profiled, [&](const LocateRow& row) {
            located->located.push_back(row);
            counted();
          });
        }
        table = std::move(located);
        break;
      }
      case RunKind::Stakeout: {
        const StakeoutStation instrument(FieldNumber("测站 X", setupXText), FieldNumber("测站 Y", setupYText),
                                         FieldNumber("后视 X", backsightXText), FieldNumber("后视 Y", backsightYText));
        table = std::make_shared<ResultTable>(ResultTable::Kind::Stakeout, layout::StakeoutKeys(), format);
        ForEachStakeoutRow(route, instrument, query, [&](const StakeoutRow& row) {
          table->stakeout.push_back(row);
          counted();
        });
        break;
      }
      case RunKind::Profile:
        table = std::make_shared<ResultTable>(ResultTable::Kind::Profile, layout::ProfileKeys(), format);
        table->profile = ProfileLines(route, *design->profile);
        break;
      case RunKind::Check: break;  // run above
    }
    if (cancel && cancel->load()) throw Cancelled{};
    if (progress) progress(1.0);
    result.table = std::move(table);
    result.ok = true;
  } catch (const Cancelled&) {
    result.cancelled = true;
  } catch (const AlignmentError& e) {
    result.error = Located(e, reading);
  } catch (const std::bad_alloc&) {
    result.error = "内存不足，输入过大。";
  }
  return result;
}

}  // namespace survey::alignment::window
