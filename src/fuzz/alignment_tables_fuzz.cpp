// libFuzzer entry point: any bytes given as a JD, element, points or profile table end in
// rows or a refusal naming a line.
#include <cstddef>
#include <cstdint>
#include <string>

#include "alignment/alignment_error.h"
#include "alignment/profile_table.h"
#include "alignment/table_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace survey::alignment;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  try { ReadJdTable(bytes); } catch (const AlignmentError&) {}
  try { ReadElementTable(bytes); } catch (const AlignmentError&) {}
  try { ReadPointTable(bytes); } catch (const AlignmentError&) {}
  try { ReadProfileTable(bytes); } catch (const AlignmentError&) {}
  return 0;
}
