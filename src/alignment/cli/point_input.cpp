#include "alignment/cli/point_input.h"

#include "exchange/exchange_error.h"
#include "exchange/point_format.h"

namespace survey::alignment::cli {

OptionHelp PointsFormatOption() {
  return {{"points-format"},
          "--points-format F",
          "csv, cass or gsi16; by default told by the file's content (a CASS list is 点名,编码,Y(东),X(北),高程)."};
}

std::shared_ptr<const exchange::PointFile> ReadFieldPoints(const CommandContext& ctx, const std::string& bytes) {
  exchange::PointFormat format = exchange::DetectPointFormat(bytes);
  if (ctx.options.Has("points-format")) {
    const std::optional<exchange::PointFormat> named = exchange::PointFormatNamed(ctx.options.Value("points-format"));
    if (!named) Refuse("--points-format 应为 csv、cass 或 gsi16，而不是" + Quote(ctx.options.Value("points-format")) + "。");
    format = *named;
  }
  if (format == exchange::PointFormat::kCsv) return nullptr;
  try {
    auto file = std::make_shared<const exchange::PointFile>(exchange::ReadPointFile(bytes, format));
    for (const std::string& note : file->notes) ctx.err << "alignment: " << note << '\n';
    return file;
  } catch (const exchange::ExchangeError& e) {
    Refuse(e.what());
  }
}

}  // namespace survey::alignment::cli
