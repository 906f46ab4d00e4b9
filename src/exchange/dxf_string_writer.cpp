#include "exchange/dxf_string_writer.h"

#include <charconv>
#include <cstdio>

namespace survey::exchange {

void DxfStringWriter::Code(int gc) const {
  // Group codes right-aligned in three columns, as dxflib's own writer does.
  char buf[16];
  const auto r = std::to_chars(buf, buf + sizeof buf, gc);
  const std::size_t n = static_cast<std::size_t>(r.ptr - buf);
  if (n < 3) out_->append(3 - n, ' ');
  out_->append(buf, n);
  out_->push_back('\n');
}

void DxfStringWriter::dxfReal(int gc, double value) const {
  Code(gc);
  // The shortest text that reads back as the same double: nothing of the design is lost.
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  std::string_view text(buf, static_cast<std::size_t>(r.ptr - buf));
  out_->append(text);
  // A real group must look like a real to strict readers.
  if (text.find_first_of(".en") == std::string_view::npos) out_->append(".0");
  out_->push_back('\n');
}

void DxfStringWriter::dxfInt(int gc, int value) const {
  Code(gc);
  char buf[16];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  const std::size_t n = static_cast<std::size_t>(r.ptr - buf);
  if (n < 6) out_->append(6 - n, ' ');
  out_->append(buf, n);
  out_->push_back('\n');
}

void DxfStringWriter::dxfHex(int gc, int value) const {
  Code(gc);
  char buf[16];
  const int n = std::snprintf(buf, sizeof buf, "%0X\n", value);
  out_->append(buf, static_cast<std::size_t>(n));
}

void DxfStringWriter::dxfString(int gc, const char* value) const {
  Code(gc);
  out_->append(value);
  out_->push_back('\n');
}

void DxfStringWriter::dxfString(int gc, const std::string& value) const {
  Code(gc);
  out_->append(value);
  out_->push_back('\n');
}

}  // namespace survey::exchange
