#include "alignment/window/section_form.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <string>

#include "alignment/alignment_error.h"
#include "alignment/check/locate_design.h"
#include "common/text_blanks.h"
#include "alignment/table_reader.h"
#include "alignment/text_format.h"

namespace survey::alignment::window {

namespace {

bool Blank(const std::string& s) { return s.find_first_not_of(" \t\r\n") == std::string::npos; }

bool RowIsBlank(const std::vector<std::string>& row) {
  for (const std::string& c : row) {
    if (!Blank(c)) return false;
  }
  return true;
}

// A refusal's line (1 the header) back to the grid row it came from; -1 when it names none.
int RowOfLine(int line, const std::vector<int>& lines) {
  if (line < 2 || static_cast<std::size_t>(line - 2) >= lines.size()) return -1;
  return lines[static_cast<std::size_t>(line - 2)];
}

// A reader's refusal names the line of the text it read ("“边坡” 第 4 行：…"), which counts
// the header and not the blank rows; the grid numbers its rows from 1 below the header. The
// message names the grid's row, as the red row shows it.
SectionProblem ProblemAt(SectionTableId id, const AlignmentError& e, const std::vector<int>& lines) {
  const int row = RowOfLine(e.Line(), lines);
  std::string message = e.what();
  const std::string prefix = section::FilePrefix(SectionInputs::Title(id)) + LinePrefix(e.Line());
  if (row >= 0 && message.rfind(prefix, 0) == 0) {
    message = SectionInputs::Title(id) + "第 " + std::to_string(row + 1) + " 行：" + message.substr(prefix.size());
  }
  return {id, row, std::move(message)};
}

}  // namespace

const std::vector<SectionColumn>& SectionInputs::Columns(SectionTableId id) {
  static const std::vector<SectionColumn> section = {{"side", "侧"},       {"part", "名称"},  {"width", "宽度 (m)"},
                                                     {"slope", "横坡 (%)"}, {"super", "超高"}, {"widen", "加宽"},
                                                     {"median", "中央分隔带"}};
  static const std::vector<SectionColumn> super = {{"station", "桩号"}, {"left", "左 (%)"}, {"right", "右 (%)"}};
  static const std::vector<SectionColumn> widening = {{"station", "桩号"}, {"left", "左 (m)"}, {"right", "右 (m)"}};
  static const std::vector<SectionColumn> slopes = {{"side", "侧"}, {"kind", "类型（填/挖）"}, {"ratio", "坡率 1:m"}};
  switch (id) {
    case SectionTableId::Section: return section;
    case SectionTableId::Superelevation: return super;
    case SectionTableId::Widening: return widening;
    case SectionTableId::Slopes: return slopes;
  }
  return section;
}

std::string SectionInputs::Title(SectionTableId id) {
  switch (id) {
    case SectionTableId::Section: return "标准横断面";
    case SectionTableId::Superelevation: return "超高表";
    case SectionTableId::Widening: return "加宽表";
    case SectionTableId::Slopes: return "边坡";
  }
  return "";
}

bool SectionInputs::HasSection() const {
  for (const auto& row : Grid(SectionTableId::Section)) {
    if (!RowIsBlank(row)) return true;
  }
  return false;
}

bool SectionInputs::HasSlopes() const {
  for (const auto& row : Grid(SectionTableId::Slopes)) {
    if (!RowIsBlank(row)) return true;
  }
  return false;
}

std::optional<section::SideSlopes> SectionInputs::Slopes(SectionProblem* problem) const {
  std::vector<int> lines;
  const std::string csv = Csv(SectionTableId::Slopes, &lines);
  if (lines.empty()) return std::nullopt;
  try {
    return section::ReadSideSlopes(csv, Title(SectionTableId::Slopes));
  } catch (const AlignmentError& e) {
    if (problem) *problem = ProblemAt(SectionTableId::Slopes, e, lines);
  } catch (const std::bad_alloc&) {
    if (problem) *problem = {SectionTableId::Slopes, -1, "内存不足，输入过大。"};
  }
  return std::nullopt;
}

std::string SectionInputs::Csv(SectionTableId id, std::vector<int>* lines) const {
  const std::vector<SectionColumn>& columns = Columns(id);
  std::string out;
  for (std::size_t c = 0; c < columns.size(); ++c) {
    if (c > 0) out += ',';
    out += columns[c].key;
  }
  out += '\n';
  if (lines) lines->clear();
  const auto& grid = Grid(id);
  for (std::size_t r = 0; r < grid.size(); ++r) {
    if (RowIsBlank(grid[r])) continue;
    for (std::size_t c = 0; c < columns.size(); ++c) {
      if (c > 0) out += ',';
      AppendCsvField(out, c < grid[r].size() ? grid[r][c] : std::string());
    }
    out += '\n';
    if (lines) lines->push_back(static_cast<int>(r));
  }
  return out;
}

std::vector<SectionProblem> SectionInputs::ReaderProblems() const {
  std::vector<SectionProblem> problems;
  for (SectionTableId id : kSectionTables) {
    std::vector<int> lines;
    const std::string csv = Csv(id, &lines);
    if (lines.empty()) continue;
    try {
      switch (id) {
        case SectionTableId::Section: section::ReadTypicalSection(csv, Title(id)); break;
        case SectionTableId::Superelevation: section::ReadSuperelevationTable(csv, Title(id)); break;
        case SectionTableId::Widening: section::ReadWideningTable(csv, Title(id)); break;
        case SectionTableId::Slopes: section::ReadSideSlopes(csv, Title(id)); break;
      }
    } catch (const AlignmentError& e) {
      problems.push_back(ProblemAt(id, e, lines));
    } catch (const std::bad_alloc&) {
      problems.push_back({id, -1, "内存不足，输入过大。"});
    }
  }
  return problems;
}

std::optional<section::SectionModel> SectionInputs::Model(const StationLine& stations, SectionProblem* problem) const {
  const auto fail = [&](SectionTableId id, int row, std::string message) -> std::optional<section::SectionModel> {
    if (problem) *problem = {id, row, std::move(message)};
    return std::nullopt;
  };
  if (!HasSection()) return fail(SectionTableId::Section, -1, "标准横断面还没有行。");
  std::vector<int> lines[3];
  std::string csv[3];
  for (SectionTableId id : {SectionTableId::Section, SectionTableId::Superelevation, SectionTableId::Widening}) {
    csv[static_cast<int>(id)] = Csv(id, &lines[static_cast<int>(id)]);
  }
  // Each table is read and placed on its own first, so that a refusal marks the grid it is about.
  SectionTableId at = SectionTableId::Section;
  section::SectionTables tables;
  try {
    tables.sectionFile = Title(SectionTableId::Section);
    tables.superelevationFile = Title(SectionTableId::Superelevation);
    tables.wideningFile = Title(SectionTableId::Widening);
    tables.section = section::ReadTypicalSection(csv[0], tables.sectionFile);
    if (!lines[1].empty()) {
      at = SectionTableId::Superelevation;
      tables.superelevation = section::ReadSuperelevationTable(csv[1], tables.superelevationFile);
      section::SideSchedule(tables.superelevation, stations, tables.superelevationFile);
    }
    if (!lines[2].empty()) {
      at = SectionTableId::Widening;
      tables.widening = section::ReadWideningTable(csv[2], tables.wideningFile);
      section::SideSchedule(tables.widening, stations, tables.wideningFile, options.widening);
    }
    // What is left is about the tables together: widening against the parts (a line of the
    // widening table) or the template against the options (the typical section).
    at = lines[2].empty() ? SectionTableId::Section : SectionTableId::Widening;
    try {
      return section::SectionModel(std::move(tables), stations, options);
    } catch (const AlignmentError& e) {
      // A line number alone does not say which table it is in; a refusal without a line of the
      // widening table is the template's.
      if (e.Line() == 0) return fail(SectionTableId::Section, -1, e.what());
      SectionProblem p = ProblemAt(at, e, lines[static_cast<int>(at)]);
      return fail(at, p.row, std::move(p.message));
    }
  } catch (const AlignmentError& e) {
    SectionProblem p = ProblemAt(at, e, lines[static_cast<int>(at)]);
    return fail(at, p.row, std::move(p.message));
  } catch (const std::bad_alloc&) {
    return fail(at, -1, "内存不足，输入过大。");
  }
}

std::vector<std::vector<std::string>> SectionGridFromFile(SectionTableId id, const std::string& bytes) {
  const std::string name = SectionInputs::Title(id);
  const std::vector<ColumnHeading>* headings = &section::SideValuesColumns();
  try {
    switch (id) {
      case SectionTableId::Section:
        section::ReadTypicalSection(bytes, name);
        headings = &section::TypicalSectionColumns();
        break;
      case SectionTableId::Superelevation: section::ReadSuperelevationTable(bytes, name); break;
      case SectionTableId::Widening: section::ReadWideningTable(bytes, name); break;
      case SectionTableId::Slopes:
        section::ReadSideSlopes(bytes, name);
        headings = &section::SideSlopesColumns();
        break;
    }
  } catch (const AlignmentError& e) {
    // The caller names the file; the reader's own name for it would say it twice.
    std::string message = e.what();
    const std::string prefix = section::FilePrefix(name);
    if (message.rfind(prefix, 0) == 0) message.erase(0, prefix.size());
    throw AlignmentError(message, e.Line());
  }
  const Table table = ReadTable(bytes, *headings);
  const std::size_t width = SectionInputs::Columns(id).size();
  std::vector<std::vector<std::string>> grid;
  grid.reserve(table.RowCount());
  for (std::size_t r = 0; r < table.RowCount(); ++r) {
    std::vector<std::string> row(width);
    for (std::size_t c = 0; c < width && c < table.ColumnCount(); ++c) row[c] = std::string(table.Cell(r, c));
    grid.push_back(std::move(row));
  }
  return grid;
}

std::optional<LocateSection> LocateSectionOf(const SectionInputs& inputs, const RouteDesign& design) {
  if (!inputs.HasSection() || !design.profile) return std::nullopt;
  SectionProblem problem;
  std::optional<section::SectionModel> model = inputs.Model(design.route.Stations(), &problem);
  if (!model) throw AlignmentError(problem.message);
  std::optional<section::SideSlopes> slopes = inputs.Slopes(&problem);
  if (!slopes && inputs.HasSlopes()) throw AlignmentError(problem.message);
  return LocateSection{std::move(*model), slopes};
}

std::vector<SectionMark> MarksNear(const std::vector<std::vector<std::string>>& pointRows, const RouteDesign& design,
                                   const section::SectionModel& model, const section::SideSlopes* slopes, double chainage,
                                   double halfWidth) {
  std::vector<SectionMark> marks;
  if (!design.profile) return marks;
  std::vector<SurveyedPoint> points;
  std::vector<std::string> names;  // the points' names view into these: reserved, never moved
  names.reserve(pointRows.size());
  for (const auto& row : pointRows) {
    if (row.size() < 4) continue;
    const std::optional<double> x = ReadNumber(row[1]), y = ReadNumber(row[2]), z = ReadNumber(row[3]);
    if (!x || !y || !z || !std::isfinite(*x) || !std::isfinite(*y) || !std::isfinite(*z)) continue;
    if (std::fabs(*x) > kMaxMagnitude || std::fabs(*y) > kMaxMagnitude || std::fabs(*z) > kMaxMagnitude) continue;
    const std::string& name = names.emplace_back(TrimBlanks(row[0], kAllBlanks));
    points.push_back({name, *x, *y, *z});
  }
  const Profile* profile = &design.profile->profile;
  std::size_t next = 0;
  // Every point is located; the design is worked out only for the few near the station.
  ForEachLocateRow(design, points, false, [&](const LocateRow& row) {
    const SurveyedPoint& p = points[next++];
    if (!row.inside || std::fabs(row.chainage - chainage) > halfWidth) return;
    const PointDesign d = check::DesignAtLocated(model, profile, slopes, row, p.z);
    SectionMark mark{std::string(p.name), row.chainage, row.offset, *p.z, d.surfaceDz, false};
    if (d.slope) {
      mark.dz = d.slope->slopeDz;
      mark.onSlope = true;
    }
    marks.push_back(std::move(mark));
  });
  return marks;
}

std::string MoveWords(const SlopeStakeValues& stake, int decimals) {
  if (stake.atCatch) return stake.cut ? "已到坡口" : "已到坡脚";
  return std::string(stake.move > 0 ? "向外 " : "向内 ") + FixedText(std::fabs(stake.move), std::max(decimals, 3)) + " m";
}

std::string LastMoveText(const ResultTable& table) {
  if (table.RowKind() != ResultTable::Kind::Locate || !table.withSlopes || table.locatedDesigns.empty()) return "";
  const PointDesign& design = table.locatedDesigns.back();
  if (!design.slope) return "";
  const LocateRow& row = table.located.back();
  const int decimals = table.Format().decimals;
  std::string text(row.name);
  if (!text.empty()) text += "  ";
  return text + StationKText(row.station, decimals) + "  " + MoveWords(*design.slope, decimals);
}

const char* ProfileAtKey(section::ProfileAt v) {
  switch (v) {
    case section::ProfileAt::Line: return "line";
    case section::ProfileAt::Edge: return "edge";
    case section::ProfileAt::Median: return "median";
  }
  return "line";
}

const char* RotateAboutKey(section::RotateAbout v) {
  switch (v) {
    case section::RotateAbout::Line: return "line";
    case section::RotateAbout::InnerEdge: return "inner-edge";
    case section::RotateAbout::Median: return "median";
  }
  return "line";
}

const char* TransitionKey(section::Transition v) {
  return v == section::Transition::Cubic ? "cubic" : "linear";
}

std::optional<section::ProfileAt> ProfileAtFromKey(const std::string& key) {
  for (auto v : {section::ProfileAt::Line, section::ProfileAt::Edge, section::ProfileAt::Median}) {
    if (key == ProfileAtKey(v)) return v;
  }
  return std::nullopt;
}

std::optional<section::RotateAbout> RotateAboutFromKey(const std::string& key) {
  for (auto v : {section::RotateAbout::Line, section::RotateAbout::InnerEdge, section::RotateAbout::Median}) {
    if (key == RotateAboutKey(v)) return v;
  }
  return std::nullopt;
}

std::optional<section::Transition> TransitionFromKey(const std::string& key) {
  for (auto v : {section::Transition::Linear, section::Transition::Cubic}) {
    if (key == TransitionKey(v)) return v;
  }
  return std::nullopt;
}

SectionRowsResult SectionRowsOf(const Route& route, const section::SectionModel& model, const Profile* profile,
                                const StakeOptions& stakes, int decimals, std::size_t maxRows) {
  SectionRowsResult result;
  result.keys = {"name", "station", "side", "part", "offset", "width", "slope",
                 profile ? "elevation" : "relative_elevation", "x", "y"};
  std::vector<section::SectionRow> rows;
  ForEachStake(route, stakes, [&](const Stake& stake) {
    rows.clear();
    section::AppendSectionRows(route, section::SectionAt(model, profile, stake.chainage), stake.chainage, rows);
    if (result.rows.size() + rows.size() > maxRows) {
      throw AlignmentError("横断面成果超过 " + std::to_string(maxRows) +
                           " 行：请加大桩距或缩小桩号范围（全线的成果可用命令行 section 输出）。");
    }
    const std::string station = FixedText(stake.station, decimals);
    for (const section::SectionRow& row : rows) {
      std::vector<std::string> cells;
      cells.reserve(result.keys.size());
      cells.push_back(stake.name);
      cells.push_back(station);
      if (row.designLine) {
        cells.insert(cells.end(), {"", "设计线", FixedText(0.0, decimals), "", ""});
      } else {
        cells.push_back(section::SideText(row.side));
        cells.push_back(row.part->name);
        cells.push_back(FixedText(row.offset, decimals));
        cells.push_back(FixedText(row.width, decimals));
        cells.push_back(FixedText(row.slope, 4));
      }
      cells.push_back(row.elevation ? FixedText(*row.elevation, decimals) : std::string());
      cells.push_back(FixedText(row.x, decimals));
      cells.push_back(FixedText(row.y, decimals));
      result.rows.push_back(std::move(cells));
      result.chainages.push_back(stake.chainage);
    }
  });
  return result;
}

}  // namespace survey::alignment::window
