// The program's CSV: fields into one buffer that goes to the stream in large blocks, and the
// header and the cells of every kind of row the queries answer with.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "alignment/cli/command.h"
#include "alignment/route_rows.h"

namespace survey::alignment::cli {

// Fields are separated by commas as they are added; EndRow() ends the line with LF. Nothing
// reaches the stream before Flush() or a full block, so a command that refuses before its first
// row leaves the output empty.
class CsvWriter {
 public:
  CsvWriter(std::ostream& out, OutputFormat format);
  CsvWriter(const CsvWriter&) = delete;
  CsvWriter& operator=(const CsvWriter&) = delete;

  void Text(std::string_view text);  // quoted when needed
  void Number(double value);         // `decimals` places
  void Number(const std::optional<double>& value);  // empty when absent
  void Angle(double radians, AngleKind kind = AngleKind::Angle);
  void Percent(double ratio);        // percent with four places, whatever `decimals`
  void Empty();
  void EndRow();
  void Flush();
  const OutputFormat& Format() const { return format_; }

  void Header(std::initializer_list<const char*> names);

  // Rows of the queries; each Header matches its Row.
  void CurveHeader();
  void Row(const CurveTableRow& row);
  // x_D,y_D for each offset as the line typed it; the elevation columns when `withProfile`.
  void StakeHeader(const std::vector<std::string>& offsetLabels, bool withProfile);
  void Row(const StakeRow& row, bool withProfile);
  void PointHeader(bool withProfile);
  void Row(const StationPoint& row, bool withProfile);
  // The elevation columns when `withProfile`, and dz after them when `withZ`.
  void LocateHeader(bool withProfile, bool withZ);
  void Row(const LocateRow& row, bool withProfile, bool withZ);
  void StakeoutHeader();
  void Row(const StakeoutRow& row);
  void ProfileHeader();
  void Row(const ProfileTableLine& row);

 private:
  void Separate();
  void Elevation(const std::optional<DesignElevation>& elevation);
  std::ostream& out_;
  OutputFormat format_;
  std::string buffer_;
  bool rowStart_ = true;
};

}  // namespace survey::alignment::cli
