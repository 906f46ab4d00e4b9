// Tables the surveyor prepares in a spreadsheet or text editor, read from their bytes.
//
// Encoding: UTF-8 with or without a byte-order mark, or GBK (read as GB18030, its superset),
// which is what Chinese spreadsheet software saves; a file that is valid UTF-8 is UTF-8.
// Cells are separated by commas, or by tabs when the header line holds a tab; a cell may be
// quoted ("a,b", inner quotes doubled). Blank lines and lines whose first non-blank character
// is "#" are skipped. The first other line is the header: English or Chinese column names, in
// any order, optional columns may be left out, an unknown or repeated name is refused. A data
// row may end early (the missing cells are empty) but may not be longer than the header.
//
// Every refusal is an AlignmentError whose message names the line ("第 12 行：…"); lines are
// counted in the file as it is, from 1, blank and comment lines included.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "alignment/element.h"
#include "alignment/jd_method.h"

namespace survey::alignment {

// No line of a table comes near this; a longer one is refused before it is split.
inline constexpr std::size_t kMaxLineBytes = 64 * 1024;

// The file's text as UTF-8 (byte-order mark removed), line ends LF or CR LF: a lone CR (the
// line end of old Macintosh editors) becomes LF. Refuses, naming the line, bytes that are
// neither UTF-8 nor GBK.
std::string DecodeTableText(std::string bytes);

// The decoded text of a table, and the cells whose doubled quotes had to be undone; the
// cells of a table are views into it.
struct TableText {
  std::string text;
  std::deque<std::string> unquoted;
};

// One column a reader expects: its key (the English name, used in messages of the program)
// and the names the header may use for it, compared without regard to ASCII case and
// surrounding blanks.
struct ColumnHeading {
  std::string key;
  std::vector<std::string> names;
  bool required = true;
};

// The most data rows of a table the program reads; the refusal comes at the first row beyond
// it, before the rest of the file is split, so that memory stays bounded by the row count.
inline constexpr std::size_t kMaxProfileRows = 100'000;   // grade change points
inline constexpr std::size_t kMaxPointRows = 1'000'000;   // surveyed points to locate
struct RowCap {
  std::size_t rows = kMaxPointRows;
  std::string_view title = "表格";  // "纵断面表 超过 100000 行"
};

// A table read against a list of columns: the cells of each data row in the order of the
// column list (empty for a column the header lacks or a row that ends early). The cells are
// views into the table's own text, valid as long as any copy of the table lives.
class Table {
 public:
  std::size_t RowCount() const { return lines_.size(); }
  std::size_t ColumnCount() const { return columns_; }
  std::string_view Cell(std::size_t row, std::size_t column) const { return cells_[row * columns_ + column]; }
  std::span<const std::string_view> Row(std::size_t row) const {
    return {cells_.data() + row * columns_, columns_};
  }
  int LineNumber(std::size_t row) const { return lines_[row]; }
  // Whether the header named the column.
  bool HasColumn(std::size_t column) const { return present_[column]; }

  // Typed cells; a refusal names the line and the column key ("第 4 行：r 不是数字：“abc”。").
  double Number(std::size_t row, std::size_t column) const;
  // Blank -> `blank`.
  double NumberOr(std::size_t row, std::size_t column, double blank) const;
  double Station(std::size_t row, std::size_t column) const;

 private:
  friend Table ReadTable(std::string bytes, const std::vector<ColumnHeading>& columns, RowCap cap);
  std::shared_ptr<const TableText> text_;
  std::vector<std::string_view> cells_;
  std::vector<int> lines_;
  std::vector<bool> present_;
  std::vector<std::string> headerNames_;  // as the header spelled them, for messages
  std::size_t columns_ = 0;
};

// Decodes and splits the bytes; refuses a file without a header or without data rows, and
// one with more data rows than the cap.
Table ReadTable(std::string bytes, const std::vector<ColumnHeading>& columns, RowCap cap = {});

// The message prefix that names a line: "第 12 行：".
std::string LinePrefix(int line);

// --- Typed tables --------------------------------------------------------------------------

// name,x,y,r,ls1,ls2 (点名,X,Y,R,Ls1,Ls2): the start point, the JDs, the end point. R, Ls1
// and Ls2 of the first and last rows are not read; a blank Ls1 is 0 and a blank Ls2 equals
// Ls1. Values are checked for what a table can know (numbers, R > 0, Ls >= 0, sizes); the
// geometry is the route builder's to refuse.
std::vector<JdInput> ReadJdTable(std::string bytes);

// type,length,r_start,r_end,turn (线元,长度,起点半径,终点半径,转向): type line/arc/spiral
// (直线/圆曲线/缓和曲线), radius blank, 0 or "inf" for a straight end, turn left/right (左/右).
std::vector<ElementShape> ReadElementTable(std::string bytes);

// name,x,y (点名,X,Y). The names are views into `text`, which the table keeps alive.
struct PointRow {
  std::string_view name;
  double x = 0, y = 0;
  int line = 0;
};
struct PointTable {
  std::shared_ptr<const TableText> text;
  std::vector<PointRow> rows;
};
// At most kMaxPointRows rows.
PointTable ReadPointTable(std::string bytes);

// The largest coordinate, length, radius or station magnitude the tables and options take
// (a million kilometres): far beyond any route, and small enough that sums along a route keep
// far finer than a millimetre.
inline constexpr double kMaxMagnitude = 1e9;

}  // namespace survey::alignment
