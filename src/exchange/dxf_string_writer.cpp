#include "exchange/dxf_string_writer.h"

#include <charconv>
#include <cstdio>

namespace survey::exchange {

namespace {

// An integer right-aligned in `width` columns, and the line's end.
void AppendLine(std::string& out, int value, std::size_t width) {
  char buf[16];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  const std::size_t n = static_cast<std::size_t>(r.ptr - buf);
  if (n < width) out.append(width - n, ' ');
  out.append(buf, n);
  out.push_back('\n');
}

}  // namespace

// Group codes right-aligned in three columns, as dxflib's own writer does.
void DxfStringWriter::Code(int gc) const { AppendLine(*out_, gc, 3); }

void DxfStringWriter::dxfReal(int gc, double value) const {
  Code(gc);
  char buf[48];
  std::to_chars_result r;
  if (gc == 40) {
    // Radii (and text heights): the shortest text that reads back as the same double, so a
    // design radius comes back exactly.
    r = std::to_chars(buf, buf + sizeof buf, value);
  } else {
    // Coordinates and angles to a micrometre (a millionth of a degree): far below what a
    // drawing shows, and shorter than every digit of a double (files of 100,000 stakes are
    // some 10 % smaller).
    r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 6);
    if (r.ec == std::errc()) {
      while (r.ptr[-1] == '0' && r.ptr[-2] != '.') --r.ptr;
    } else {
      r = std::to_chars(buf, buf + sizeof buf, value);  // beyond any drawing: as it is
    }
  }
  std::string_view text(buf, static_cast<std::size_t>(r.ptr - buf));
  if (text == "-0.0") text = "0.0";
  out_->append(text);
  // A real group must look like a real to strict readers.
  if (text.find_first_of(".en") == std::string_view::npos) out_->append(".0");
  out_->push_back('\n');
}

void DxfStringWriter::dxfInt(int gc, int value) const {
  Code(gc);
  AppendLine(*out_, value, 6);
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
