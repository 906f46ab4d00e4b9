#include "exchange/gbk_text.h"

#include "common/gbk_text.h"
#include "exchange/exchange_error.h"

namespace survey::exchange {

namespace {

[[noreturn]] void NoConverter() { throw ExchangeError("系统缺少 GBK 文字编码转换。"); }

}  // namespace

bool TryUtf8ToGbk(std::string_view utf8, std::string& gbk, std::size_t& badAt) {
  GbkConversion converted = EncodeGbk(utf8);
  if (converted.status == GbkConversion::Status::NoConverter) NoConverter();
  gbk = std::move(converted.text);
  badAt = converted.badAt;
  return converted.ok();
}

std::string DecodeFieldText(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  if (IsValidUtf8(bytes)) return std::string(bytes);
  GbkConversion converted = DecodeGbk(bytes);
  if (converted.status == GbkConversion::Status::NoConverter) NoConverter();
  if (!converted.ok()) {
    RefuseLine(converted.badLine,
               "既不是 UTF-8 也不是 GBK 编码的文字（第 " + std::to_string(converted.badColumn + 1) + " 个字节）。");
  }
  return std::move(converted.text);
}

}  // namespace survey::exchange
