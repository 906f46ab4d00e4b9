#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "alignment/element.h"
#include "alignment/profile.h"
#include "alignment/stations.h"

namespace survey::alignment {

// Everything one exported alignment holds. Profile measures are the route's chainages.
struct LandXmlExport {
  std::string name = "alignment";
  std::string profileName;   // empty: the alignment's name
  double startStation = 0;
  std::vector<StationEquation> equations;
  std::vector<Element> elements;
  const Profile* profile = nullptr;
};

// LandXML 1.2 text in metres and radians; directions clockwise from north. Numbers are
// written with the fewest digits that read back to the same double, so an export read
// back rebuilds the same route. Element and PVI stations are internal (staStart plus the
// distance along the alignment), as LandXML counts them. Names lose the control characters
// XML cannot hold.
std::string LandXmlText(const LandXmlExport& alignment);

// Replaces `path` only once the whole of `bytes` is on disk: written to a temporary file
// in the same folder, flushed with fsync, then renamed over the target. Any failure names
// the file and the reason, removes the temporary file and leaves an existing file as it was.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace survey::alignment
