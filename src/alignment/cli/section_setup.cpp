#include "alignment/cli/section_setup.h"

#include <utility>

namespace survey::alignment::cli {

namespace {

// The value of a choice option as its index in `choices`; the first when absent.
int Choice(const CommandContext& ctx, const std::string& option, const std::vector<std::string>& choices) {
  if (!ctx.options.Has(option)) return 0;
  const std::string value = ctx.options.Value(option);
  for (std::size_t i = 0; i < choices.size(); ++i) {
    if (value == choices[i]) return static_cast<int>(i);
  }
  std::string list;
  for (const std::string& c : choices) list += (list.empty() ? "" : "、") + c;
  Refuse("--" + option + " 应为 " + list + " 之一：" + Quote(value) + "。");
}

const char* const kWithSection[] = {"superelevation", "widening", "widening-transition", "profile-at", "rotate-about"};

}  // namespace

std::vector<OptionHelp> SectionOptionHelp() {
  return {{{"section"},
           "--section FILE",
           "typical section side,part,width,slope,super,widen (侧,名称,宽度,横坡,超高,加宽): the parts of each "
           "side (left/right, 左/右) outward from the design line, width in m, slope in percent, negative where "
           "the surface falls away from the design line; super 1 for a part that takes the superelevation, "
           "widen 1 for the one part of a side that takes the widening (default: its first super part); an "
           "optional column median 1 marks a median (or a part named 中央分隔带). Adds the design elevation "
           "of the side stakes."},
          {{"superelevation"},
           "--superelevation FILE",
           "superelevation station,left,right (桩号,左,右): cross slope of the super parts in percent, same "
           "sign rule, linear along the route between rows; outside the rows the template's slopes."},
          {{"widening"},
           "--widening FILE",
           "widening station,left,right (桩号,左,右) in metres, linear between rows, 0 outside them."},
          {{"widening-transition"}, "--widening-transition T",
           "linear (default) or cubic: b·(4k³ − 3k⁴) between rows of 0 and b, k counted from the 0 row."},
          {{"profile-at"}, "--profile-at P",
           "line, edge or median: the profile gives the elevation of the design line (default), of both subgrade edges of the "
           "normal section, or of the median's outer edges."},
          {{"rotate-about"}, "--rotate-about R",
           "line, inner-edge or median: superelevation turns the section about the design line (default), about the carriageway's inner "
           "edge before widening, or each side about its median edge."}};
}

std::optional<section::SectionModel> SectionFromOptions(CommandContext& ctx) {
  if (!ctx.options.Has("section")) {
    for (const char* option : kWithSection) {
      if (ctx.options.Has(option)) Refuse(std::string("--") + option + " 只与 --section 同用。");
    }
    return std::nullopt;
  }
  section::SectionOptions options;
  options.widening = static_cast<section::Transition>(Choice(ctx, "widening-transition", {"linear", "cubic"}));
  options.profileAt = static_cast<section::ProfileAt>(Choice(ctx, "profile-at", {"line", "edge", "median"}));
  options.rotateAbout = static_cast<section::RotateAbout>(Choice(ctx, "rotate-about", {"line", "inner-edge", "median"}));
  section::SectionTables tables;
  tables.sectionFile = ctx.options.Value("section");
  tables.section = section::ReadTypicalSection(ctx.readFile(tables.sectionFile), tables.sectionFile);
  if (ctx.options.Has("superelevation")) {
    tables.superelevationFile = ctx.options.Value("superelevation");
    tables.superelevation =
        section::ReadSuperelevationTable(ctx.readFile(tables.superelevationFile), tables.superelevationFile);
  }
  if (ctx.options.Has("widening")) {
    tables.wideningFile = ctx.options.Value("widening");
    tables.widening = section::ReadWideningTable(ctx.readFile(tables.wideningFile), tables.wideningFile);
  }
  return section::SectionModel(std::move(tables), ctx.GetRoute().Stations(), options);
}

std::string ElevationColumn(const std::string& name, bool withProfile) {
  return (withProfile ? "z_" : "relative_z_") + name;
}

void CheckSides(const section::SectionModel& model, const std::vector<double>& offsets) {
  // The section anywhere refuses a side stake on a side the template lacks.
  const section::CrossSection any = model.At(0, std::nullopt);
  for (const double offset : offsets) any.ElevationAt(offset);
}

}  // namespace survey::alignment::cli
