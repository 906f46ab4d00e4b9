#include "exchange/cass_points.h"

#include <algorithm>
#include <array>

#include "exchange/exchange_error.h"
#include "exchange/field_text.h"
#include "exchange/gbk_text.h"

namespace survey::exchange {

namespace {

void CheckField(const std::string& text, const char* what) {
  if (text.find_first_of(",\r\n") != std::string::npos) {
    throw ExchangeError(std::string(what) + "“" + text + "”中有逗号或换行，CASS 点文件不能表示。");
  }
}

}  // namespace

std::string CassText(const std::vector<PointRecord>& points, int decimals) {
  if (decimals < 0 || decimals > 6) throw ExchangeError("小数位数应在 0 到 6 之间。");
  std::string utf8;
  utf8.reserve(points.size() * 48);
  for (const PointRecord& p : points) {
    CheckField(p.name, "点名");
    CheckField(p.code, "编码");
    if (p.name.empty()) throw ExchangeError("点名不能为空。");
    utf8 += p.name;
    utf8 += ',';
    utf8 += p.code;
    utf8 += ',';
    AppendFixed(utf8, p.y, decimals);  // east first
    utf8 += ',';
    AppendFixed(utf8, p.x, decimals);
    utf8 += ',';
    if (p.z) AppendFixed(utf8, *p.z, decimals);
    utf8 += "\r\n";
  }
  return utf8;
}

std::string WriteCassPoints(const std::vector<PointRecord>& points, int decimals) {
  const std::string utf8 = CassText(points, decimals);
  std::string gbk;
  std::size_t badAt = 0;
  if (!TryUtf8ToGbk(utf8, gbk, badAt)) {
    // Name the point, not the whole file: its line is the one that holds the byte.
    const std::size_t index = static_cast<std::size_t>(std::count(utf8.begin(), utf8.begin() + static_cast<std::ptrdiff_t>(badAt), '\n'));
    const PointRecord& p = points[index];
    throw ExchangeError("点“" + p.name + "”（编码“" + p.code + "”）中有 GBK 编码不能表示的字符，无法写入。");
  }
  return gbk;
}

PointFile ReadCassPoints(std::string_view bytes) {
  const std::string text = DecodeFieldText(bytes);
  PointFile file;
  ForEachLine(text, [&](std::string_view line, int number) {
    if (TrimBlanks(line).empty()) return;
    std::array<std::string_view, 5> fields;
    std::size_t count = 0, start = 0;
    while (true) {
      const std::size_t comma = line.find(',', start);
      const std::string_view field = line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
      if (count == fields.size()) {
        RefuseLine(number, "CASS 点文件每行应为“点名,编码,Y(东),X(北),高程”，这一行的字段多于 5 个。");
      }
      fields[count++] = field;
      if (comma == std::string_view::npos) break;
      start = comma + 1;
    }
    if (count < 4) {
      RefuseLine(number, "CASS 点文件每行应为“点名,编码,Y(东),X(北),高程”，这一行只有 " + std::to_string(count) +
                             " 个字段。");
    }
    PointRecord p;
    p.name = std::string(TrimBlanks(fields[0]));
    if (p.name.empty()) RefuseLine(number, "点名为空。");
    p.code = std::string(TrimBlanks(fields[1]));
    p.y = ReadCoordinate(fields[2], number, "Y(东)坐标");
    p.x = ReadCoordinate(fields[3], number, "X(北)坐标");
    if (count == 5 && !TrimBlanks(fields[4]).empty()) p.z = ReadCoordinate(fields[4], number, "高程");
    p.line = number;
    file.points.push_back(std::move(p));
  });
  if (file.points.empty()) throw ExchangeError("CASS 点文件中没有点。");
  return file;
}

}  // namespace survey::exchange
