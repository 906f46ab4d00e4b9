#include "alignment/section/design_surface.h"

#include <cmath>

#include "alignment/alignment_error.h"
#include "alignment/table_reader.h"
#include "alignment/text_format.h"

namespace survey::alignment::section {

namespace {

constexpr Side kSides[2] = {Side::Left, Side::Right};
// Offsets within this of a part's edge count as on it: widths are sums of typed decimals.
constexpr double kEdgeTolerance = 1e-9;
// Two normal rises that should agree may differ by this much (1 mm).
constexpr double kRiseTolerance = 1e-3;

const char* SideName(Side side) { return side == Side::Left ? "左" : "右"; }

// The rise (m) from the design line to a distance d outward across parts of the given widths
// and slopes; beyond the last part its slope continues (only rotation hinges ask for that).
template <class Width, class Slope, class Parts>
double RiseTo(const Parts& parts, double d, Width width, Slope slope) {
  double rise = 0, crossed = 0;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const double w = width(parts[i]);
    const bool last = i + 1 == parts.size();
    const double take = last ? d - crossed : std::min(w, d - crossed);
    rise += slope(parts[i]) / 100 * take;
    crossed += take;
    if (crossed >= d) break;
  }
  return rise;
}

double NormalRise(const std::vector<SectionPart>& parts, double d) {
  return RiseTo(parts, d, [](const SectionPart& p) { return p.width; }, [](const SectionPart& p) { return p.slope; });
}

double ActualRise(const std::vector<ActualPart>& parts, double d) {
  return RiseTo(parts, d, [](const ActualPart& p) { return p.width; }, [](const ActualPart& p) { return p.slope; });
}

double TemplateWidth(const std::vector<SectionPart>& parts) {
  double w = 0;
  for (const SectionPart& p : parts) w += p.width;
  return w;
}

// The unwidened offset of the carriageway's edge: the outer edge of the part that takes the
// widening (the first super part unless marked), the side's outer edge without one.
double CarriagewayEdge(const std::vector<SectionPart>& parts) {
  double w = 0;
  for (const SectionPart& p : parts) {
    w += p.width;
    if (p.widen) return w;
  }
  return w;
}

std::string RiseText(double rise) { return std::to_string(std::lround(rise * 1000)) + " mm"; }

}  // namespace

std::optional<double> CrossSection::ElevationAt(double offset) const {
  if (offset == 0) return base_[0];
  const Side side = offset < 0 ? Side::Left : Side::Right;
  const std::size_t s = Index(side);
  if (parts_[s].empty()) {
    throw AlignmentError(std::string("标准横断面没有") + SideName(side) + "侧的部分，无法计算该侧边桩的设计高程。");
  }
  const double d = std::fabs(offset);
  if (d > width_[s] + kEdgeTolerance) return std::nullopt;
  return base_[s] + ActualRise(parts_[s], std::min(d, width_[s]));
}

void CrossSection::AppendBreakPoints(std::vector<BreakPoint>& out) const {
  BreakPoint line;
  line.designLine = true;
  line.elevation = base_[0];
  out.push_back(line);
  for (const Side side : kSides) {
    const std::size_t s = Index(side);
    const double sign = side == Side::Left ? -1 : 1;
    double crossed = 0, z = base_[s];
    for (const ActualPart& part : parts_[s]) {
      crossed += part.width;
      z += part.slope / 100 * part.width;
      out.push_back({false, side, part.part, sign * crossed, part.width, part.slope, z});
    }
  }
}

SectionModel::SectionModel(SectionTables tables, const StationLine& stations, SectionOptions options)
    : tables_(std::move(tables)), options_(options) {
  superelevation_ = SideSchedule(tables_.superelevation, stations, tables_.superelevationFile);
  widening_ = SideSchedule(tables_.widening, stations, tables_.wideningFile, options_.widening);
  const TypicalSection& t = tables_.section;
  const std::string sectionFile = FilePrefix(tables_.sectionFile);

  // Interpolated widening stays between the values of its rows (the cubic runs monotonically
  // from one to the other), so the rows are where a width can first turn negative.
  for (const SideValuesRow& row : tables_.widening) {
    for (const Side side : kSides) {
      const double b = side == Side::Left ? row.left : row.right;
      if (b == 0) continue;
      const auto refuse = [&](const std::string& what) {
        throw AlignmentError(FilePrefix(tables_.wideningFile) + LinePrefix(row.line) + SideName(side) + "侧" + what, row.line);
      };
      const SectionPart* widened = nullptr;
      for (const SectionPart& p : t.Parts(side)) {
        if (p.widen) widened = &p;
      }
      if (widened == nullptr) refuse("有加宽，但标准横断面该侧没有取加宽的部分（加宽 1 或超高 1）。");
      if (widened->width + b < 0) {
        refuse("加宽 " + FixedText(b, 3) + " m 使“" + widened->name + "”的宽度为负。");
      }
    }
  }

  const bool medianNeeded = options_.profileAt == ProfileAt::Median || options_.rotateAbout == RotateAbout::Median;
  if (medianNeeded) {
    for (const Side side : kSides) {
      if (t.Parts(side).empty() || !t.Parts(side).front().median) {
        throw AlignmentError(sectionFile + SideName(side) +
                             "侧的第一个部分不是中央分隔带（median 列为 1，或名为“中央分隔带”），无法按中央分隔带边缘计算。");
      }
    }
    const double left = NormalRise(t.left, t.left.front().width), right = NormalRise(t.right, t.right.front().width);
    if (std::fabs(left - right) > kRiseTolerance) {
      throw AlignmentError(sectionFile + "左右中央分隔带的正常横坡高差不同（左 " + RiseText(left) + "，右 " +
                           RiseText(right) + "），设计线高程不确定。");
    }
  }
  switch (options_.profileAt) {
    case ProfileAt::Line:
      break;
    case ProfileAt::Edge: {
      for (const Side side : kSides) {
        if (t.Parts(side).empty()) {
          throw AlignmentError(sectionFile + "标准横断面没有" + SideName(side) + "侧的部分，无法按路基边缘计算设计线高程。");
        }
      }
      const double left = NormalRise(t.left, TemplateWidth(t.left));
      const double right = NormalRise(t.right, TemplateWidth(t.right));
      if (std::fabs(left - right) > kRiseTolerance) {
        throw AlignmentError(sectionFile + "两侧路基边缘相对设计线的正常高差不同（左 " + RiseText(left) + "，右 " +
                             RiseText(right) + "），纵断面高程在路基边缘时设计线高程不确定。");
      }
      profileToLine_ = -left;
      break;
    }
    case ProfileAt::Median:
      profileToLine_ = -NormalRise(t.left, t.left.front().width);
      break;
  }
}

CrossSection SectionModel::At(double chainage, std::optional<double> profileElevation) const {
  const TypicalSection& t = tables_.section;
  const std::optional<SideValues> super = superelevation_.At(chainage);
  const std::optional<SideValues> widening = widening_.At(chainage);
  CrossSection section;
  for (const Side side : kSides) {
    const std::size_t s = CrossSection::Index(side);
    std::vector<ActualPart>& parts = section.parts_[s];
    parts.reserve(t.Parts(side).size());
    for (const SectionPart& p : t.Parts(side)) {
      ActualPart actual{&p, p.width, p.slope};
      // A side hanging from its median edge keeps the median at its template slope.
      const bool keepsSlope = p.median && options_.rotateAbout == RotateAbout::Median;
      if (p.super && super && !keepsSlope) actual.slope = super->Of(side);
      if (p.widen && widening) actual.width += widening->Of(side);
      section.width_[s] += actual.width;
      parts.push_back(actual);
    }
  }

  // Each side's elevation at offset 0, starting from the normal design line at 0.
  switch (options_.rotateAbout) {
    case RotateAbout::Line:
      break;
    case RotateAbout::InnerEdge:
      // The inner side is the one with the lower super slope; its carriageway edge before
      // widening keeps its normal elevation, the whole section turning about it.
      if (super && super->left != super->right) {
        const Side inner = super->left < super->right ? Side::Left : Side::Right;
        const std::vector<SectionPart>& parts = t.Parts(inner);
        const double edge = CarriagewayEdge(parts);
        const double base = NormalRise(parts, edge) - ActualRise(section.parts_[CrossSection::Index(inner)], edge);
        section.base_[0] = section.base_[1] = base;
      }
      break;
    case RotateAbout::Median:
      // Each side hangs from its own median edge at its normal elevation.
      for (const Side side : kSides) {
        const std::size_t s = CrossSection::Index(side);
        const SectionPart& median = t.Parts(side).front();
        const double edge = section.parts_[s].front().width;  // the median's outer edge as it is
        section.base_[s] = NormalRise(t.Parts(side), median.width) - ActualRise(section.parts_[s], edge);
      }
      break;
  }

  // Without a profile the design line is the reference; with one, the normal design line
  // sits at the profile's elevation moved from where --profile-at puts it.
  const double shift = profileElevation ? *profileElevation + profileToLine_ : -section.base_[0];
  section.base_[0] += shift;
  section.base_[1] += shift;
  return section;
}

}  // namespace survey::alignment::section
