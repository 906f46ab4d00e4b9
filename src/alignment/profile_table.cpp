#include "alignment/profile_table.h"

#include <cmath>

#include "alignment/alignment_error.h"
#include "alignment/table_reader.h"

namespace survey::alignment {

std::vector<ProfileTableRow> ReadProfileTable(std::string bytes) {
  static const std::vector<ColumnHeading> columns = {{"station", {"station", "桩号"}},
                                                  {"elevation", {"elevation", "高程"}},
                                                  {"r", {"r", "R", "竖曲线半径"}, false},
                                                  {"length_in", {"length_in", "前半长"}, false},
                                                  {"length_out", {"length_out", "后半长"}, false}};
  const Table table = ReadTable(std::move(bytes), columns, {kMaxProfileRows, "纵断面表"});
  std::vector<ProfileTableRow> rows;
  rows.reserve(table.RowCount());
  for (std::size_t i = 0; i < table.RowCount(); ++i) {
    ProfileTableRow row;
    row.line = table.LineNumber(i);
    row.station = table.Station(i, 0);
    row.elevation = table.Number(i, 1);
    row.r = table.NumberOr(i, 2, 0);
    if (std::fabs(row.elevation) > kMaxMagnitude || std::fabs(row.r) > kMaxMagnitude) {
      throw AlignmentError(LinePrefix(row.line) + "高程或竖曲线半径超出范围。");
    }
    if (row.r < 0) throw AlignmentError(LinePrefix(row.line) + "竖曲线半径不能为负。");
    row.lengthIn = table.NumberOr(i, 3, 0);
    row.lengthOut = table.NumberOr(i, 4, 0);
    if (!(row.lengthIn >= 0 && row.lengthIn <= kMaxMagnitude && row.lengthOut >= 0 && row.lengthOut <= kMaxMagnitude)) {
      throw AlignmentError(LinePrefix(row.line) + "竖曲线的前半长或后半长不能为负或超出范围。");
    }
    if ((row.lengthIn > 0) != (row.lengthOut > 0)) {
      throw AlignmentError(LinePrefix(row.line) + "不对称竖曲线须同时填写 length_in 和 length_out。");
    }
    if (row.lengthIn > 0 && row.r != 0) {
      throw AlignmentError(LinePrefix(row.line) + "竖曲线半径 r 与 length_in、length_out 只能填一种。");
    }
    rows.push_back(row);
  }
  return rows;
}

Profile ProfileOnRoute(const std::vector<ProfileTableRow>& rows, const StationLine& stations,
                       std::vector<double>& profileStations) {
  std::vector<ProfilePoint> points;
  points.reserve(rows.size());
  profileStations.clear();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::string name = "BPD" + std::to_string(i + 1);
    points.push_back({name, ProfileMeasureAtStation(stations, rows[i].station, name), rows[i].elevation, rows[i].r,
                      rows[i].lengthIn, rows[i].lengthOut});
    profileStations.push_back(rows[i].station);
  }
  return Profile(std::move(points));
}

}  // namespace survey::alignment
