#include "alignment/window/form.h"

#include <charconv>
#include <cmath>
#include <numbers>

#include "alignment/alignment_error.h"
#include "alignment/landxml_reader.h"
#include "alignment/landxml_writer.h"
#include "alignment/profile_table.h"
#include "alignment/table_reader.h"
#include "alignment/text_format.h"
#include "common/text_blanks.h"

namespace survey::alignment::window {

std::string TrimmedCell(std::string_view text) { return std::string(TrimBlanks(text, kAllBlanks)); }

namespace {

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// The shortest text that reads back as the same double.
std::string ExactText(double value) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, r.ptr);
}

std::string NumberProblem(const std::string& text, bool required, double min, bool minInclusive) {
  if (TrimmedCell(text).empty()) return required ? "不能为空，应填数字。" : "";
  const std::optional<double> v = ReadNumber(text);
  if (!v) return "“" + text + "”不是数字。";
  if (std::fabs(*v) > kMaxMagnitude) return "超出范围（绝对值不得超过 1e9）。";
  if (minInclusive ? *v < min : *v <= min) {
    return minInclusive ? "不得小于 " + ExactText(min) + "。" : "必须大于 " + ExactText(min) + "。";
  }
  return "";
}

std::string AnyNumberProblem(const std::string& text, bool required) {
  if (TrimmedCell(text).empty()) return required ? "不能为空，应填数字。" : "";
  const std::optional<double> v = ReadNumber(text);
  if (!v) return "“" + text + "”不是数字。";
  if (std::fabs(*v) > kMaxMagnitude) return "超出范围（绝对值不得超过 1e9）。";
  return "";
}

std::string StationProblem(const std::string& text, bool required) {
  if (TrimmedCell(text).empty()) return required ? "不能为空，应填桩号（如 K12+345.678 或 12345.678）。" : "";
  const std::optional<double> v = ReadStation(text);
  if (!v) return "“" + text + "”不是桩号（如 K12+345.678 或 12345.678）。";
  if (std::fabs(*v) > kMaxMagnitude) return "超出范围。";
  return "";
}

std::string RadiusProblem(const std::string& text) {
  const std::string t = Lower(TrimmedCell(text));
  if (t.empty() || t == "inf" || t == "∞") return "";
  return NumberProblem(text, false, 0, true);
}

// Column shapes with the names the readers accept, to import the surveyor's files.
std::vector<ColumnHeading> ImportColumns(TableId id) {
  switch (id) {
    case TableId::Jd:
      return {{"name", {"name", "点名"}, false}, {"x", {"x", "X"}}, {"y", {"y", "Y"}}, {"r", {"r", "R"}, false},
              {"ls1", {"ls1", "Ls1"}, false}, {"ls2", {"ls2", "Ls2"}, false}};
    case TableId::Elements:
      return {{"type", {"type", "线元"}}, {"length", {"length", "长度"}}, {"r_start", {"r_start", "起点半径"}, false},
              {"r_end", {"r_end", "终点半径"}, false}, {"turn", {"turn", "转向"}, false}};
    case TableId::Equations:
      return {{"back", {"back", "断链前桩号"}}, {"ahead", {"ahead", "断链后桩号"}}};
    case TableId::Profile:
      return {{"station", {"station", "桩号"}}, {"elevation", {"elevation", "高程"}},
              {"r", {"r", "R", "竖曲线半径"}, false}};
    case TableId::Points:
      return {{"name", {"name", "点名"}, false}, {"x", {"x", "X"}}, {"y", {"y", "Y"}}, {"z", {"z", "Z", "高程"}, false},
              {"station", {"station", "桩号", "设计桩号"}, false}, {"offset", {"offset", "偏距", "设计偏距"}, false}};
  }
  return {};
}

}  // namespace

bool RowBlank(const std::vector<std::string>& row) {
  for (const std::string& c : row) {
    if (!TrimmedCell(c).empty()) return false;
  }
  return true;
}

AlignmentForm::AlignmentForm() : tables_(std::size(kAllTables)) {}

const std::vector<ColumnDef>& AlignmentForm::Columns(TableId id) {
  static const std::vector<ColumnDef> jd = {{"name", "点名"},   {"x", "X (m)"},     {"y", "Y (m)"},
                                            {"r", "R (m)"},     {"ls1", "Ls1 (m)"}, {"ls2", "Ls2 (m)"}};
  static const std::vector<ColumnDef> elements = {{"type", "线元"},
                                                  {"length", "长度 (m)"},
                                                  {"r_start", "起点半径 (m)"},
                                                  {"r_end", "终点半径 (m)"},
                                                  {"turn", "转向"}};
  static const std::vector<ColumnDef> equations = {{"back", "断链前桩号"}, {"ahead", "断链后桩号"}};
  static const std::vector<ColumnDef> profile = {{"station", "桩号"}, {"elevation", "高程 (m)"}, {"r", "竖曲线半径 (m)"}};
  // The last two are optional: where each point was meant to be, for the deviation report.
  static const std::vector<ColumnDef> points = {{"name", "点名"}, {"x", "X (m)"},        {"y", "Y (m)"},
                                                {"z", "Z (m)"},   {"station", "设计桩号"}, {"offset", "设计偏距 (m)"}};
  switch (id) {
    case TableId::Jd: return jd;
    case TableId::Elements: return elements;
    case TableId::Equations: return equations;
    case TableId::Profile: return profile;
    case TableId::Points: return points;
  }
  return jd;
}

std::string AlignmentForm::TableTitle(TableId id) {
  switch (id) {
    case TableId::Jd: return "JD 表";
    case TableId::Elements: return "线元表";
    case TableId::Equations: return "断链表";
    case TableId::Profile: return "纵断面表";
    case TableId::Points: return "反算点表";
  }
  return "";
}

std::string AlignmentForm::CellProblemText(TableId id, int row, int column) const {
  const Grid& grid = Table(id);
  if (row < 0 || row >= static_cast<int>(grid.size())) return "";
  const std::vector<std::string>& cells = grid[static_cast<std::size_t>(row)];
  if (column < 0 || column >= static_cast<int>(cells.size())) return "";
  if (RowBlank(cells)) return "";
  const std::string& text = cells[static_cast<std::size_t>(column)];
  const std::string key = Columns(id)[static_cast<std::size_t>(column)].key;
  switch (id) {
    case TableId::Jd: {
      if (key == "x" || key == "y") return AnyNumberProblem(text, true);
      // R and the transitions of the start and end rows are not read.
      int first = -1, last = -1;
      for (int i = 0; i < static_cast<int>(grid.size()); ++i) {
        if (RowBlank(grid[static_cast<std::size_t>(i)])) continue;
        if (first < 0) first = i;
        last = i;
      }
      if (row == first || row == last) return "";
      if (key == "r") return NumberProblem(text, true, 0, false);
      if (key == "ls1" || key == "ls2") return NumberProblem(text, false, 0, true);
      return "";
    }
    case TableId::Elements: {
      const std::string type = Lower(TrimmedCell(cells[0]));
      const bool line = type == "line" || type == "直线";
      if (key == "type") {
        if (line || type == "arc" || type == "圆曲线" || type == "spiral" || type == "缓和曲线") return "";
        return "线元类型应为 直线、圆曲线 或 缓和曲线（line、arc、spiral）。";
      }
      if (key == "length") return NumberProblem(text, true, 0, false);
      if (key == "r_start" || key == "r_end") {
        const std::string p = RadiusProblem(text);
        if (!p.empty()) return p;
        if ((type == "arc" || type == "圆曲线") && key == "r_start") {
          const std::string t = Lower(TrimmedCell(text));
          if (t.empty() || t == "inf" || ReadNumber(t).value_or(0) == 0) return "圆曲线须有起点半径。";
        }
        return "";
      }
      if (key == "turn") {
        if (line) return "";
        const std::string t = Lower(TrimmedCell(text));
        if (t == "left" || t == "right" || t == "左" || t == "右" || t == "l" || t == "r") return "";
        return "转向应为 左 或 右（left、right）。";
      }
      return "";
    }
    case TableId::Equations: return StationProblem(text, true);
    case TableId::Profile:
      if (key == "station") return StationProblem(text, true);
      if (key == "elevation") return AnyNumberProblem(text, true);
      return NumberProblem(text, false, 0, true);
    case TableId::Points:
      if (key == "x" || key == "y") return AnyNumberProblem(text, true);
      if (key == "z" || key == "offset") return AnyNumberProblem(text, false);
      if (key == "station") return StationProblem(text, false);
      return "";
  }
  return "";
}

std::vector<CellProblem> AlignmentForm::Problems() const {
  std::vector<CellProblem> problems;
  std::vector<TableId> used = {inputKind == InputKind::Jd ? TableId::Jd : TableId::Elements, TableId::Equations,
                               TableId::Profile};
  for (TableId id : used) {
    const Grid& grid = Table(id);
    for (int r = 0; r < static_cast<int>(grid.size()); ++r) {
      for (int c = 0; c < static_cast<int>(Columns(id).size()); ++c) {
        std::string message = CellProblemText(id, r, c);
        if (!message.empty()) problems.push_back({id, r, c, std::move(message)});
      }
    }
  }
  return problems;
}

std::string AlignmentForm::FirstProblemMessage(RunKind kind) const {
  std::vector<CellProblem> problems = Problems();
  if (kind == RunKind::LocateTable) {
    const Grid& grid = Table(TableId::Points);
    for (int r = 0; r < static_cast<int>(grid.size()); ++r) {
      for (int c = 0; c < 4; ++c) {
        std::string message = CellProblemText(TableId::Points, r, c);
        if (!message.empty()) problems.push_back({TableId::Points, r, c, std::move(message)});
      }
    }
  }
  if (problems.empty()) {
    const Grid& source = Table(inputKind == InputKind::Jd ? TableId::Jd : TableId::Elements);
    std::size_t rows = 0;
    for (const auto& row : source) rows += !RowBlank(row);
    if (inputKind == InputKind::Jd && rows < 2) return "JD 表至少需要起点 QD 和终点 ZD 两行。";
    if (inputKind == InputKind::Elements && rows == 0) return "线元表没有线元。";
    return "";
  }
  const CellProblem& p = problems.front();
  return TableTitle(p.table) + "第 " + std::to_string(p.row + 1) + " 行 " +
         Columns(p.table)[static_cast<std::size_t>(p.column)].title + "：" + p.message;
}

std::string AlignmentForm::TableCsv(TableId id) const {
  std::string csv;
  bool first = true;
  for (const ColumnDef& c : Columns(id)) {
    if (!first) csv += ',';
    first = false;
    csv += c.key;
  }
  csv += '\n';
  for (const auto& row : Table(id)) {
    if (RowBlank(row)) continue;
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (i) csv += ',';
      AppendCsvField(csv, TrimmedCell(row[i]));
    }
    csv += '\n';
  }
  return csv;
}

std::size_t AlignmentForm::ExpectedStakeRows(const Route& route) const {
  const double interval = ReadNumber(intervalText).value_or(20);
  if (!(interval > 0)) return 0;
  const double rows = route.Length() / interval + static_cast<double>(route.MainPoints().size()) + 2;
  return rows > 1e8 ? 100'000'000 : static_cast<std::size_t>(rows);
}

std::string ResultColumnTitle(const std::string& key) {
  static const std::map<std::string, std::string> titles = {
      {"name", "名称"},          {"station", "桩号"},         {"x", "X (m)"},
      {"y", "Y (m)"},            {"azimuth", "方位角"},       {"turn", "转向"},
      {"alpha", "转角"},         {"r", "R (m)"},              {"ls1", "Ls1 (m)"},
      {"ls2", "Ls2 (m)"},        {"t1", "T1 (m)"},            {"t2", "T2 (m)"},
      {"l", "L (m)"},            {"e", "E (m)"},              {"j", "J (m)"},
      {"zh", "ZH(ZY) 桩号"},     {"hy", "HY 桩号"},           {"qz", "QZ 桩号"},
      {"yh", "YH 桩号"},         {"hz", "HZ(YZ) 桩号"},       {"straight_after", "直线长 (m)"},
      {"offset", "偏距 (m)"},    {"status", "状态"},          {"grade_elevation", "坡线高程 (m)"},
      {"elevation", "设计高程 (m)"}, {"grade", "坡度 (%)"},   {"angle", "水平角"},
      {"distance", "距离 (m)"},  {"z", "Z (m)"},              {"dz", "dz (m)"},
      {"design_elevation", "设计高程 (m)"}, {"grade_in", "前坡 (%)"}, {"grade_out", "后坡 (%)"},
      {"t", "T (m)"},            {"curve_start", "竖曲线起点"}, {"curve_end", "竖曲线终点"},
      // Cut and fill, slope staking and the deviation report: dz is measured − design,
      // fill_cut design − measured as the surveyor reads it.
      {"section_elevation", "断面设计高程 (m)"}, {"section_dz", "断面 dz (m)"},
      {"fill_cut", "填挖高度 (m) 填正挖负"}, {"kind", "边坡类型"},
      {"catch_offset", "坡口/坡脚偏距 (m)"}, {"move", "移动量 (m) 外移正"},
      {"slope_elevation", "边坡高程 (m)"}, {"slope_dz", "边坡 dz (m)"}, {"slope_status", "放样状态"},
      {"design_z", "设计高程 (m)"}, {"d_along", "纵向偏差 (m)"}, {"d_across", "横向偏差 (m)"},
      {"d_xy", "平面偏差 (m)"}, {"result", "结论"}};
  if (const auto it = titles.find(key); it != titles.end()) return it->second;
  if (key.rfind("x_", 0) == 0) return "X 偏 " + key.substr(2) + " (m)";
  if (key.rfind("y_", 0) == 0) return "Y 偏 " + key.substr(2) + " (m)";
  return key;
}

Grid ReadGridFromCsv(TableId id, const std::string& bytes) {
  const Table table = ReadTable(bytes, ImportColumns(id));
  Grid grid;
  grid.reserve(table.RowCount());
  for (std::size_t r = 0; r < table.RowCount(); ++r) {
    std::vector<std::string> row;
    for (std::size_t c = 0; c < table.ColumnCount(); ++c) row.emplace_back(table.Cell(r, c));
    grid.push_back(std::move(row));
  }
  return grid;
}

namespace {

// A straight end's radius is left blank, as a surveyor writes it (the readers take blank as ∞).
std::string RadiusText(double curvature) { return curvature == 0 ? "" : ExactText(1 / std::fabs(curvature)); }

// Packed D.MMSSsss… text as "D°MM′SS.sss″", the seconds' trailing zeros dropped down to two
// places: exactly the digits of the packed text, so it reads back as the same angle.
std::string DmsFromPacked(const std::string& packed) {
  const std::size_t dot = packed.find('.');
  std::string decimals = dot == std::string::npos ? std::string() : packed.substr(dot + 1);
  if (decimals.size() < 6) decimals.append(6 - decimals.size(), '0');
  std::string fraction = decimals.substr(4);
  while (fraction.size() > 2 && fraction.back() == '0') fraction.pop_back();
  return packed.substr(0, dot) + "°" + decimals.substr(0, 2) + "′" + decimals.substr(2, 2) + "." + fraction + "″";
}

}  // namespace

std::optional<std::string> PackedFromDms(const std::string& raw) {
  std::string text = TrimmedCell(raw);
  if (text.find("°") == std::string::npos) return std::nullopt;
  std::string sign;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    if (text[0] == '-') sign = "-";
    text.erase(0, 1);
  }
  const std::size_t at = text.find("°");
  const std::string degrees = TrimmedCell(text.substr(0, at));
  std::string rest = text.substr(at + std::string("°").size());
  // The field after a mark, up to the next of `marks` (or the end when none is required).
  const auto take = [&rest](std::initializer_list<const char*> marks) -> std::string {
    for (const char* mark : marks) {
      const std::size_t end = rest.find(mark);
      if (end == std::string::npos) continue;
      std::string field = TrimmedCell(rest.substr(0, end));
      rest.erase(0, end + std::string(mark).size());
      return field;
    }
    return "";
  };
  const std::string minutes = take({"′", "'"});
  const std::string seconds = take({"″", "\"", "′′", "''"});
  if (!TrimmedCell(rest).empty()) return std::nullopt;
  const auto digitsOnly = [](const std::string& s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
  };
  if (!digitsOnly(degrees) || (!minutes.empty() && !digitsOnly(minutes))) return std::nullopt;
  const std::string m = minutes.empty() ? "0" : minutes;
  if (m.size() > 2 || std::stoi(m) >= 60) return std::nullopt;
  std::string whole = seconds, fraction;
  if (const std::size_t point = seconds.find('.'); point != std::string::npos) {
    whole = seconds.substr(0, point);
    fraction = seconds.substr(point + 1);
    if (!fraction.empty() && !digitsOnly(fraction)) return std::nullopt;
  }
  if (whole.empty()) whole = "0";
  if (!digitsOnly(whole) || whole.size() > 2 || std::stoi(whole) >= 60) return std::nullopt;
  return sign + degrees + "." + (m.size() == 1 ? "0" + m : m) + (whole.size() == 1 ? "0" + whole : whole) + fraction;
}

std::vector<std::string> ImportLandXmlIntoForm(AlignmentForm& form, const std::string& bytes) {
  const LandXmlDocument document = ParseLandXml(bytes);
  const LandXmlImport imported = ImportLandXml(document, {});
  // The element table chains every element on the previous one's tangent, so it would bend
  // an angle point into a different road.
  if (!imported.anglePoints.empty()) {
    throw AlignmentError("LandXML 路线在第 " + std::to_string(imported.anglePoints.front().element) +
                         " 个线元的起点有转折点，线元表不能表示转折点；请用命令 alignment --landxml 计算。");
  }
  const Route& route = imported.route;
  Grid elements;
  for (const Element& e : route.Elements()) {
    const double k = e.startCurvature != 0 ? e.startCurvature : e.endCurvature;
    switch (e.kind) {
      case ElementKind::Line: elements.push_back({"直线", ExactText(e.length), "", "", ""}); break;
      case ElementKind::Arc:
        elements.push_back({"圆曲线", ExactText(e.length), RadiusText(e.startCurvature), "", k > 0 ? "右" : "左"});
        break;
      case ElementKind::Spiral:
        elements.push_back({"缓和曲线", ExactText(e.length), RadiusText(e.startCurvature), RadiusText(e.endCurvature),
                            k > 0 ? "右" : "左"});
        break;
    }
  }
  if (elements.empty()) throw AlignmentError("LandXML 文件的路线没有线元。");
  Grid equations;
  for (const StationEquation& eq : route.Stations().Equations()) {
    equations.push_back({ExactText(eq.back), ExactText(eq.ahead)});
  }
  Grid profile;
  if (imported.profile) {
    const auto& rows = imported.profile->Rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
      profile.push_back({ExactText(imported.profileStations[i]), ExactText(rows[i].elevation),
                         rows[i].radius > 0 ? ExactText(rows[i].radius) : ""});
    }
  }
  const Pose start = route.Elements().front().start;
  form.inputKind = InputKind::Elements;
  form.Table(TableId::Elements) = std::move(elements);
  form.Table(TableId::Equations) = std::move(equations);
  form.Table(TableId::Profile) = std::move(profile);
  form.startXText = ExactText(start.x);
  form.startYText = ExactText(start.y);
  form.degrees = false;
  // Seconds to 1e-8″, so that the azimuth reads back to well below a nanoradian.
  std::string packed;
  AppendPackedAngle(packed, start.azimuth, 8, AngleKind::Azimuth);
  form.startAzimuthText = DmsFromPacked(packed);
  form.startStationText = ExactText(route.Stations().StartStation());
  if (form.projectName.empty()) form.projectName = imported.name;
  return {EndDifferenceNote(imported)};
}

std::string ExportLandXmlText(const AlignmentForm& form) {
  std::string error;
  const std::shared_ptr<const RouteDesign> design = form.Design(true, &error);
  if (!design) throw AlignmentError(error);
  const Route& route = design->route;
  LandXmlExport alignment;
  alignment.name = form.projectName.empty() ? "alignment" : form.projectName;
  alignment.startStation = route.Stations().StartStation();
  alignment.equations = route.Stations().Equations();
  alignment.elements = route.Elements();
  if (design->profile) {
    alignment.profile = &design->profile->profile;
  }
  return LandXmlText(alignment);
}

}  // namespace survey::alignment::window
