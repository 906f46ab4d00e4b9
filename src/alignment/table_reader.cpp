#include "alignment/table_reader.h"


#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>

#include "alignment/alignment_error.h"
#include "alignment/route.h"
#include "alignment/text_format.h"
#include "common/gbk_text.h"
#include "common/text_blanks.h"
#include "common/message_text.h"

namespace survey::alignment {

namespace {

[[noreturn]] void Refuse(int line, const std::string& what) { throw AlignmentError(LinePrefix(line) + what, line); }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }


std::string AsciiLower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// The line (from 1) that holds byte `at`.
int LineOf(std::string_view text, std::size_t at) {
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
}

// GBK to UTF-8; refuses a bad byte with its line instead of replacing it.
std::string Gb18030ToUtf8(std::string_view in) {
  GbkConversion converted = DecodeGbk(in);
  if (converted.status == GbkConversion::Status::NoConverter) {
    throw AlignmentError("无法读取 GBK 编码的文件：系统缺少 GB18030 转换。");
  }
  if (!converted.ok()) {
    Refuse(converted.badLine, "既不是 UTF-8 也不是 GBK 编码的文字（第 " + std::to_string(converted.badColumn + 1) + " 个字节）。");
  }
  return std::move(converted.text);
}

// A cell's text for a message: at most 40 characters, control characters escaped.
std::string Quoted(std::string_view cell) {
  std::size_t chars = 0, at = 0;
  while (at < cell.size() && chars < 40) {
    ++at;
    while (at < cell.size() && (static_cast<unsigned char>(cell[at]) & 0xC0) == 0x80) ++at;
    ++chars;
  }
  return "“" + EscapeControls(cell.substr(0, at)) + (at < cell.size() ? "…" : "") + "”";
}

// Splits one line into cells (views into the line, or into `store` for a quoted cell with
// doubled quotes).
void SplitLine(std::string_view line, char separator, int lineNumber, std::deque<std::string>& store,
               std::vector<std::string_view>& cells) {
  cells.clear();
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && line[i] != separator && IsBlank(line[i])) ++i;
    if (i < line.size() && line[i] == '"') {
      std::size_t j = i + 1;
      bool doubled = false;
      while (true) {
        const std::size_t q = line.find('"', j);
        if (q == std::string_view::npos) Refuse(lineNumber, "引号没有配对。");
        if (q + 1 < line.size() && line[q + 1] == '"') {
          doubled = true;
          j = q + 2;
          continue;
        }
        j = q;
        break;
      }
      std::string_view inner = line.substr(i + 1, j - i - 1);
      if (doubled) {
        std::string unquoted;
        for (std::size_t k = 0; k < inner.size(); ++k) {
          unquoted.push_back(inner[k]);
          if (inner[k] == '"') ++k;
        }
        store.push_back(std::move(unquoted));
        inner = store.back();
      }
      cells.push_back(inner);
      i = j + 1;
      while (i < line.size() && line[i] != separator && IsBlank(line[i])) ++i;
      if (i < line.size() && line[i] != separator) Refuse(lineNumber, "引号后面应是分隔符。");
    } else {
      const std::size_t end = std::min(line.find(separator, i), line.size());
      cells.push_back(TrimBlanks(line.substr(i, end - i)));
      i = end;
    }
    if (i >= line.size()) break;
    ++i;  // the separator
  }
}

// Reads the header and calls `visit(line, cells)` for every data row, cells in the order of
// `columns`.
class RowReader {
 public:
  RowReader(std::shared_ptr<TableText> text, const std::vector<ColumnHeading>& columns)
      : text_(std::move(text)), columns_(columns) {}

  std::vector<bool> present;
  std::vector<std::string> headerNames;

  void Read(const std::function<void(int, std::span<const std::string_view>)>& visit) {
    const std::string_view all = text_->text;
    std::vector<std::string_view> raw;
    std::vector<std::string_view> row(columns_.size());
    bool haveHeader = false;
    int line = 0;
    for (std::size_t start = 0; start < all.size();) {
      std::size_t end = all.find('\n', start);
      if (end == std::string_view::npos) end = all.size();
      ++line;
      std::string_view text = all.substr(start, end - start);
      start = end + 1;
      if (text.size() > kMaxLineBytes) {
        Refuse(line, "一行超过 " + std::to_string(kMaxLineBytes) + " 个字节，不是表格的一行。");
      }
      if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
      const std::string_view trimmed = TrimBlanks(text);
      if (trimmed.empty() || trimmed.front() == '#') continue;
      if (!haveHeader) {
        separator_ = text.find('\t') != std::string_view::npos ? '\t' : ',';
        SplitLine(text, separator_, line, text_->unquoted, raw);
        ReadHeader(raw, line);
        haveHeader = true;
        continue;
      }
      SplitLine(text, separator_, line, text_->unquoted, raw);
      std::fill(row.begin(), row.end(), std::string_view());
      for (std::size_t k = 0; k < raw.size(); ++k) {
        const int target = k < slots_.size() ? slots_[k] : -1;
        if (target >= 0) {
          row[static_cast<std::size_t>(target)] = raw[k];
        } else if (!raw[k].empty()) {
          Refuse(line, k < slots_.size() ? "第 " + std::to_string(k + 1) + " 列有数据但表头没有列名。"
                                         : "单元格比表头多：" + Quoted(raw[k]) + "。");
        }
      }
      visit(line, row);
      ++rows_;
    }
    if (!haveHeader) throw AlignmentError("表格是空的：没有表头行。");
    if (rows_ == 0) Refuse(headerLine_, "表头后面没有数据行。");
  }

 private:
  void ReadHeader(const std::vector<std::string_view>& raw, int line) {
    headerLine_ = line;
    present.assign(columns_.size(), false);
    headerNames.resize(columns_.size());
    for (std::size_t c = 0; c < columns_.size(); ++c) headerNames[c] = columns_[c].key;
    slots_.assign(raw.size(), -1);
    for (std::size_t k = 0; k < raw.size(); ++k) {
      if (raw[k].empty()) continue;
      const std::string name = AsciiLower(raw[k]);
      int found = -1;
      for (std::size_t c = 0; c < columns_.size() && found < 0; ++c) {
        for (const std::string& candidate : columns_[c].names) {
          if (AsciiLower(candidate) == name) found = static_cast<int>(c);
        }
      }
      if (found < 0) {
        Refuse(line, "表头的列名" + Quoted(raw[k]) + "不认识；表格的第一行须为表头，列名为 " + Expected() + "。");
      }
      if (present[static_cast<std::size_t>(found)]) Refuse(line, "表头中" + Quoted(raw[k]) + "出现了两次。");
      present[static_cast<std::size_t>(found)] = true;
      headerNames[static_cast<std::size_t>(found)] = std::string(raw[k]);
      slots_[k] = found;
    }
    for (std::size_t c = 0; c < columns_.size(); ++c) {
      if (columns_[c].required && !present[c]) {
        Refuse(line, "表头缺少 " + columns_[c].key + " 列；列名为 " + Expected() + "。");
      }
    }
  }

  // "name,x,y（点名,X,Y）"
  std::string Expected() const {
    std::string english, chinese;
    for (const ColumnHeading& c : columns_) {
      english += (english.empty() ? "" : ",") + c.names.front();
      chinese += (chinese.empty() ? "" : ",") + c.names.back();
    }
    return english + "（或 " + chinese + "）";
  }

  std::shared_ptr<TableText> text_;
  const std::vector<ColumnHeading>& columns_;
  char separator_ = ',';
  std::vector<int> slots_;  // header position -> column index, -1 for an unnamed column
  int headerLine_ = 0;
  std::size_t rows_ = 0;
};

std::shared_ptr<TableText> Decode(std::string bytes) {
  auto text = std::make_shared<TableText>();
  text->text = DecodeTableText(std::move(bytes));
  return text;
}

// Typed cells of the typed tables.
struct CellReader {
  int line;
  const std::vector<std::string>& names;  // column names as the header spelled them

  double Number(std::span<const std::string_view> row, std::size_t column) const {
    const std::string_view cell = row[column];
    if (cell.empty()) Refuse(line, names[column] + " 不能为空。");
    const std::optional<double> v = ReadNumber(cell);
    if (!v) Refuse(line, names[column] + " 不是数字：" + Quoted(cell) + "。");
    if (std::fabs(*v) > kMaxMagnitude) Refuse(line, names[column] + " 超出范围（绝对值不得超过 1e9）：" + Quoted(cell) + "。");
    return *v;
  }
  double NumberOr(std::span<const std::string_view> row, std::size_t column, double blank) const {
    return row[column].empty() ? blank : Number(row, column);
  }
  double NonNegative(std::span<const std::string_view> row, std::size_t column, double blank) const {
    const double v = NumberOr(row, column, blank);
    if (v < 0) Refuse(line, names[column] + " 不能为负：" + Quoted(row[column]) + "。");
    return v;
  }
  // 1/R of a radius cell: blank, 0, "inf" or "∞" for a straight end.
  double Curvature(std::span<const std::string_view> row, std::size_t column) const {
    const std::string_view cell = row[column];
    const std::string lower = AsciiLower(cell);
    if (cell.empty() || lower == "inf" || lower == "+inf" || lower == "infinity" || cell == "∞") return 0;
    const double r = NonNegative(row, column, 0);
    return r == 0 ? 0 : 1 / r;
  }
};

}  // namespace

std::string LinePrefix(int line) { return "第 " + std::to_string(line) + " 行："; }

namespace {

// No GB18030 byte of a multi-byte character is a CR, so this holds for either encoding.
void LoneCrToLf(std::string& text) {
  for (std::size_t at = text.find('\r'); at != std::string::npos; at = text.find('\r', at + 1)) {
    if (at + 1 == text.size() || text[at + 1] != '\n') text[at] = '\n';
  }
}

}  // namespace

std::string DecodeTableText(std::string bytes) {
  const bool bom = bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
  if (bom) bytes.erase(0, 3);
  LoneCrToLf(bytes);
  const std::size_t bad = FirstInvalidUtf8(bytes);
  if (bad == std::string::npos) return bytes;
  if (bom) Refuse(LineOf(bytes, bad), "文件标明为 UTF-8，但此处的文字不是有效的 UTF-8。");
  return Gb18030ToUtf8(bytes);
}

double Table::Number(std::size_t row, std::size_t column) const {
  return CellReader{lines_[row], headerNames_}.Number(Row(row), column);
}

double Table::NumberOr(std::size_t row, std::size_t column, double blank) const {
  return CellReader{lines_[row], headerNames_}.NumberOr(Row(row), column, blank);
}

double Table::Station(std::size_t row, std::size_t column) const {
  const std::string_view cell = Cell(row, column);
  if (cell.empty()) Refuse(lines_[row], headerNames_[column] + " 不能为空。");
  const std::optional<double> v = ReadStation(cell);
  if (!v) Refuse(lines_[row], headerNames_[column] + " 不是桩号（如 K12+345.678 或 12345.678）：" + Quoted(cell) + "。");
  if (std::fabs(*v) > kMaxMagnitude) Refuse(lines_[row], headerNames_[column] + " 超出范围：" + Quoted(cell) + "。");
  return *v;
}

Table ReadTable(std::string bytes, const std::vector<ColumnHeading>& columns, RowCap cap) {
  Table table;
  auto text = Decode(std::move(bytes));
  RowReader reader(text, columns);
  table.columns_ = columns.size();
  reader.Read([&](int line, std::span<const std::string_view> row) {
    if (table.lines_.size() == cap.rows) Refuse(line, std::string(cap.title) + "超过 " + std::to_string(cap.rows) + " 行。");
    table.cells_.insert(table.cells_.end(), row.begin(), row.end());
    table.lines_.push_back(line);
  });
  table.present_ = reader.present;
  table.headerNames_ = reader.headerNames;
  table.text_ = std::move(text);
  return table;
}

namespace {

enum JdColumn { kJdName, kJdX, kJdY, kJdR, kJdLs1, kJdLs2 };
const std::vector<ColumnHeading>& JdColumns() {
  static const std::vector<ColumnHeading> columns = {
      {"name", {"name", "点名"}}, {"x", {"x", "X"}}, {"y", {"y", "Y"}}, {"r", {"r", "R"}},
      {"ls1", {"ls1", "Ls1"}, false}, {"ls2", {"ls2", "Ls2"}, false}};
  return columns;
}

enum ElementColumn { kElType, kElLength, kElRStart, kElREnd, kElTurn };
const std::vector<ColumnHeading>& ElementColumns() {
  static const std::vector<ColumnHeading> columns = {{"type", {"type", "线元"}},
                                                  {"length", {"length", "长度"}},
                                                  {"r_start", {"r_start", "起点半径"}, false},
                                                  {"r_end", {"r_end", "终点半径"}, false},
                                                  {"turn", {"turn", "转向"}, false}};
  return columns;
}

enum PointColumn { kPtName, kPtX, kPtY };
const std::vector<ColumnHeading>& PointColumns() {
  // The height column of the transform program's output is read past, not refused.
  static const std::vector<ColumnHeading> columns = {{"name", {"name", "点名"}, false}, {"x", {"x", "X"}}, {"y", {"y", "Y"}}, {"z", {"z", "h", "高程"}, false}};
  return columns;
}

}  // namespace

std::vector<JdInput> ReadJdTable(std::string bytes) {
  auto text = Decode(std::move(bytes));
  RowReader reader(text, JdColumns());
  std::vector<JdInput> rows;
  std::vector<std::array<std::string_view, 3>> curveCells;  // r, ls1, ls2 as typed (views into text)
  reader.Read([&](int line, std::span<const std::string_view> row) {
    // The route builder refuses such a table anyway; stopping here spares reading the rest.
    if (rows.size() == kMaxJdRows) Refuse(line, "JD 表超过 " + std::to_string(kMaxJdRows) + " 行。");
    const CellReader cells{line, reader.headerNames};
    JdInput jd;
    jd.name = std::string(row[kJdName]);
    jd.x = cells.Number(row, kJdX);
    jd.y = cells.Number(row, kJdY);
    jd.line = line;
    rows.push_back(std::move(jd));
    curveCells.push_back({row[kJdR], row[kJdLs1], row[kJdLs2]});
  });
  for (std::size_t i = 0; i < rows.size(); ++i) {
    JdInput& jd = rows[i];
    const bool first = i == 0, last = i + 1 == rows.size();
    if (jd.name.empty()) jd.name = first ? "QD" : last ? "ZD" : "JD" + std::to_string(i);
    if (first || last) continue;
    const std::array<std::string_view, 6> row{{{}, {}, {}, curveCells[i][0], curveCells[i][1], curveCells[i][2]}};
    const CellReader cells{jd.line, reader.headerNames};
    jd.r = cells.Number(row, kJdR);
    if (!(jd.r > 0)) Refuse(jd.line, jd.name + "：" + reader.headerNames[kJdR] + " 必须大于 0。");
    jd.ls1 = cells.NonNegative(row, kJdLs1, 0);
    jd.ls2 = cells.NonNegative(row, kJdLs2, jd.ls1);
  }
  return rows;
}

std::vector<ElementShape> ReadElementTable(std::string bytes) {
  auto text = Decode(std::move(bytes));
  RowReader reader(text, ElementColumns());
  std::vector<ElementShape> shapes;
  reader.Read([&](int line, std::span<const std::string_view> row) {
    if (shapes.size() == kMaxElements) Refuse(line, "线元表超过 " + std::to_string(kMaxElements) + " 行。");
    const CellReader cells{line, reader.headerNames};
    const std::string type = AsciiLower(row[kElType]);
    ElementShape shape{};
    shape.line = line;
    if (type == "line" || type == "直线") {
      shape.kind = ElementKind::Line;
    } else if (type == "arc" || type == "圆曲线") {
      shape.kind = ElementKind::Arc;
    } else if (type == "spiral" || type == "缓和曲线") {
      shape.kind = ElementKind::Spiral;
    } else {
      Refuse(line, "线元类型" + Quoted(row[kElType]) + "不认识；应为 line、arc、spiral（直线、圆曲线、缓和曲线）。");
    }
    shape.length = cells.Number(row, kElLength);
    if (!(shape.length > 0)) Refuse(line, reader.headerNames[kElLength] + " 必须大于 0：" + Quoted(row[kElLength]) + "。");
    const double k1 = cells.Curvature(row, kElRStart);
    const double k2 = cells.Curvature(row, kElREnd);
    double sign = 0;
    if (shape.kind != ElementKind::Line) {
      const std::string turn = AsciiLower(row[kElTurn]);
      if (turn == "right" || turn == "右" || turn == "r") {
        sign = 1;
      } else if (turn == "left" || turn == "左" || turn == "l") {
        sign = -1;
      } else {
        Refuse(line, "转向" + Quoted(row[kElTurn]) + "应为 left 或 right（左 或 右）。");
      }
    }
    switch (shape.kind) {
      case ElementKind::Line:
        if (k1 != 0 || k2 != 0) Refuse(line, "直线的半径须为空、0 或 inf。");
        shape.startCurvature = shape.endCurvature = 0;
        break;
      case ElementKind::Arc:
        if (k1 == 0) Refuse(line, "圆曲线须有起点半径。");
        if (!row[kElREnd].empty() && k2 != k1) Refuse(line, "圆曲线的终点半径须与起点半径相同（或留空）。");
        shape.startCurvature = shape.endCurvature = sign * k1;
        break;
      case ElementKind::Spiral:
        if (k1 == k2) Refuse(line, "缓和曲线两端的半径须不同（相同时为直线或圆曲线）。");
        shape.startCurvature = sign * k1;
        shape.endCurvature = sign * k2;
        break;
    }
    shapes.push_back(shape);
  });
  return shapes;
}

PointTable ReadPointTable(std::string bytes) {
  auto text = Decode(std::move(bytes));
  RowReader reader(text, PointColumns());
  PointTable table;
  reader.Read([&](int line, std::span<const std::string_view> row) {
    if (table.rows.size() == kMaxPointRows) Refuse(line, "点表超过 " + std::to_string(kMaxPointRows) + " 行。");
    const CellReader cells{line, reader.headerNames};
    table.rows.push_back({row[kPtName], cells.Number(row, kPtX), cells.Number(row, kPtY), line});
  });
  table.text = std::move(text);
  return table;
}

}  // namespace survey::alignment
