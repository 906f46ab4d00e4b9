#include "alignment/section/section_rows.h"

namespace survey::alignment::section {

const char* SideText(Side side) { return side == Side::Left ? "左" : "右"; }

SectionAtStation SectionAt(const SectionModel& model, const Profile* profile, double chainage) {
  if (profile == nullptr) return {model.At(chainage, std::nullopt), true};
  if (!profile->Covers(chainage)) return {model.At(chainage, 0.0), false};
  return {model.At(chainage, profile->At(chainage).elevation), true};
}

void AppendSectionRows(const Route& route, const SectionAtStation& at, double chainage, std::vector<SectionRow>& out) {
  thread_local std::vector<BreakPoint> points;
  points.clear();
  at.section.AppendBreakPoints(points);
  for (const BreakPoint& p : points) {
    const Pose pose = route.PointAt(chainage, p.offset);
    SectionRow row;
    row.designLine = p.designLine;
    row.side = p.side;
    row.part = p.part;
    row.offset = p.offset;
    row.width = p.width;
    row.slope = p.slope;
    if (at.known) row.elevation = p.elevation;
    row.x = pose.x;
    row.y = pose.y;
    out.push_back(row);
  }
}

std::vector<std::string> EdgeNames(const TypicalSection& section) {
  std::vector<std::string> names;
  for (const Side side : {Side::Left, Side::Right}) {
    for (const SectionPart& part : section.Parts(side)) names.push_back(std::string(SideText(side)) + " " + part.name);
  }
  return names;
}

void EdgeOffsets(const CrossSection& section, std::vector<double>& out) {
  out.clear();
  for (const Side side : {Side::Left, Side::Right}) {
    const double sign = side == Side::Left ? -1 : 1;
    double crossed = 0;
    for (const ActualPart& part : section.Parts(side)) {
      crossed += part.width;
      out.push_back(sign * crossed);
    }
  }
}

}  // namespace survey::alignment::section
