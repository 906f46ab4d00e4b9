// The stake table shared by the two coordinate calculators: one StakeRecord per stake, the
// table behind a small interface (an SQLite file in the programs, memory in tests), the grid's
// row colours and the ".ly" export lines.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace coordinates {

inline constexpr std::size_t kStakeFieldCount = 7;

// Field (column) names of the table, in their order.
inline constexpr std::array<std::string_view, kStakeFieldCount> kStakeFieldNames = {"zh",  "zbx", "zby", "zx",
                                                                                    "zy",  "ybx", "yby"};
// The seven labels above the grid and the report's column headings.
inline constexpr std::array<std::string_view, kStakeFieldCount> kStakeHeadings = {
    "桩号(m)", "左边桩X", "左边桩Y", "中心桩X", "中心桩Y", "右边桩X", "右边桩Y"};

// What the straight-line calculator writes into the four side fields of a row without side
// stakes. The curve window leaves them without value instead (std::nullopt, NULL in the table).
inline constexpr std::string_view kNoSideStake = " ";

// A field holds a text or has no value at all; the two are different (a single blank is a value).
using StakeField = std::optional<std::string>;

struct StakeRecord {  // one row of the stake table zbb (坐标表)
  StakeField station;  // 桩号, stored in the field zh
  StakeField zbx;  // left side stake (左边桩) X, Y
  StakeField zby;
  StakeField zx;  // centre stake (中桩) X, Y
  StakeField zy;
  StakeField ybx;  // right side stake (右边桩) X, Y
  StakeField yby;

  // Field i in table order (0 = station ... 6 = yby).
  const StakeField& Field(std::size_t i) const;
  StakeField& Field(std::size_t i);
  bool operator==(const StakeRecord&) const = default;
};

// The text a grid cell or an export line shows: the value, or nothing.
inline std::string_view CellText(const StakeField& f) { return f ? std::string_view(*f) : std::string_view(); }

// One export line: the seven cell texts joined by "," (no blanks, no quotes added), without
// the line end.
std::string LyLine(const StakeRecord& row);
// The whole export file: one line per row, each ended by CR LF.
std::string LyText(const std::vector<StakeRecord>& rows);

struct RowColour {
  int red, green, blue;
  bool operator==(const RowColour&) const = default;
};
// Grid row i (from 0): green on even rows, light cyan on odd ones.
inline constexpr RowColour StakeRowColour(std::size_t row) {
  return row % 2 == 0 ? RowColour{128, 255, 128} : RowColour{192, 255, 255};
}

// Called now and then during a long write with the rows done so far and the total; false
// cancels the write, which then leaves the table as it was.
using Progress = std::function<bool(std::size_t done, std::size_t total)>;

// The stake table zbb. Every method reports failure by returning false, with the reason in
// LastError(); a failed change leaves the table as it was.
class StakeTable {
 public:
  virtual ~StakeTable() = default;
  // Empties the table and appends `rows` as one change: anyone reading the table, another copy
  // of the program or this one after a crash, sees the old rows or the new, never a mix.
  virtual bool Replace(const std::vector<StakeRecord>& rows, const Progress& progress) = 0;
  virtual bool Append(const StakeRecord& row) = 0;
  virtual bool Clear() = 0;
  // Every row in the order it was appended.
  virtual bool ReadRows(std::vector<StakeRecord>& rows) = 0;
  virtual std::string LastError() const = 0;
};

// A table in memory, for tests and tools.
class MemoryStakeTable final : public StakeTable {
 public:
  bool Replace(const std::vector<StakeRecord>& rows, const Progress& progress) override;
  bool Append(const StakeRecord& row) override;
  bool Clear() override;
  bool ReadRows(std::vector<StakeRecord>& rows) override;
  std::string LastError() const override { return {}; }
  std::vector<StakeRecord> rows;
};

}  // namespace coordinates
