#include "rillford/form.h"

#include <cmath>
#include <optional>

#include "common/coordinate.h"
#include "common/notation.h"
#include "common/number_reading.h"

namespace rillford {

namespace {

survey::Message NotANumberMessage(int field, const std::string& text) {
  survey::Message m = survey::DataErrorMessage();
  m.text = "“" + FieldCaption(field) + "”不是数字：" + text + "\r\n请重新输入。";
  return m;
}

// A result that overflowed would print as "Inf" in a coordinate field.
survey::Message OutOfRangeMessage() {
  survey::Message m = survey::DataErrorMessage();
  m.text = "数据太大，无法计算。\r\n请重新输入。";
  return m;
}

// Reads fields first..last: an empty field gives the data-error message, a text that is not
// a number names its field. Nothing is returned when any field was refused.
template <std::size_t N>
std::optional<std::array<double, N>> ReadFields(const Form4& form, int first, survey::Host& host) {
  for (int i = 0; i < static_cast<int>(N); ++i) {
    if (survey::IsEmptyField(form.Text(first + i))) {
      host.ShowMessage(survey::DataErrorMessage());
      return std::nullopt;
    }
  }
  std::array<double, N> values{};
  for (int i = 0; i < static_cast<int>(N); ++i) {
    const auto v = survey::ReadStrictNumber(form.Text(first + i));
    if (!v) {
      host.ShowMessage(NotANumberMessage(first + i, form.Text(first + i)));
      return std::nullopt;
    }
    values[static_cast<std::size_t>(i)] = *v;
  }
  return values;
}

}  // namespace

std::string FieldCaption(int number) {
  switch (number) {
    case 1: case 9: return "A点X坐标";
    case 2: case 10: return "A点y坐标";
    case 3: return "方位角（度）";
    case 4: return "方位角（分）";
    case 5: return "方位角（秒）";
    case 6: return "边长";
    case 11: return "B点X坐标";
    case 12: return "B点y坐标";
    default: return "Text" + std::to_string(number);
  }
}

void Form4::Command1_Click(survey::Host& host) {
  const auto v = ReadFields<6>(*this, 1, host);
  if (!v) return;
  const auto [ax, ay, deg, min, sec, dist] = *v;
  // Minutes are added to the degrees first, then the seconds: the order fixes the last bit.
  double fwj = deg + min / 60;
  fwj = fwj + sec / 3600;
  const survey::PlanePoint b = survey::ForwardPoint(ax, ay, fwj, dist);
  const double x = survey::RoundCoordinate(b.x, 1000);
  const double y = survey::RoundCoordinate(b.y, 1000);
  if (!std::isfinite(x) || !std::isfinite(y)) {
    host.ShowMessage(OutOfRangeMessage());
    return;
  }
  Text(7) = survey::PlainNumberText(x);
  Text(8) = survey::PlainNumberText(y);
}

void Form4::Command2_Click() {
  for (int i = 1; i <= 8; ++i) Text(i).clear();
}

void Form4::Command3_Click(survey::Host& host) {
  const auto v = ReadFields<4>(*this, 9, host);
  if (!v) return;
  const auto [ax, ay, bx, by] = *v;
  const survey::InverseResult r = survey::zbfs(ax, ay, bx, by);
  const double d = survey::RoundCoordinate(r.distance, 1000);
  if (!std::isfinite(d) || !std::isfinite(r.azimuth)) {
    host.ShowMessage(OutOfRangeMessage());
    return;
  }
  const survey::DmsCarried dms = survey::SplitDmsWithCarry(r.azimuth);
  Text(13) = survey::PlainNumberText(dms.d);
  Text(14) = survey::PlainNumberText(dms.m);
  Text(15) = survey::PlainNumberText(dms.s);
  Text(16) = survey::PlainNumberText(d);
}

void Form4::Command4_Click() {
  for (int i = 9; i <= 16; ++i) Text(i).clear();
}

}  // namespace rillford
