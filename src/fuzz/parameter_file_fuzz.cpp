// A parameter file's bytes as they come from disk: GBK to UTF-8, then both kinds of reader.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "coordinates/parameter_file.h"
#include "platform/text_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = platform::GbkToUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  for (const auto kind : {coordinates::ParameterKind::StraightLine, coordinates::ParameterKind::Curve}) {
    const coordinates::ParameterFileContent c = coordinates::ReadParameterFileText(kind, text);
    // Only a complete file hands values back, one per field.
    if (c.outcome == coordinates::ParameterFileContent::Outcome::Ok &&
        c.values.size() != coordinates::ParameterValueCount(kind)) {
      std::abort();
    }
  }
  return 0;
}
