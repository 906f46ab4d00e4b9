// libFuzzer entry point: any bytes given as a LandXML file end in an alignment or a refusal.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "alignment/alignment_error.h"
#include "alignment/landxml_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace survey::alignment;
  try {
    const LandXmlDocument document = ParseLandXml(std::string_view(reinterpret_cast<const char*>(data), size));
    for (bool trust : {false, true}) {
      try {
        const LandXmlImport imported = ImportLandXml(document, {"", trust});
        if (imported.profile) imported.profile->At(imported.profile->StartMeasure());
        imported.route.PointAt(imported.route.Length() / 2);
      } catch (const AlignmentError&) {
      }
    }
  } catch (const AlignmentError&) {
  }
  return 0;
}
