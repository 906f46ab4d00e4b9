// libFuzzer entry point: any bytes given as a LandXML file end in an alignment or a refusal,
// through every alignment of the file, with and without trusted points and the profile, the
// curve table read back from the elements, and an export read back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "alignment/alignment_error.h"
#include "alignment/curve_listing.h"
#include "alignment/landxml_reader.h"
#include "alignment/landxml_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace survey::alignment;
  try {
    const LandXmlDocument document = ParseLandXml(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const LandXmlAlignment& alignment : document.alignments) {
      for (int variant = 0; variant < 3; ++variant) {
        try {
          LandXmlImportOptions options;
          options.name = alignment.name;
          options.trustPoints = variant == 1;
          options.noProfile = variant == 2;
          if (!alignment.profiles.empty()) options.profileName = alignment.profiles.back().name;
          const LandXmlImport imported = ImportLandXml(document, options);
          if (imported.profile) {
            imported.profile->At(imported.profile->StartMeasure() - 0.0005);
            imported.profile->At((imported.profile->StartMeasure() + imported.profile->EndMeasure()) / 2);
          }
          imported.route.PointAt(imported.route.Length() / 2);
          ListCurves(imported.route);
          if (variant == 0) {
            LandXmlExport out;
            out.name = imported.name;
            out.profileName = imported.profileName;
            out.startStation = imported.route.Stations().StartStation();
            out.equations = imported.route.Stations().Equations();
            out.elements = imported.route.Elements();
            out.profile = imported.profile ? &*imported.profile : nullptr;
            ImportLandXml(ParseLandXml(LandXmlText(out)), {});
          }
        } catch (const AlignmentError&) {
        }
      }
    }
  } catch (const AlignmentError&) {
  }
  return 0;
}
