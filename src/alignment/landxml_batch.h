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

// The design elevation columns grade_elevation,elevation,grade (grade in percent with four
// decimals) that stakes and point add when a profile is loaded; without one they add nothing.
class ElevationColumns {
 public:
  explicit ElevationColumns(CommandContext& ctx) : loaded_(LoadProfile(ctx)) {}
  bool Active() const { return loaded_.has_value(); }
  void Header(CsvWriter& csv) const;
  // Three empty cells where the profile does not reach.
  void Cells(CsvWriter& csv, double chainage) const;

 private:
  std::optional<LoadedProfile> loaded_;
};

// locate with a profile loaded: the design elevation at each foot point, and with a points
// table that has a z column (name,x,y,z / 点名,X,Y,Z) also dz = z - design elevation.
// Returns false, doing nothing, when no profile is loaded.
bool RunLocateWithProfile(CommandContext& ctx);

}  // namespace survey::alignment
