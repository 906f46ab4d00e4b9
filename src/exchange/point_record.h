// One surveyed or designed point as the field instruments and their office files know it.
// x is north and y is east, as everywhere in this suite; the file formats that put east
// first (CASS, GSI, drawings) swap on the way out and back.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace survey::exchange {

struct PointRecord {
  std::string name;  // UTF-8
  std::string code;  // UTF-8, may be empty
  double x = 0;      // north, metres
  double y = 0;      // east, metres
  std::optional<double> z;
  int line = 0;      // the line of the file it was read from (1-based), 0 when not read
};

// What a reader gives back: the points, and notes on what it passed over (words it does not
// know), for the user to see; a refusal is an ExchangeError instead.
struct PointFile {
  std::vector<PointRecord> points;
  std::vector<std::string> notes;
};

}  // namespace survey::exchange
