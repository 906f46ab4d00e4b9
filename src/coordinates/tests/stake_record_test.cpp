#include "coordinates/stake_record.h"

#include <gtest/gtest.h>

namespace coordinates {
namespace {

// A ".ly" line has seven fields in table order joined by commas: a blank side stake (the
// straight line's) stays a blank, a field without value (the curve's) stays empty.
TEST(LyExport, LinesKeepTheFieldsAsStored) {
  const std::pair<StakeRecord, const char*> cases[] = {
      {{"1850", "46262.109", "-4492.791", "46258.884", "-4497.579", "46255.659", "-4502.368"},
       "1850,46262.109,-4492.791,46258.884,-4497.579,46255.659,-4502.368"},
      {{"1810.791", " ", " ", "46276.097", "-4532.808", " ", " "}, "1810.791, , ,46276.097,-4532.808, , "},
      {{"加桩900", std::nullopt, std::nullopt, "46722.855", "-7619.616", std::nullopt, std::nullopt}, "加桩900,,,46722.855,-7619.616,,"},
  };
  for (const auto& [row, line] : cases) EXPECT_EQ(LyLine(row), line);
  EXPECT_EQ(LyText({cases[1].first, cases[2].first}),
            "1810.791, , ,46276.097,-4532.808, , \r\n加桩900,,,46722.855,-7619.616,,\r\n");
}

}  // namespace
}  // namespace coordinates
