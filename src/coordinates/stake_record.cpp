#include "coordinates/stake_record.h"

#include <utility>

namespace coordinates {

const StakeField& StakeRecord::Field(std::size_t i) const {
  static constexpr StakeField StakeRecord::*kFields[kStakeFieldCount] = {
      &StakeRecord::station, &StakeRecord::zbx, &StakeRecord::zby, &StakeRecord::zx,
      &StakeRecord::zy, &StakeRecord::ybx, &StakeRecord::yby};
  return this->*kFields[i < kStakeFieldCount ? i : 0];
}

StakeField& StakeRecord::Field(std::size_t i) { return const_cast<StakeField&>(std::as_const(*this).Field(i)); }

std::string LyLine(const StakeRecord& row) {
  std::string line;
  for (std::size_t i = 0; i < kStakeFieldCount; ++i) {
    if (i > 0) line += ',';
    line += CellText(row.Field(i));
  }
  return line;
}

std::string LyText(const std::vector<StakeRecord>& rows) {
  std::string text;
  text.reserve(rows.size() * 64);
  for (const StakeRecord& row : rows) {
    text += LyLine(row);
    text += "\r\n";
  }
  return text;
}

bool MemoryStakeTable::Replace(const std::vector<StakeRecord>& newRows, const Progress& progress) {
  if (progress && !progress(newRows.size(), newRows.size())) return false;  // cancelled: unchanged
  rows = newRows;
  return true;
}

bool MemoryStakeTable::Append(const StakeRecord& row) {
  rows.push_back(row);
  return true;
}

bool MemoryStakeTable::Clear() {
  rows.clear();
  return true;
}

bool MemoryStakeTable::ReadRows(std::vector<StakeRecord>& out) {
  out = rows;
  return true;
}

}  // namespace coordinates
