#include "alignment/section/section_tables.h"

#include <cmath>

#include "alignment/alignment_error.h"
#include "alignment/table_reader.h"

namespace survey::alignment::section {

namespace {

// The table reader's refusals name the line; these add the file in front.
template <class F>
auto NamingFile(std::string_view fileName, F&& read) {
  try {
    return read();
  } catch (const AlignmentError& e) {
    throw AlignmentError(FilePrefix(fileName) + e.what(), e.Line());
  }
}

[[noreturn]] void Refuse(int line, const std::string& what) { throw AlignmentError(LinePrefix(line) + what, line); }

std::string Quoted(std::string_view cell) { return "“" + std::string(cell) + "”"; }

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

enum SectionColumn { kSide, kPart, kWidth, kSlope, kSuper, kWiden, kMedian };
enum SideColumn { kStation, kLeft, kRight };

}  // namespace

const std::vector<ColumnHeading>& TypicalSectionColumns() {
  static const std::vector<ColumnHeading> columns = {
      {"side", {"side", "侧"}},           {"part", {"part", "名称"}},
      {"width", {"width", "宽度"}},       {"slope", {"slope", "横坡"}},
      {"super", {"super", "超高"}, false}, {"widen", {"widen", "加宽"}, false},
      {"median", {"median", "中央分隔带"}, false}};
  return columns;
}

const std::vector<ColumnHeading>& SideValuesColumns() {
  static const std::vector<ColumnHeading> columns = {
      {"station", {"station", "桩号"}}, {"left", {"left", "左"}}, {"right", {"right", "右"}}};
  return columns;
}

namespace {

// A 0/1 cell; blank is 0.
bool Flag(const Table& table, std::size_t row, std::size_t column, std::string_view key) {
  const std::string_view cell = table.Cell(row, column);
  if (cell.empty() || cell == "0" || cell == "否") return false;
  if (cell == "1" || cell == "是") return true;
  Refuse(table.LineNumber(row), std::string(key) + " 应为 1 或 0（是 或 否）：" + Quoted(cell) + "。");
}

void CheckSlope(double slope, int line, std::string_view what, std::string_view cell) {
  if (std::fabs(slope) > kMaxCrossSlopePercent) {
    Refuse(line, std::string(what) + " 超出 ±20 %：" + Quoted(cell) + "（横坡以百分数填写，如 -2）。");
  }
}

// A side's parts once the table is read: the default widening part, one widen part at most.
void SettleSide(std::vector<SectionPart>& parts, std::string_view sideName) {
  const SectionPart* widened = nullptr;
  for (const SectionPart& part : parts) {
    if (!part.widen) continue;
    if (widened != nullptr) {
      Refuse(part.line, std::string(sideName) + "侧有两个加宽的部分：“" + widened->name + "”（第 " +
                            std::to_string(widened->line) + " 行）和“" + part.name + "”。");
    }
    widened = &part;
  }
  if (widened != nullptr) return;
  for (SectionPart& part : parts) {
    if (part.super) {
      part.widen = true;
      return;
    }
  }
}

std::vector<SideValuesRow> ReadSideValues(std::string bytes, std::string_view fileName, bool slopes) {
  return NamingFile(fileName, [&] {
    const Table table = ReadTable(std::move(bytes), SideValuesColumns());
    std::vector<SideValuesRow> rows;
    rows.reserve(table.RowCount());
    for (std::size_t i = 0; i < table.RowCount(); ++i) {
      SideValuesRow row;
      row.line = table.LineNumber(i);
      row.station = table.Station(i, kStation);
      row.stationText = std::string(table.Cell(i, kStation));
      row.left = table.Number(i, kLeft);
      row.right = table.Number(i, kRight);
      if (slopes) {
        CheckSlope(row.left, row.line, "左侧超高横坡", table.Cell(i, kLeft));
        CheckSlope(row.right, row.line, "右侧超高横坡", table.Cell(i, kRight));
      }
      rows.push_back(std::move(row));
    }
    return rows;
  });
}

}  // namespace

std::string FilePrefix(std::string_view fileName) { return "“" + std::string(fileName) + "” "; }

TypicalSection ReadTypicalSection(std::string bytes, std::string_view fileName) {
  return NamingFile(fileName, [&] {
    const Table table = ReadTable(std::move(bytes), TypicalSectionColumns());
    TypicalSection section;
    for (std::size_t i = 0; i < table.RowCount(); ++i) {
      const int line = table.LineNumber(i);
      const std::string side = Lower(table.Cell(i, kSide));
      std::vector<SectionPart>* parts = nullptr;
      if (side == "left" || side == "l" || side == "左") {
        parts = &section.left;
      } else if (side == "right" || side == "r" || side == "右") {
        parts = &section.right;
      } else {
        Refuse(line, "侧" + Quoted(table.Cell(i, kSide)) + "应为 left 或 right（左 或 右）。");
      }
      SectionPart part;
      part.line = line;
      part.name = std::string(table.Cell(i, kPart));
      if (part.name.empty()) Refuse(line, "名称不能为空。");
      part.width = table.Number(i, kWidth);
      if (!(part.width > 0)) Refuse(line, "宽度 必须大于 0：" + Quoted(table.Cell(i, kWidth)) + "。");
      part.slope = table.Number(i, kSlope);
      CheckSlope(part.slope, line, "横坡", table.Cell(i, kSlope));
      part.super = Flag(table, i, kSuper, "超高");
      part.widen = Flag(table, i, kWiden, "加宽");
      part.median = Flag(table, i, kMedian, "中央分隔带") || part.name == "中央分隔带";
      if (part.median && !parts->empty()) {
        Refuse(line, "中央分隔带“" + part.name + "”须是该侧的第一个部分（各部分自设计线向外排列）。");
      }
      parts->push_back(std::move(part));
    }
    SettleSide(section.left, "左");
    SettleSide(section.right, "右");
    return section;
  });
}

std::vector<SideValuesRow> ReadSuperelevationTable(std::string bytes, std::string_view fileName) {
  return ReadSideValues(std::move(bytes), fileName, true);
}

std::vector<SideValuesRow> ReadWideningTable(std::string bytes, std::string_view fileName) {
  return ReadSideValues(std::move(bytes), fileName, false);
}

}  // namespace survey::alignment::section
