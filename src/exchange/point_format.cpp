#include "exchange/point_format.h"

#include "exchange/cass_points.h"
#include "exchange/exchange_error.h"
#include "exchange/field_text.h"
#include "exchange/gsi16.h"

namespace survey::exchange {

namespace {

bool IsNumber(std::string_view cell) {
  try {
    ReadCoordinate(cell, 0, "");
    return true;
  } catch (const ExchangeError&) {
    return false;
  }
}

}  // namespace

PointFormat DetectPointFormat(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  // Only the first non-blank line decides; ASCII suffices to tell (no GBK byte is a comma,
  // an asterisk or a line feed).
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = TrimBlanks(bytes.substr(start, std::min(end - start, kMaxLineBytes)));
    if (!line.empty() && line.back() == '\r') line = TrimBlanks(line.substr(0, line.size() - 1));
    start = end + 1;
    if (line.empty()) continue;
    if (line.size() >= 3 && line[0] == '*' && line[1] >= '0' && line[1] <= '9' && line[2] >= '0' && line[2] <= '9') {
      return PointFormat::kGsi16;
    }
    std::string_view fields[6];
    std::size_t count = 0, at = 0;
    while (count < 6) {
      const std::size_t comma = line.find(',', at);
      fields[count++] = line.substr(at, comma == std::string_view::npos ? std::string_view::npos : comma - at);
      if (comma == std::string_view::npos) break;
      at = comma + 1;
    }
    if ((count == 4 || count == 5) && IsNumber(fields[2]) && IsNumber(fields[3])) return PointFormat::kCass;
    return PointFormat::kCsv;
  }
  return PointFormat::kCsv;
}

std::optional<PointFormat> PointFormatNamed(std::string_view name) {
  if (name == "csv") return PointFormat::kCsv;
  if (name == "cass") return PointFormat::kCass;
  if (name == "gsi16") return PointFormat::kGsi16;
  return std::nullopt;
}

PointFile ReadPointFile(std::string_view bytes, PointFormat format) {
  switch (format) {
    case PointFormat::kCass: return ReadCassPoints(bytes);
    case PointFormat::kGsi16: return ReadGsi16(bytes);
    case PointFormat::kCsv: break;
  }
  throw ExchangeError("CSV 点表由程序自己的表格读取。");
}

}  // namespace survey::exchange
