// Where the point commands' rows go: CSV on stdout as always, or with --out FILE into a file of
// the --format chosen: csv (the same CSV), cass (the CASS point list), gsi16 (GSI-16 blocks) or
// dxf (the plan drawing). Files are written by atomic replace: a run that is refused, or a file
// that cannot be written, leaves an earlier file as it was.
#pragma once

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <functional>

#include "alignment/cli/command.h"
#include "alignment/route_rows.h"
#include "exchange/point_record.h"

namespace survey::alignment::cli {

enum class PointOutput { Stdout, Csv, Cass, Gsi16, Dxf };

// --out, --format (dxf among the formats when `withDxf`) and --code.
std::vector<OptionHelp> PointOutputOptions(bool withDxf = true);

// The output the options ask for; refuses --format or --code without --out, an unknown format
// and a format `allowDxf` excludes.
PointOutput ChosenPointOutput(const CommandContext& ctx, bool allowDxf = true);

// The points of a command's rows, gathered and written at the end as CASS or GSI-16: names made
// unique, the code of --code on every point; for GSI-16 names as instrument ids (左/右 as L/R).
class PointFileOutput {
 public:
  PointFileOutput(const CommandContext& ctx, PointOutput kind);
  void Add(const std::string& name, double x, double y, std::optional<double> z);
  // Refuses (AlignmentError) a point the format cannot hold or a file that cannot be written.
  void Save();

 private:
  const CommandContext& ctx_;
  PointOutput kind_;
  std::string code_;
  std::vector<exchange::PointRecord> points_;
};

// A stake row as field points, for the command line and the window alike: the centre stake by
// its name ("JD3 HY") or station ("K10+020") with the design elevation where there is one, then
// its side stakes ("K10+020左5", one per offset of the query) without one.
using PointSink = std::function<void(const std::string& name, double x, double y, std::optional<double> z)>;
void ForEachStakePoint(const StakeRow& row, const std::vector<double>& offsets, const PointSink& add);

class CsvWriter;
// The CSV rows `write` gives: on stdout, or for `PointOutput::Csv` into --out once all are
// written (a refusal among them leaves the file as it was).
void WriteCsvOutput(const CommandContext& ctx, PointOutput output, const std::function<void(CsvWriter&)>& write);

// Writes `bytes` to --out by atomic replace; refuses naming the file and the reason.
void SaveOutputFile(const CommandContext& ctx, std::string_view bytes);

}  // namespace survey::alignment::cli
