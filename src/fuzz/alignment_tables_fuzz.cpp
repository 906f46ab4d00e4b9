// libFuzzer entry point: any bytes given as a JD, element, points, profile, cross-section or
// side-slope table, or as a tolerance, end in rows or a refusal naming a line; a typical section
// that reads gives sections, and slopes that read give slope stakes on it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "alignment/alignment_error.h"
#include "alignment/check/field_check.h"
#include "alignment/profile_table.h"
#include "alignment/section/design_surface.h"
#include "alignment/section/slopes.h"
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
  std::optional<section::SectionModel> model;
  try {
    section::SectionTables tables;
    tables.section = section::ReadTypicalSection(bytes, "t.csv");
    model.emplace(std::move(tables), StationLine(0, {}, 100));
    for (const double offset : {-5.0, 0.0, 5.0}) model->At(50, 10.0).ElevationAt(offset);
  } catch (const AlignmentError&) {}
  try {
    const section::SideSlopes slopes = section::ReadSideSlopes(bytes, "slopes.csv");
    // Points below, at and above the edge, inside and far beyond it, on both sides.
    for (const double offset : {-1e6, -30.0, -0.5, 0.0, 0.5, 30.0, 1e6}) {
      for (const double z : {-1e4, 0.0, 10.0, 1e4}) {
        section::StakeSlopeFromEdge(offset < 0 ? -7.5 : 7.5, 10, slopes.Ratio(section::Side::Left, section::SlopeKind::Fill),
                                    slopes.Ratio(section::Side::Left, section::SlopeKind::Cut), offset, z);
        if (model) section::StakeSlope(model->At(50, 10.0), slopes, offset, z);
      }
    }
  } catch (const AlignmentError&) {}
  check::ParseZTolerance(bytes);
  check::ParseXyTolerance(bytes);
  return 0;
}
