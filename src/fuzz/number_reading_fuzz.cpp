// The field readers and the packed-angle conversion on any text.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/notation.h"
#include "common/number_reading.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<double> strict = survey::ReadStrictNumber(text);
  // A strict number is always finite, and the leading reader agrees with it on plain text.
  if (strict && !std::isfinite(*strict)) std::abort();
  const double leading = survey::ReadLeadingNumber(text);
  const double ignoring = survey::ReadLeadingNumberIgnoringBlanks(text);
  for (const double v : {strict.value_or(0.0), leading, ignoring}) {
    const survey::PackedAngle a = survey::PackedAngleToDegrees(v);
    (void)survey::SplitDms(a.degrees);
    (void)survey::DmsText(survey::SplitDms(v), survey::TextForm::Signed);
  }
  return 0;
}
