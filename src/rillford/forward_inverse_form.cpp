#include "rillford/forward_inverse_form.h"

#include <array>
#include <cmath>
#include <optional>

#include "common/coordinate.h"
#include "common/notation.h"
#include "common/number_reading.h"

namespace rillford {

namespace {

// An input field and what it means to the user, for the message about its content.
struct InputField {
  std::string ForwardInverseFields::*text;
  const char* caption;
};

using F = ForwardInverseFields;
constexpr InputField kForwardInputs[] = {
    {&F::forwardAx, "A点X坐标"},        {&F::forwardAy, "A点y坐标"},        {&F::forwardDegrees, "方位角（度）"},
    {&F::forwardMinutes, "方位角（分）"}, {&F::forwardSeconds, "方位角（秒）"}, {&F::forwardDistance, "边长"},
};
constexpr InputField kInverseInputs[] = {
    {&F::inverseAx, "A点X坐标"},
    {&F::inverseAy, "A点y坐标"},
    {&F::inverseBx, "B点X坐标"},
    {&F::inverseBy, "B点y坐标"},
};

survey::Message NotANumberMessage(const InputField& field, const std::string& text) {
  survey::Message m = survey::DataErrorMessage();
  m.text = "“" + std::string(field.caption) + "”不是数字：" + text + "\r\n请重新输入。";
  return m;
}

// A result that overflowed would print as "Inf" in a coordinate field.
survey::Message OutOfRangeMessage() {
  survey::Message m = survey::DataErrorMessage();
  m.text = "数据太大，无法计算。\r\n请重新输入。";
  return m;
}

// Reads the inputs in order: any empty one gives the data-error message before any text is
// read as a number; a text that is not a number names its field. `refused` says so when an
// input was refused (the user has been told), and nothing is returned.
template <std::size_t N>
std::optional<std::array<double, N>> ReadInputs(const F& fields, const InputField (&inputs)[N], survey::Host& host,
                                                survey::Outcome& refused) {
  for (const InputField& input : inputs) {
    if (survey::IsEmptyField(fields.*input.text)) {
      refused = survey::Refuse(host, survey::DataErrorMessage());
      return std::nullopt;
    }
  }
  std::array<double, N> values{};
  for (std::size_t i = 0; i < N; ++i) {
    const std::string& text = fields.*inputs[i].text;
    const auto v = survey::ReadStrictNumber(text);
    if (!v) {
      refused = survey::Refuse(host, NotANumberMessage(inputs[i], text));
      return std::nullopt;
    }
    values[i] = *v;
  }
  return values;
}

}  // namespace

survey::Outcome ForwardInverseForm::ComputeForward() {
  survey::Outcome refused;
  const auto v = ReadInputs(fields_, kForwardInputs, host_, refused);
  if (!v) return refused;
  const auto [ax, ay, deg, min, sec, dist] = *v;
  // Minutes are added to the degrees first, then the seconds: the order fixes the last bit.
  double fwj = deg + min / 60;  // fwj: the azimuth in decimal degrees
  fwj = fwj + sec / 3600;
  const survey::PlanePoint b = survey::ForwardPoint(ax, ay, fwj, dist);
  const double x = survey::RoundCoordinate(b.x, 1000);
  const double y = survey::RoundCoordinate(b.y, 1000);
  if (!std::isfinite(x) || !std::isfinite(y)) return survey::Refuse(host_, OutOfRangeMessage());
  fields_.forwardBx = survey::PlainNumberText(x);
  fields_.forwardBy = survey::PlainNumberText(y);
  return survey::Outcome::Done();
}

void ForwardInverseForm::ClearForward() {
  for (std::string F::*text : {&F::forwardAx, &F::forwardAy, &F::forwardDegrees, &F::forwardMinutes,
                               &F::forwardSeconds, &F::forwardDistance, &F::forwardBx, &F::forwardBy})
    (fields_.*text).clear();
}

survey::Outcome ForwardInverseForm::ComputeInverse() {
  survey::Outcome refused;
  const auto v = ReadInputs(fields_, kInverseInputs, host_, refused);
  if (!v) return refused;
  const auto [ax, ay, bx, by] = *v;
  const survey::InverseResult r = survey::zbfs(ax, ay, bx, by);  // zbfs: coordinate inverse
  const double d = survey::RoundCoordinate(r.distance, 1000);
  if (!std::isfinite(d) || !std::isfinite(r.azimuth)) return survey::Refuse(host_, OutOfRangeMessage());
  const survey::DmsCarried dms = survey::SplitDmsWithCarry(r.azimuth);
  fields_.inverseDegrees = survey::PlainNumberText(dms.d);
  fields_.inverseMinutes = survey::PlainNumberText(dms.m);
  fields_.inverseSeconds = survey::PlainNumberText(dms.s);
  fields_.inverseDistance = survey::PlainNumberText(d);
  return survey::Outcome::Done();
}

void ForwardInverseForm::ClearInverse() {
  for (std::string F::*text : {&F::inverseAx, &F::inverseAy, &F::inverseBx, &F::inverseBy, &F::inverseDegrees,
                               &F::inverseMinutes, &F::inverseSeconds, &F::inverseDistance})
    (fields_.*text).clear();
}

}  // namespace rillford
