#include "exchange/gsi16.h"

#include <cmath>
#include <map>
#include <optional>

#include "exchange/exchange_error.h"
#include "exchange/field_text.h"
#include "exchange/gbk_text.h"

namespace survey::exchange {

namespace {

constexpr std::size_t kWordChars = 23;  // without the separating blank
constexpr std::size_t kDataChars = 16;

void AppendPadded(std::string& out, std::string_view data) {
  out.append(kDataChars - data.size(), '0');
  out.append(data);
}

void CheckText(const std::string& text, const char* what) {
  bool ok = !text.empty() && text.size() <= kDataChars;
  for (const char c : text) ok = ok && c > ' ' && c < 0x7F;
  if (!ok) {
    throw ExchangeError(std::string(what) + "“" + text + "”不能写入 GSI-16：应为 1 到 16 个英文字母、数字或符号，不含空格和汉字。");
  }
}

void AppendMillimetres(std::string& out, const char* head, double metres) {
  if (!std::isfinite(metres) || std::fabs(metres) > kMaxCoordinate) throw ExchangeError("坐标值无效或超出范围，无法写入。");
  const long long mm = std::llround(metres * 1000.0);
  out += head;
  out += mm < 0 ? '-' : '+';
  AppendPadded(out, std::to_string(mm < 0 ? -mm : mm));
  out += ' ';
}

std::string WithoutPadding(std::string_view data) {
  const std::size_t first = data.find_first_not_of('0');
  return first == std::string_view::npos ? std::string("0") : std::string(data.substr(first));
}

struct UnknownIndex {
  int firstLine = 0;
  int count = 0;
};

}  // namespace

std::string WriteGsi16(const std::vector<PointRecord>& points) {
  std::string out;
  out.reserve(points.size() * 104);
  int block = 0;
  for (const PointRecord& p : points) {
    CheckText(p.name, "点名");
    if (p.name.size() > 1 && p.name.front() == '0') {
      throw ExchangeError("点名“" + p.name + "”以 0 开头，GSI-16 的补位 0 会吞掉它。");
    }
    block = block % 9999 + 1;
    char head[16];  // room the compiler can see for any int, though block stays within 1..9999
    std::snprintf(head, sizeof head, "*11%04d", block);
    out += head;
    out += '+';
    AppendPadded(out, p.name);
    out += ' ';
    if (!p.code.empty()) {
      CheckText(p.code, "编码");
      out += "71....+";
      AppendPadded(out, p.code);
      out += ' ';
    }
    AppendMillimetres(out, "81..00", p.y);
    AppendMillimetres(out, "82..00", p.x);
    if (p.z) AppendMillimetres(out, "83..00", *p.z);
    out += "\r\n";
  }
  return out;
}

PointFile ReadGsi16(std::string_view bytes) {
  const std::string text = DecodeFieldText(bytes);
  PointFile file;
  std::map<int, UnknownIndex> unknown;
  ForEachLine(text, [&](std::string_view line, int number) {
    line = TrimBlanks(line);
    if (line.empty()) return;
    if (line.front() != '*') RefuseLine(number, "不是 GSI-16 数据块（应以“*”开头）。");
    line.remove_prefix(1);
    std::optional<std::string> name, code;
    std::optional<double> east, north, height;
    std::size_t at = 0;
    int word = 0;
    while (at < line.size()) {
      ++word;
      if (line.size() - at < kWordChars) {
        RefuseLine(number, "GSI-16 数据块被截断：第 " + std::to_string(word) + " 个字只有 " +
                               std::to_string(line.size() - at) + " 个字符（应为 24 个）。");
      }
      const std::string_view w = line.substr(at, kWordChars);
      at += kWordChars;
      if (at < line.size()) {
        if (line[at] != ' ') RefuseLine(number, "第 " + std::to_string(word) + " 个字后应为空格。");
        ++at;
      }
      const std::string_view wi = w.substr(0, 2), info = w.substr(2, 4), data = w.substr(7, kDataChars);
      const char sign = w[6];
      if (wi[0] < '0' || wi[0] > '9' || wi[1] < '0' || wi[1] > '9' || (sign != '+' && sign != '-')) {
        RefuseLine(number, "第 " + std::to_string(word) + " 个字不是 GSI 字：“" + std::string(w) + "”。");
      }
      const int index = (wi[0] - '0') * 10 + (wi[1] - '0');
      const auto once = [&](auto& slot) {
        if (slot) RefuseLine(number, "字索引 " + std::string(wi) + " 在一个数据块中出现了两次。");
      };
      if (index == 11 || index == 71) {
        auto& slot = index == 11 ? name : code;
        once(slot);
        const std::string_view t = TrimBlanks(data);
        slot = WithoutPadding(t);
        continue;
      }
      if (index >= 81 && index <= 83) {
        auto& slot = index == 81 ? east : index == 82 ? north : height;
        once(slot);
        double divisor;
        switch (info[3]) {
          case '0': case '.': divisor = 1e3; break;
          case '6': divisor = 1e4; break;
          case '8': divisor = 1e5; break;
          case '1': case '7': RefuseLine(number, "字 " + std::string(wi) + " 的单位是英尺，只能读取以米为单位的数据。");
          default: RefuseLine(number, "字 " + std::string(wi) + " 的单位标志“" + std::string(1, info[3]) + "”无法识别。");
        }
        if (data.find_first_not_of("0123456789") != std::string_view::npos) {
          RefuseLine(number, "字 " + std::string(wi) + " 的数值不是数字：“" + std::string(data) + "”。");
        }
        const double value = static_cast<double>(std::stoll(std::string(data))) / divisor;
        if (value > kMaxCoordinate) RefuseLine(number, "字 " + std::string(wi) + " 的数值超出范围。");
        slot = sign == '-' ? -value : value;
        continue;
      }
      UnknownIndex& u = unknown[index];
      if (u.count++ == 0) u.firstLine = number;
    }
    if (!name) RefuseLine(number, "数据块缺少点号（字 11）。");
    if (!east) RefuseLine(number, "数据块缺少东坐标（字 81）。");
    if (!north) RefuseLine(number, "数据块缺少北坐标（字 82）。");
    PointRecord p;
    p.name = std::move(*name);
    if (code) p.code = std::move(*code);
    p.x = *north;
    p.y = *east;
    p.z = height;
    p.line = number;
    file.points.push_back(std::move(p));
  });
  if (file.points.empty()) throw ExchangeError("GSI 文件中没有点。");
  for (const auto& [index, u] : unknown) {
    char wi[4];
    std::snprintf(wi, sizeof wi, "%02d", index);
    file.notes.push_back("跳过了未知的字索引 " + std::string(wi) + "（第 " + std::to_string(u.firstLine) + " 行起，共 " +
                         std::to_string(u.count) + " 处）。");
  }
  return file;
}

}  // namespace survey::exchange
