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

// A vertical curve is given by its length (ParaCurve), its radius (CircCurve) or the lengths
// of its two halves (UnsymParaCurve). Writers that sign a crest's radius or length are read
// by magnitude: the grades tell crest from sag.
struct LandXmlProfilePoint {
  std::string name;
  double station = 0;        // internal station, as LandXML counts PVIs
  double elevation = 0;
  double curveLength = 0;    // ParaCurve, 0 for a plain PVI
  double curveRadius = 0;    // CircCurve
  double lengthIn = 0, lengthOut = 0;   // UnsymParaCurve
};

struct LandXmlProfile {
  std::string name;
  std::string fault;   // non-empty: why its points cannot be read (refused when it is used)
  std::vector<LandXmlProfilePoint> points;
};

struct LandXmlStationEquation {
  double back = 0, ahead = 0;
  std::optional<double> internal;   // staInternal where the file gives it
};

// One alignment as read. A fault in it is kept, not thrown, so that another alignment of the
// same file still imports; it is refused when this one is asked for.
struct LandXmlAlignment {
  std::string name;
  std::string fault;                        // non-empty: why this alignment cannot be read
  double staStart = 0;
  std::vector<LandXmlStationEquation> equations;
  std::vector<LandXmlElement> elements;
  std::vector<LandXmlProfile> profiles;     // every ProfAlign, in file order
  std::vector<std::string> notes;           // what was read leniently or skipped
};

struct LandXmlDocument {
  std::vector<LandXmlAlignment> alignments;
};

// Files larger than this are refused before they are parsed; parsing is also refused once the
// parser's memory passes a fixed budget, so no file can exhaust memory.
// The parser keeps its own copy of the text, so the limit is half of what a run may spend.
inline constexpr std::size_t kLandXmlMaxBytes = 100u * 1024u * 1024u;
// Nor may a file hold more than this many tags ("<") and attributes ("="): far more than any
// alignment needs (one of 2,000 elements has about 30,000), and well within the parser's
// memory budget.
inline constexpr std::size_t kLandXmlMaxMarkup = 2'500'000;

// Throws AlignmentError for what spoils the whole file: malformed or truncated XML (line and
// column), an encoding that cannot be decoded, no LandXML root, no alignment. What spoils one
// alignment (units or spiral types this suite does not set out, unreadable numbers, lengths or
// radii that are not positive, all named with the element) becomes that alignment's fault.
LandXmlDocument ParseLandXml(std::string_view bytes);

// Reads at most kLandXmlMaxBytes from the file (refusing a larger one) and parses it; a
// failure to read names the file.
LandXmlDocument ReadLandXmlFile(const std::string& path);

// The alignment called `name`, or the first one when `name` is empty; a name that is not
// there is refused with the names that are, and an alignment that could not be read with
// its fault.
const LandXmlAlignment& SelectAlignment(const LandXmlDocument& document, const std::string& name);

// A joint where an element leaves the previous one at an angle: it starts at the previous
// end with the direction its own points give.
struct LandXmlAnglePoint {
  std::size_t element = 0;   // index from 1 of the element starting there
  double chainage = 0;
  double deflection = 0;     // radians, right positive
};

// An alignment rebuilt with this suite's geometry.
struct LandXmlImport {
  std::string name;
  Route route;
  std::string profileName;                // of the ProfAlign used
  std::optional<Profile> profile;         // measures are the route's chainages
  std::vector<double> profileStations;    // each profile point's displayed station (K notation)
  std::vector<LandXmlAnglePoint> anglePoints;
  // The largest distance between an element's computed end and the End stored in the file,
  // and that element's index (0 when there are no elements to compare).
  double largestEndDifference = 0;
  std::size_t largestEndDifferenceElement = 0;
  // With trustPoints: the largest distance between an element's stored Start and the previous
  // element's end, and the element it starts (0: none).
  double largestGap = 0;
  std::size_t largestGapElement = 0;
  std::vector<std::string> notes;         // for the user: what was read leniently or skipped
};

struct LandXmlImportOptions {
  std::string name;           // empty: the first alignment
  bool trustPoints = false;   // each element starts at its stored Start
  bool noProfile = false;     // the plan alone, whatever the profile holds
  std::string profileName{};  // the ProfAlign of that name; empty: the first
};

// Under trustPoints, a gap between elements or a disagreement between an element's length and
// its points beyond this is a broken chain, not a rounding: refused.
inline constexpr double kLandXmlTrustLimit = 1.0;

// Ends stored in a file may differ from the rebuilt ones by this much (rounding in the file).
inline constexpr double kLandXmlEndTolerance = 0.001;

// Rebuilds the chain from the first element's Start and the direction its points fix: a
// line's Start -> End, an arc's radius at its Start with its rot, a spiral's Start -> PI (a
// dir / dirStart attribute only where the points fix none, since writers disagree on how it
// is measured). Each element continues the previous one's tangent; where that misses the
// stored End but the element's own direction meets it, the joint is an angle point. An
// element more than kLandXmlEndTolerance off either way is refused with its index and the
// difference, unless trustPoints, when every element starts at its own stored Start with the
// direction its own points give (gaps and contradictions beyond kLandXmlTrustLimit refused).
// PVI stations are internal stations (staStart plus the distance along the alignment).
// A profile that cannot be built is refused, saying that noProfile imports the plan alone.
LandXmlImport ImportLandXml(const LandXmlDocument& document, const LandXmlImportOptions& options);

}  // namespace survey::alignment
