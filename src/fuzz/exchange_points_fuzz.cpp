// libFuzzer entry point: any bytes given as an instrument point file (told by content, then
// read as CASS and as GSI-16) end in points or a refusal; what was read writes back.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "exchange/cass_points.h"
#include "exchange/exchange_error.h"
#include "exchange/gsi16.h"
#include "exchange/point_format.h"
#include "exchange/unique_names.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace survey::exchange;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)DetectPointFormat(bytes);
  for (const PointFormat format : {PointFormat::kCass, PointFormat::kGsi16}) {
    try {
      PointFile file = ReadPointFile(bytes, format);
      MakeNamesUnique(file.points);
      // A point read must write back (or be refused cleanly, e.g. a name GSI cannot carry).
      try { WriteCassPoints(file.points); } catch (const ExchangeError&) {}
      try { WriteGsi16(file.points); } catch (const ExchangeError&) {}
    } catch (const ExchangeError&) {
    }
  }
  return 0;
}
