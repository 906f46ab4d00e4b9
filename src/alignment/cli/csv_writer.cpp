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

void CsvWriter::Keys(const std::vector<std::string>& keys) {
  for (const std::string& key : keys) Text(key);
  EndRow();
}

}  // namespace survey::alignment::cli
