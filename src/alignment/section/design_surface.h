// The design surface of the road across the route: at a station, the parts of each side with
// their actual widths (widening included) and slopes (superelevation included), and the
// design elevation at any offset (right positive) from the design line.
//
// Elevations follow road design practice (《道路勘测设计》, 横断面设计 and 超高; JTG D20
// 公路路线设计规范): the elevation at an offset is the design line's plus, across each part
// crossed outward, its slope times the width crossed. The profile gives the elevation of the
// design line, of the subgrade edges of the normal section (two-lane roads) or of the median's
// outer edges (divided highways) (--profile-at); superelevation turns the section about the
// design line, about the carriageway's inner edge before widening, or each side about its own
// median edge (--rotate-about). The "normal section" is the template: its slopes, no widening.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "alignment/section/section_tables.h"
#include "alignment/section/side_schedule.h"
#include "alignment/stations.h"

namespace survey::alignment::section {

enum class ProfileAt { Line, Edge, Median };
enum class RotateAbout { Line, InnerEdge, Median };

struct SectionOptions {
  ProfileAt profileAt = ProfileAt::Line;
  RotateAbout rotateAbout = RotateAbout::Line;
  Transition widening = Transition::Linear;
};

// The tables as read, with the names of their files for refusals. Either schedule may be empty.
struct SectionTables {
  TypicalSection section;
  std::vector<SideValuesRow> superelevation, widening;
  std::string sectionFile, superelevationFile, wideningFile;
};

// A part as it is at one station.
struct ActualPart {
  const SectionPart* part = nullptr;
  double width = 0;  // m, widening included
  double slope = 0;  // percent
};

// One break point of a section: the design line, or a part's outer edge.
struct BreakPoint {
  bool designLine = false;
  Side side = Side::Left;
  const SectionPart* part = nullptr;  // null on the design line
  double offset = 0;                  // right positive
  double width = 0, slope = 0;        // the part's (0 on the design line)
  double elevation = 0;
};

class CrossSection {
 public:
  // The design line's elevation (the left side's when the sides hang from their own median edges).
  double DesignLineElevation() const { return base_[0]; }
  const std::vector<ActualPart>& Parts(Side side) const { return parts_[Index(side)]; }
  // Total width of a side at this station.
  double Width(Side side) const { return width_[Index(side)]; }

  // The design elevation at an offset (right positive); nothing beyond the outermost edge.
  // Refuses an offset on a side without parts.
  std::optional<double> ElevationAt(double offset) const;

  // The design line, then each part's outer edge outward, left side then right side.
  void AppendBreakPoints(std::vector<BreakPoint>& out) const;

 private:
  friend class SectionModel;
  static std::size_t Index(Side side) { return side == Side::Left ? 0 : 1; }
  std::vector<ActualPart> parts_[2];
  double width_[2] = {0, 0};
  double base_[2] = {0, 0};  // each side's elevation at offset 0
};

class SectionModel {
 public:
  // Places the tables on the route. Refuses (naming file and line or part): superelevation or
  // widening rows out of order or off the route, widening on a side with no part to take it
  // or making a width negative, --profile-at edge with sides of different normal rises to
  // their edges (more than 1 mm), --profile-at median or --rotate-about median without a
  // median as the first part of both sides, or with medians of different normal rises.
  SectionModel(SectionTables tables, const StationLine& stations, SectionOptions options = {});

  // The section at a chainage. `profileElevation` is the profile's elevation there (at the
  // design line, the edges or the median edges by --profile-at); without a profile the
  // elevations are relative to the design line, which is 0.
  CrossSection At(double chainage, std::optional<double> profileElevation) const;

  const TypicalSection& Template() const { return tables_.section; }
  const SectionOptions& Options() const { return options_; }

 private:
  SectionTables tables_;
  SectionOptions options_;
  SideSchedule superelevation_, widening_;
  double profileToLine_ = 0;  // design line's normal elevation minus the profile's
};

}  // namespace survey::alignment::section
