#include "alignment/cli/point_output.h"

#include <algorithm>
#include <sstream>

#include "alignment/cli/csv_writer.h"
#include "alignment/output_guard.h"
#include "common/atomic_file.h"
#include "exchange/cass_points.h"
#include "exchange/exchange_error.h"
#include "exchange/gsi16.h"
#include "exchange/station_names.h"
#include "exchange/unique_names.h"

namespace survey::alignment::cli {

std::vector<OptionHelp> PointOutputOptions(bool withDxf) {
  return {{{"out"}, "--out FILE", "write the rows into FILE instead of stdout (replaced only once complete)."},
          {{"format"},
           "--format F",
           std::string("with --out: csv (default), cass (CASS point list: 点名,编码,Y(东),X(北),高程; GBK, CR LF)") +
               (withDxf ? ", gsi16 (GSI-16 blocks, mm) or dxf (the plan drawing)." : " or gsi16 (GSI-16 blocks, mm).")},
          {{"code"}, "--code TEXT", "the point code of every point in a cass or gsi16 file (default empty)."}};
}

PointOutput ChosenPointOutput(const CommandContext& ctx, bool allowDxf) {
  if (!ctx.options.Has("out")) {
    if (ctx.options.Has("format")) Refuse("--format 只与 --out 一起使用。");
    if (ctx.options.Has("code")) Refuse("--code 只与 --out 一起使用。");
    return PointOutput::Stdout;
  }
  const std::string format = ctx.options.Has("format") ? ctx.options.Value("format") : "csv";
  PointOutput kind;
  if (format == "csv") {
    kind = PointOutput::Csv;
  } else if (format == "cass") {
    kind = PointOutput::Cass;
  } else if (format == "gsi16") {
    kind = PointOutput::Gsi16;
  } else if (format == "dxf" && allowDxf) {
    kind = PointOutput::Dxf;
  } else {
    Refuse("--format 应为 csv、cass、gsi16" + std::string(allowDxf ? " 或 dxf" : "") + "，而不是" + Quote(format) + "。");
  }
  if (ctx.options.Has("code") && kind != PointOutput::Cass && kind != PointOutput::Gsi16) {
    Refuse("--code 只用于 cass 和 gsi16 格式。");
  }
  return kind;
}

PointFileOutput::PointFileOutput(const CommandContext& ctx, PointOutput kind)
    : ctx_(ctx), kind_(kind), code_(ctx.options.Has("code") ? ctx.options.Value("code") : std::string()) {}

void PointFileOutput::Add(const std::string& name, double x, double y, std::optional<double> z) {
  exchange::PointRecord p;
  p.name = kind_ == PointOutput::Gsi16 ? exchange::AsciiStakeName(name) : name;
  p.code = code_;
  p.x = x;
  p.y = y;
  p.z = z;
  points_.push_back(std::move(p));
}

void PointFileOutput::Save() {
  exchange::MakeNamesUnique(points_);
  std::string bytes;
  try {
    bytes = kind_ == PointOutput::Gsi16 ? exchange::WriteGsi16(points_)
                                        : exchange::WriteCassPoints(points_, std::clamp(ctx_.format.decimals, 0, 6));
  } catch (const exchange::ExchangeError& e) {
    Refuse(e.what());
  }
  SaveOutputFile(ctx_, bytes);
}

void ForEachStakePoint(const StakeRow& row, const std::vector<double>& offsets, const PointSink& add) {
  const std::string name = row.name.empty() ? exchange::StakeName(row.station) : row.name;
  add(name, row.x, row.y, row.elevation ? std::optional<double>(row.elevation->elevation) : std::nullopt);
  for (std::size_t i = 0; i < row.sides.size() && i < offsets.size(); ++i) {
    add(exchange::SideStakeName(name, offsets[i]), row.sides[i].x, row.sides[i].y, std::nullopt);
  }
}

void WriteCsvOutput(const CommandContext& ctx, PointOutput output, const std::function<void(CsvWriter&)>& write) {
  std::ostringstream buffer;
  CsvWriter csv(output == PointOutput::Csv ? buffer : ctx.out, ctx.format);
  write(csv);
  csv.Flush();
  if (output == PointOutput::Csv) SaveOutputFile(ctx, buffer.str());
}

void SaveOutputFile(const CommandContext& ctx, std::string_view bytes) {
  RefuseOutputOverInput("out", ctx.options.Value("out"), InputFiles(ctx.options));
  const WriteOutcome written = WriteFileAtomically(ctx.options.Value("out"), bytes);
  if (!written.ok) Refuse("无法写入文件" + Quote(ctx.options.Value("out")) + "：" + written.reason);
}

}  // namespace survey::alignment::cli
