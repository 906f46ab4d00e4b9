#include "alignment/cli/csv_writer.h"

namespace survey::alignment::cli {

namespace {
// Blocks of this size go to the stream at once.
constexpr std::size_t kFlushBytes = 1 << 16;
}  // namespace

CsvWriter::CsvWriter(std::ostream& out, OutputFormat format) : out_(out), format_(format) {
  buffer_.reserve(kFlushBytes + 4096);
}

void CsvWriter::Separate() {
  if (!rowStart_) buffer_.push_back(',');
  rowStart_ = false;
}

void CsvWriter::Text(std::string_view text) {
  Separate();
  AppendCsvField(buffer_, text);
}

void CsvWriter::Number(double value) {
  Separate();
  AppendFixed(buffer_, value, format_.decimals);
}

void CsvWriter::Number(const std::optional<double>& value) {
  if (value) {
    Number(*value);
  } else {
    Empty();
  }
}

void CsvWriter::Angle(double radians, AngleKind kind) {
  Separate();
  AppendAngle(buffer_, radians, format_.angles, kind);
}

void CsvWriter::Percent(double ratio) {
  Separate();
  AppendFixed(buffer_, ratio * 100, 4);
}

void CsvWriter::Empty() { Separate(); }

void CsvWriter::EndRow() {
  buffer_.push_back('\n');
  rowStart_ = true;
  if (buffer_.size() >= kFlushBytes) Flush();
}

void CsvWriter::Flush() {
  out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  buffer_.clear();
}

void CsvWriter::Header(std::initializer_list<const char*> names) {
  for (const char* name : names) Text(name);
}

void CsvWriter::Elevation(const std::optional<DesignElevation>& elevation) {
  if (!elevation) {
    Empty();
    Empty();
    Empty();
    return;
  }
  Number(elevation->gradeElevation);
  Number(elevation->elevation);
  Percent(elevation->grade);
}

void CsvWriter::CurveHeader() {
  Header({"name", "x", "y", "turn", "alpha", "r", "ls1", "ls2", "t1", "t2", "l", "e", "j", "zh", "hy", "qz", "yh", "hz",
          "straight_after"});
  EndRow();
}

void CsvWriter::Row(const CurveTableRow& row) {
  Text(row.name);
  Number(row.x);
  Number(row.y);
  Text(row.turnRight ? "right" : "left");
  Angle(row.alpha);
  for (double v : {row.r, row.ls1, row.ls2, row.t1, row.t2, row.l, row.e, row.j}) Number(v);
  Number(row.zh);
  Number(row.hy);
  Number(row.qz);
  Number(row.yh);
  Number(row.hz);
  Number(row.straightAfter);
  EndRow();
}

void CsvWriter::StakeHeader(const std::vector<std::string>& offsetLabels, bool withProfile) {
  Header({"name", "station", "x", "y", "azimuth"});
  for (const std::string& label : offsetLabels) {
    Text("x_" + label);
    Text("y_" + label);
  }
  if (withProfile) Header({"grade_elevation", "elevation", "grade"});
  EndRow();
}

void CsvWriter::Row(const StakeRow& row, bool withProfile) {
  Text(row.name);
  Number(row.station);
  Number(row.x);
  Number(row.y);
  Angle(row.azimuth, AngleKind::Azimuth);
  for (const SidePoint& side : row.sides) {
    Number(side.x);
    Number(side.y);
  }
  if (withProfile) Elevation(row.elevation);
  EndRow();
}

void CsvWriter::PointHeader(bool withProfile) {
  Header({"station", "x", "y", "azimuth"});
  if (withProfile) Header({"grade_elevation", "elevation", "grade"});
  EndRow();
}

void CsvWriter::Row(const StationPoint& row, bool withProfile) {
  Number(row.station);
  Number(row.x);
  Number(row.y);
  Angle(row.azimuth, AngleKind::Azimuth);
  if (withProfile) Elevation(row.elevation);
  EndRow();
}

void CsvWriter::LocateHeader(bool withProfile, bool withZ) {
  Header({"name", "x", "y", "station", "offset", "status"});
  if (withProfile) Header({"grade_elevation", "elevation", "grade"});
  if (withProfile && withZ) Text("dz");
  EndRow();
}

void CsvWriter::Row(const LocateRow& row, bool withProfile, bool withZ) {
  Text(row.name);
  Number(row.x);
  Number(row.y);
  if (row.inside) {
    Number(row.station);
    Number(row.offset);
    Text("ok");
  } else {
    Empty();
    Empty();
    Text("outside");
  }
  if (withProfile) Elevation(row.elevation);
  if (withProfile && withZ) Number(row.dz);
  EndRow();
}

void CsvWriter::StakeoutHeader() {
  Header({"name", "station", "x", "y", "azimuth", "angle", "distance"});
  EndRow();
}

// A side stake is named after its stake and its signed offset ("JD3 HY +5.000", "-5.000").
void CsvWriter::Row(const StakeoutRow& row) {
  if (row.offset) {
    std::string name(row.stakeName);
    if (!name.empty()) name.push_back(' ');
    if (*row.offset >= 0) name.push_back('+');
    AppendFixed(name, *row.offset, format_.decimals);
    Text(name);
  } else {
    Text(row.stakeName);
  }
  Number(row.station);
  Number(row.x);
  Number(row.y);
  Angle(row.aim.azimuth, AngleKind::Azimuth);
  Angle(row.aim.angle, AngleKind::Azimuth);
  Number(row.aim.distance);
  EndRow();
}

void CsvWriter::ProfileHeader() {
  Header({"name", "station", "elevation", "r", "t", "e", "grade_in", "grade_out", "curve_start", "curve_end"});
  EndRow();
}

void CsvWriter::Row(const ProfileTableLine& row) {
  Text(row.name);
  Number(row.station);
  Number(row.elevation);
  Number(row.radius);
  Number(row.t);
  Number(row.e);
  if (row.gradeIn) Percent(*row.gradeIn); else Empty();
  if (row.gradeOut) Percent(*row.gradeOut); else Empty();
  Number(row.curveStart);
  Number(row.curveEnd);
  EndRow();
}

}  // namespace survey::alignment::cli
