// The program's CSV: fields into one buffer that goes to the stream in large blocks, rows in the
// layout the window shows too (row_layout.h).
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "alignment/cli/command.h"
#include "alignment/row_layout.h"

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
  void Station(double station) { Number(station); }  // metres, as stations are typed back
  void Station(const std::optional<double>& station) { Number(station); }
  void Turn(bool right) { Text(right ? "right" : "left"); }
  void Status(bool inside) { Text(inside ? "ok" : "outside"); }
  void Word(std::string_view machine, std::string_view /*display*/) { Text(machine); }
  void Empty();
  void EndRow();
  void Flush();
  const OutputFormat& Format() const { return format_; }

  int Decimals() const { return format_.decimals; }

  // A header row of column keys, and one row of a query in the layout of row_layout.h.
  void Keys(const std::vector<std::string>& keys);
  template <class Query, class... Flags>
  void Row(const Query& row, Flags... flags) {
    layout::Cells(*this, row, flags...);
    EndRow();
  }

 private:
  void Separate();
  std::ostream& out_;
  OutputFormat format_;
  std::string buffer_;
  bool rowStart_ = true;
};

}  // namespace survey::alignment::cli
