// Leica GSI-16 point blocks, as total stations load and send them. Layout (GSI Online
// reference manual of the instrument maker, "GSI format"): a block is one line, beginning with
// "*" in GSI-16; it holds words of 24 characters:
//
//   position  1-2   word index (WI): 11 point id, 71 point code, 81 easting, 82 northing,
//                   83 height
//             3-6   information on the data; for WI 11 the block number, for 81-83
//                   position 5 the input mode and position 6 the unit ("0" metres with the
//                   last digit 1 mm, "6" 1/10 mm, "8" 1/100 mm; "1" and "7" are feet)
//             7     sign, "+" or "-"
//             8-23  the data, 16 characters, right-aligned and padded with "0"
//             24    a blank, the separator
//
// e.g. `*110001+000000000000K100 81..00+0000000365760368 82..00+0000002936912007 83..00+0000000001118852 `
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "exchange/point_record.h"

namespace survey::exchange {

// One block per point, CR LF, coordinates in mm (unit "0"); the height word only where the
// point has one, the code word (71) only where it has a code. A name or code that is not
// 1 to 16 printable ASCII characters without blanks is refused (ExchangeError), and so is a
// name beginning with "0" (the padding would swallow it).
std::string WriteGsi16(const std::vector<PointRecord>& points);

// Reads GSI-16 blocks. Leading padding zeros of ids and codes are removed. A word of an index
// this reader does not use is skipped with a note (one per index); a word cut short, a block
// without "*", without point id, easting or northing, a repeated word, a non-digit value or a
// unit in feet is refused with its line.
PointFile ReadGsi16(std::string_view bytes);

}  // namespace survey::exchange
