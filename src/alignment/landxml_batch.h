// The LandXML input (--landxml), the vertical profile (--profile) and the commands profile,
// stakeout and export of the alignment program, registered into its command tables.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "alignment/batch.h"
#include "alignment/profile.h"
#include "alignment/route.h"

namespace survey::alignment {

// Adds the --landxml route source (with --name and --trust-points), the --profile option
// and the commands profile, stakeout and export. `notes` receives what a run reports
// besides its output: the largest end-point difference of an imported LandXML file.
void AddLandXmlCommands(BatchProgram& program, std::ostream& notes);

// The profile a run has loaded: --profile FILE, or else the profile of the --landxml file.
struct LoadedProfile {
  Profile profile;
  std::vector<double> stations;   // each point's station as given
};
std::optional<LoadedProfile> LoadProfile(CommandContext& ctx);

// The station of a profile measure: the route's station, continued straight on before its
// start and after its end (the inverse of ProfileMeasureAtStation).
double StationAtMeasure(const StationLine& stations, double measure);

// Writes the design elevation columns grade_elevation,elevation,grade (grade in percent with
// four decimals) for a chainage, or three empty cells where the profile does not reach.
void WriteElevationCells(CsvWriter& csv, const Profile& profile, double chainage);

}  // namespace survey::alignment
