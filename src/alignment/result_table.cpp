#include "alignment/result_table.h"

#include "alignment/row_layout.h"

namespace survey::alignment {

namespace {

// "123.453012" (packed D.MMSS) as 123°45′30.12″, decimal degrees with a degree sign.
std::string DisplayAngle(const std::string& packed, AngleUnit unit) {
  if (unit == AngleUnit::Degrees) return packed + "°";
  const std::size_t point = packed.find('.');
  if (point == std::string::npos || packed.size() < point + 5) return packed;
  std::string text = packed.substr(0, point) + "°" + packed.substr(point + 1, 2) + "′" + packed.substr(point + 3, 2);
  if (packed.size() > point + 5) text += "." + packed.substr(point + 5);
  return text + "″";
}

// Cells into a list of texts, in the run's format: the machine form, or the display form.
class CellList {
 public:
  CellList(const CellFormat& format, bool display) : format_(format), display_(display) {}
  void Text(std::string_view text) { cells.emplace_back(text); }
  void Station(double station) {
    cells.push_back(display_ ? StationKText(station, format_.decimals) : FixedText(station, format_.decimals));
  }
  void Station(const std::optional<double>& station) {
    if (station) {
      Station(*station);
    } else {
      Empty();
    }
  }
  void Turn(bool right) {
    if (display_) cells.emplace_back(right ? "右" : "左"); else cells.emplace_back(right ? "right" : "left");
  }
  void Status(bool inside) {
    if (display_) cells.emplace_back(inside ? "正常" : "超出路线"); else cells.emplace_back(inside ? "ok" : "outside");
  }
  void Word(std::string_view machine, std::string_view display) { cells.emplace_back(display_ ? display : machine); }
  void Number(double value) { cells.push_back(FixedText(value, format_.decimals)); }
  void Number(const std::optional<double>& value) {
    if (value) {
      Number(*value);
    } else {
      Empty();
    }
  }
  void Angle(double radians, AngleKind kind) {
    std::string text = AngleText(radians, format_.angles, kind);
    cells.push_back(display_ ? DisplayAngle(text, format_.angles) : std::move(text));
  }
  void Percent(double ratio) { cells.push_back(FixedText(ratio * 100, 4)); }
  void Empty() { cells.emplace_back(); }
  int Decimals() const { return format_.decimals; }
  std::vector<std::string> cells;

 private:
  const CellFormat& format_;
  bool display_;
};

template <class Out>
void RowCells(Out& out, const ResultTable& t, std::size_t row) {
  using Kind = ResultTable::Kind;
  switch (t.RowKind()) {
    case Kind::None: break;
    case Kind::Curves:
      if (!t.elementCurves.empty()) layout::Cells(out, t.elementCurves[row]); else layout::Cells(out, t.curves[row]);
      break;
    case Kind::Stakes: layout::Cells(out, t.stakes[row], t.withProfile); break;
    case Kind::Point: layout::Cells(out, t.points[row], t.withProfile); break;
    case Kind::Locate:
      layout::Cells(out, t.located[row], t.withProfile, t.withZ);
      if (t.withSection) layout::Cells(out, t.locatedDesigns[row], t.withZ, t.withSlopes);
      break;
    case Kind::Stakeout: layout::Cells(out, t.stakeout[row]); break;
    case Kind::Profile: layout::Cells(out, t.profile[row]); break;
  }
}

}  // namespace

std::size_t ResultTable::RowCount() const {
  switch (kind_) {
    case Kind::None: return 0;
    case Kind::Curves: return elementCurves.empty() ? curves.size() : elementCurves.size();
    case Kind::Stakes: return stakes.size();
    case Kind::Point: return points.size();
    case Kind::Locate: return located.size();
    case Kind::Stakeout: return stakeout.size();
    case Kind::Profile: return profile.size();
  }
  return 0;
}

std::vector<std::string> ResultTable::Cells(std::size_t row) const {
  CellList out(format_, false);
  out.cells.reserve(keys_.size());
  RowCells(out, *this, row);
  return std::move(out.cells);
}

std::vector<std::string> ResultTable::DisplayCells(std::size_t row) const {
  CellList out(format_, true);
  out.cells.reserve(keys_.size());
  RowCells(out, *this, row);
  return std::move(out.cells);
}

std::string ResultTable::Csv() const {
  if (kind_ == Kind::None) return {};
  std::string csv;
  AppendCsvRecord(csv, keys_);
  for (std::size_t i = 0; i < RowCount(); ++i) AppendCsvRecord(csv, Cells(i));
  return csv;
}

}  // namespace survey::alignment
