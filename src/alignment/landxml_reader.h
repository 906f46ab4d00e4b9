#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "alignment/profile.h"
#include "alignment/route.h"

namespace survey::alignment {

// What a LandXML 1.2 file says about its alignments, in metres and radians, before any
// geometry is built from it. Points are X north, Y east ("northing easting" in the file);
// directions are radians clockwise from north.
struct LandXmlPoint {
  double x = 0, y = 0;
};

enum class LandXmlElementKind { Line, Curve, Spiral };

struct LandXmlElement {
  LandXmlElementKind kind = LandXmlElementKind::Line;
  std::size_t index = 0;                   // from 1, in document order
  std::optional<double> length;
  std::optional<LandXmlPoint> start, end, center, pi;
  std::optional<double> radius;            // Curve
  std::optional<double> radiusStart, radiusEnd;   // Spiral; +infinity for "INF"
  int rot = 0;                             // +1 clockwise (right), -1 counter-clockwise, 0 not given
  std::optional<double> dir, dirStart, dirEnd;
};

// A vertical curve is given either by its length (ParaCurve) or by its radius (CircCurve).
struct LandXmlProfilePoint {
  std::string name;
  double station = 0;
  double elevation = 0;
  double curveLength = 0;   // ParaCurve, 0 for a plain PVI
  double curveRadius = 0;   // CircCurve
};

struct LandXmlStationEquation {
  double back = 0, ahead = 0;
};

struct LandXmlAlignment {
  std::string name;
  double staStart = 0;
  std::vector<LandXmlStationEquation> equations;
  std::vector<LandXmlElement> elements;
  bool hasProfile = false;
  std::vector<LandXmlProfilePoint> profile;   // the first ProfAlign
};

struct LandXmlDocument {
  std::vector<LandXmlAlignment> alignments;
};

// Files larger than this are refused before they are parsed; parsing is also refused once the
// parser's memory passes a fixed budget, so no file can exhaust memory.
inline constexpr std::size_t kLandXmlMaxBytes = 200u * 1024u * 1024u;
// Nor may a file hold more than this many tags ("<"): far more than any alignment needs (one
// of 2,000 elements has about 10,000), and well within the parser's memory budget.
inline constexpr std::size_t kLandXmlMaxMarkup = 5'000'000;

// Throws AlignmentError: malformed or truncated XML, no LandXML root, units or spiral types
// this suite does not set out (named), unreadable or non-finite numbers (naming the element),
// lengths that are not positive, radii that are not positive.
LandXmlDocument ParseLandXml(std::string_view bytes);

// Reads at most kLandXmlMaxBytes from the file (refusing a larger one) and parses it; a
// failure to read names the file.
LandXmlDocument ReadLandXmlFile(const std::string& path);

// The alignment called `name`, or the first one when `name` is empty; a name that is not
// there is refused with the names that are.
const LandXmlAlignment& SelectAlignment(const LandXmlDocument& document, const std::string& name);

// An alignment rebuilt with this suite's geometry.
struct LandXmlImport {
  std::string name;
  Route route;
  std::optional<Profile> profile;         // measures are the route's chainages
  std::vector<double> profileStations;    // each profile point's station as the file gives it
  // The largest distance between an element's computed end and the End stored in the file,
  // and that element's index (0 when there are no elements to compare).
  double largestEndDifference = 0;
  std::size_t largestEndDifferenceElement = 0;
};

struct LandXmlImportOptions {
  std::string name;           // empty: the first alignment
  bool trustPoints = false;   // each element starts at its stored Start
};

// Ends stored in a file may differ from the rebuilt ones by this much (rounding in the file).
inline constexpr double kLandXmlEndTolerance = 0.001;

// Rebuilds the chain from the first element's Start and the direction its points fix: a
// line's Start -> End, an arc's radius at its Start with its rot, a spiral's Start -> PI (a
// dir / dirStart attribute only where the points fix none, since writers disagree on how it
// is measured). Each computed end is compared with the stored End; an element more than
// kLandXmlEndTolerance off is refused with its index and the difference, unless trustPoints,
// when every element starts at its own stored Start with the direction its own points give.
LandXmlImport ImportLandXml(const LandXmlDocument& document, const LandXmlImportOptions& options);

}  // namespace survey::alignment
