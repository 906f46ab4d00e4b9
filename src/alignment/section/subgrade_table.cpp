#include "alignment/section/subgrade_table.h"

#include "alignment/section/section_rows.h"
#include "alignment/text_format.h"

namespace survey::alignment::section {

SubgradeTable MakeSubgradeTable(const Route& route, const SectionModel& model, const Profile* profile,
                                const StakeOptions& stakes, int decimals) {
  SubgradeTable table;
  table.title = "路基设计表";
  table.relative = profile == nullptr;
  const std::string elevation = table.relative ? "相对高程 (m)" : "高程 (m)";
  table.headers = {"桩号", "设计" + elevation};
  for (const Side side : {Side::Left, Side::Right}) {
    for (const SectionPart& part : model.Template().Parts(side)) {
      const std::string name = std::string(SideText(side)) + " " + part.name;
      table.headers.push_back(name + " 宽度 (m)");
      table.headers.push_back(name + " 横坡 (%)");
      table.headers.push_back(name + " 边缘" + elevation);
    }
  }
  std::vector<BreakPoint> points;
  ForEachStake(route, stakes, [&](const Stake& stake) {
    const SectionAtStation at = SectionAt(model, profile, stake.chainage);
    points.clear();
    at.section.AppendBreakPoints(points);
    std::vector<std::string> row;
    row.reserve(table.headers.size());
    row.push_back(StationKText(stake.station, decimals));
    const auto z = [&](double value) { return at.known ? FixedText(value, decimals) : std::string(); };
    for (const BreakPoint& p : points) {
      if (p.designLine) {
        row.push_back(z(p.elevation));
        continue;
      }
      row.push_back(FixedText(p.width, decimals));
      row.push_back(FixedText(p.slope, 2));
      row.push_back(z(p.elevation));
    }
    table.rows.push_back(std::move(row));
  });
  return table;
}

}  // namespace survey::alignment::section
