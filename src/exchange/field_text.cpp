#include "exchange/field_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "exchange/exchange_error.h"

namespace survey::exchange {

void ForEachLine(std::string_view text, const std::function<void(std::string_view, int)>& visit) {
  int number = 1;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (line.size() > kMaxLineBytes) RefuseLine(number, "这一行太长（超过 64 KB）。");
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    visit(line, number);
    start = end + 1;
    ++number;
  }
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

double ReadCoordinate(std::string_view cell, int line, const std::string& what) {
  const std::string_view t = TrimBlanks(cell);
  const auto refuse = [&] {
    std::string shown(t.substr(0, 40));
    RefuseLine(line, what + "不是数字：“" + shown + (t.size() > 40 ? "…" : "") + "”。");
  };
  // Digits with at most one point and an optional sign; from_chars alone would take
  // exponents, "inf" and "nan".
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  bool digits = false, point = false;
  for (std::size_t k = i; k < t.size(); ++k) {
    if (t[k] >= '0' && t[k] <= '9') {
      digits = true;
    } else if (t[k] == '.' && !point) {
      point = true;
    } else {
      refuse();
    }
  }
  if (!digits) refuse();
  std::string_view body = t.substr(t[0] == '+' ? 1 : 0);
  double value = 0;
  const auto r = std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::fixed);
  if (r.ec != std::errc() || r.ptr != body.data() + body.size()) refuse();
  if (!(std::fabs(value) <= kMaxCoordinate)) RefuseLine(line, what + "超出范围：“" + std::string(t.substr(0, 40)) + "”。");
  return value;
}

void AppendFixed(std::string& out, double value, int decimals) {
  if (!std::isfinite(value) || std::fabs(value) > kMaxCoordinate) {
    throw ExchangeError("坐标值无效或超出范围，无法写入。");
  }
  char buf[64];
  std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  std::string_view text(buf, static_cast<std::size_t>(r.ptr - buf));
  // "-0.000" names the same place as "0.000"; the instrument would show a stray sign.
  if (text.starts_with('-') && text.find_first_not_of("0.", 1) == std::string_view::npos) text.remove_prefix(1);
  out.append(text);
}

}  // namespace survey::exchange
