#include "alignment/result_table.h"

#include "alignment/row_layout.h"

namespace survey::alignment {

namespace {

// Cells into a list of texts, in the run's format.
class CellList {
 public:
  explicit CellList(const CellFormat& format) : format_(format) {}
  void Text(std::string_view text) { cells.emplace_back(text); }
  void Number(double value) { cells.push_back(FixedText(value, format_.decimals)); }
  void Number(const std::optional<double>& value) {
    if (value) {
      Number(*value);
    } else {
      Empty();
    }
  }
  void Angle(double radians, AngleKind kind) { cells.push_back(AngleText(radians, format_.angles, kind)); }
  void Percent(double ratio) { cells.push_back(FixedText(ratio * 100, 4)); }
  void Empty() { cells.emplace_back(); }
  int Decimals() const { return format_.decimals; }
  std::vector<std::string> cells;

 private:
  const CellFormat& format_;
};

}  // namespace

std::size_t ResultTable::RowCount() const {
  switch (kind_) {
    case Kind::None: return 0;
    case Kind::Curves: return curves.size();
    case Kind::Stakes: return stakes.size();
    case Kind::Point: return points.size();
    case Kind::Locate: return located.size();
    case Kind::Stakeout: return stakeout.size();
    case Kind::Profile: return profile.size();
  }
  return 0;
}

std::vector<std::string> ResultTable::Cells(std::size_t row) const {
  CellList out(format_);
  out.cells.reserve(keys_.size());
  switch (kind_) {
    case Kind::None: break;
    case Kind::Curves: layout::Cells(out, curves[row]); break;
    case Kind::Stakes: layout::Cells(out, stakes[row], withProfile); break;
    case Kind::Point: layout::Cells(out, points[row], withProfile); break;
    case Kind::Locate: layout::Cells(out, located[row], withProfile, withZ); break;
    case Kind::Stakeout: layout::Cells(out, stakeout[row]); break;
    case Kind::Profile: layout::Cells(out, profile[row]); break;
  }
  return std::move(out.cells);
}

std::string ResultTable::Csv() const {
  if (kind_ == Kind::None) return {};
  std::string csv;
  const auto line = [&](const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
      if (i) csv.push_back(',');
      AppendCsvField(csv, cells[i]);
    }
    csv.push_back('\n');
  };
  line(keys_);
  for (std::size_t i = 0; i < RowCount(); ++i) line(Cells(i));
  return csv;
}

}  // namespace survey::alignment
