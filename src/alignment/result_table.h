// The rows of one run kept for showing: the typed rows of one query with their column keys and
// the format the run was asked for. The window's grids, plan marks and printed tables read
// their cells from here; Csv() is the command line's output for the same rows.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "alignment/point_design.h"
#include "alignment/route_rows.h"
#include "alignment/text_format.h"

namespace survey::alignment {

struct CellFormat {
  int decimals = 3;
  AngleUnit angles = AngleUnit::PackedDms;
};

class ResultTable {
 public:
  enum class Kind { None, Curves, Stakes, Point, Locate, Stakeout, Profile };

  ResultTable() = default;
  ResultTable(Kind kind, std::vector<std::string> keys, CellFormat format) : kind_(kind), keys_(std::move(keys)), format_(format) {}
  // The located rows' names view into locatedNames: a copy would view the original's; a move
  // keeps the strings where they are.
  ResultTable(const ResultTable&) = delete;
  ResultTable& operator=(const ResultTable&) = delete;
  ResultTable(ResultTable&&) = default;
  ResultTable& operator=(ResultTable&&) = default;

  Kind RowKind() const { return kind_; }
  const std::vector<std::string>& Keys() const { return keys_; }
  const CellFormat& Format() const { return format_; }
  std::size_t RowCount() const;
  // The row's cells as the command line prints them.
  std::vector<std::string> Cells(std::size_t row) const;
  // The row's cells as a surveyor reads them: stations K10+469.825, angles 49°23′55.34″ (or
  // 49.39870556° in decimal degrees), 左/右, 正常/超出路线; numbers as in Cells.
  std::vector<std::string> DisplayCells(std::size_t row) const;
  // Header line and rows, LF, exactly the command line's output.
  std::string Csv() const;

  // Filled by the run; the flags say which optional columns the keys have.
  bool withProfile = false, withZ = false;
  std::vector<CurveTableRow> curves;
  std::vector<ElementCurveRow> elementCurves;  // a route of elements: used instead of curves when set
  std::vector<StakeRow> stakes;
  std::vector<StationPoint> points;
  std::vector<LocateRow> located;
  std::deque<std::string> locatedNames;  // what the located rows' names view
  // Located on the cross-section (withSection, and withSlopes for the slope stakes): one per
  // located row, its columns after the row's.
  bool withSection = false, withSlopes = false;
  std::vector<PointDesign> locatedDesigns;
  std::vector<StakeoutRow> stakeout;
  std::vector<ProfileTableLine> profile;

 private:
  Kind kind_ = Kind::None;
  std::vector<std::string> keys_;
  CellFormat format_;
};

}  // namespace survey::alignment
