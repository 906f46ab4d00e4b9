// libFuzzer entry point: any bytes given as a JD, element, points, profile or cross-section
// table end in rows or a refusal naming a line; a typical section that reads gives sections.
#include <cstddef>
#include <cstdint>
#include <string>

#include "alignment/alignment_error.h"
#include "alignment/profile_table.h"
#include "alignment/section/design_surface.h"
#include "alignment/table_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace survey::alignment;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  try { ReadJdTable(bytes); } catch (const AlignmentError&) {}
  try { ReadElementTable(bytes); } catch (const AlignmentError&) {}
  try { ReadPointTable(bytes); } catch (const AlignmentError&) {}
  try { ReadProfileTable(bytes); } catch (const AlignmentError&) {}
  try { section::ReadSuperelevationTable(bytes, "s.csv"); } catch (const AlignmentError&) {}
  try { section::ReadWideningTable(bytes, "w.csv"); } catch (const AlignmentError&) {}
  try {
    section::SectionTables tables;
    tables.section = section::ReadTypicalSection(bytes, "t.csv");
    const section::SectionModel model(std::move(tables), StationLine(0, {}, 100));
    for (const double offset : {-5.0, 0.0, 5.0}) model.At(50, 10.0).ElevationAt(offset);
  } catch (const AlignmentError&) {}
  return 0;
}
