// The number texts of any double (and of its float), and reading them back.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "common/notation.h"
#include "common/number_reading.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < sizeof(double)) return 0;
  double v = 0;
  std::memcpy(&v, data, sizeof v);
  const std::string plain = survey::PlainNumberText(v);
  const std::string signedText = survey::SignedNumberText(v);
  (void)survey::PlainNumberText(static_cast<float>(v));
  (void)survey::SignedNumberText(static_cast<float>(v));
  (void)survey::RoundHalfEven(v);
  // A finite value's text reads back as a number within its 15 significant digits (beyond
  // 1e308 the rounding to 15 digits may pass the largest double, which no text can hold).
  if (std::isfinite(v) && std::fabs(v) < 1e308) {
    const std::optional<double> back = survey::ReadStrictNumber(plain);
    if (!back) std::abort();
    if (std::fabs(*back - v) > std::fabs(v) * 1e-14) std::abort();
    if (!survey::ReadStrictNumber(signedText)) std::abort();
  }
  return 0;
}
