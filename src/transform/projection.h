// Ellipsoids, the Gauss–Krüger (transverse Mercator) projection and geocentric coordinates,
// all computed by PROJ from "+proj" definitions, so neither proj.db, grid files nor the
// network are ever needed.
//
// Axis order as Chinese surveyors write it: x is the northing, y the easting. Angles in and out
// of this interface are decimal degrees.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace survey::transform {

struct Ellipsoid {
  double a = 0;     // semi-major axis, metres
  double invf = 0;  // 1/f
};

// The named frames: CGCS2000, WGS 84, Beijing 1954 (Krassovsky 1940), Xi'an 1980 (IAG 1975).
Ellipsoid Cgcs2000();
Ellipsoid Wgs84();
Ellipsoid Beijing1954();
Ellipsoid Xian1980();

// "cgcs2000", "wgs84", "bj54", "xian80" or "A,INVF"; refuses anything else, or an A outside
// 6,000–7,000 km or an INVF outside 250–350 (no Earth ellipsoid lies outside them).
Ellipsoid ParseEllipsoid(std::string_view text);

// A general transverse Mercator: the ellipsoid, the natural origin, the scale on the central
// meridian and the false easting and northing.
struct TransverseMercatorDefinition {
  Ellipsoid ellipsoid;
  double centralMeridian = 0;  // degrees, east positive
  double originLatitude = 0;   // degrees
  double scale = 1;
  double falseEasting = 500000;
  double falseNorthing = 0;
};

// Chinese grid coordinates: 3° zones (central meridian 3·n) or 6° zones (6·n − 3), or any
// central meridian; projection height H done on the ellipsoid a + H with the same flattening.
struct GaussKruger {
  Ellipsoid ellipsoid = Cgcs2000();
  double centralMeridian = 0;  // degrees
  double height = 0;           // projection height, metres
  double scale = 1;
  // The zone number written before y with --prefix (0: none known).
  int zone = 0;
  TransverseMercatorDefinition Definition() const;
};

// How far from its central meridian a point may lie: beyond, the distortion of a zone is
// meaningless for surveying.
inline constexpr double kMaxLongitudeOffset = 10.0;

struct GridPoint {
  double x = 0;  // northing
  double y = 0;  // easting
};
struct GeodeticPoint {
  double B = 0;  // latitude, degrees
  double L = 0;  // longitude, degrees
};
// The meridian convergence γ (degrees, positive east of the central meridian in the northern
// hemisphere) and the point scale k of the projection at a point.
struct PointFactors {
  double convergence = 0;
  double scale = 0;
};

// One projection, ready to use; not copyable, movable. Each holds its own PROJ context, so two
// projections may be used from two threads.
class TransverseMercator {
 public:
  explicit TransverseMercator(const TransverseMercatorDefinition& definition);
  ~TransverseMercator();
  TransverseMercator(TransverseMercator&&) noexcept;
  TransverseMercator& operator=(TransverseMercator&&) noexcept;

  const TransverseMercatorDefinition& Definition() const { return definition_; }

  // B, L -> x, y. Refuses (no line named: callers add it) latitudes beyond ±90° and longitudes
  // more than kMaxLongitudeOffset from the central meridian.
  GridPoint Forward(GeodeticPoint p) const;
  GeodeticPoint Inverse(GridPoint p) const;
  PointFactors Factors(GeodeticPoint p) const;

  // Arrays in place, for large lists; the checks of Forward are the caller's.
  void ForwardInPlace(std::span<double> latitudes_x, std::span<double> longitudes_y) const;
  void InverseInPlace(std::span<double> x_latitudes, std::span<double> y_longitudes) const;

  // The "+proj" definition handed to PROJ (also accepted by the cs2cs tool).
  std::string ProjString() const;

 private:
  struct Impl;
  TransverseMercatorDefinition definition_;
  std::unique_ptr<Impl> impl_;
};

// The reason a geodetic point may not be projected in a zone, or empty.
std::string CheckGeodetic(GeodeticPoint p, double centralMeridian);

// Geodetic B, L, H <-> geocentric X, Y, Z on one ellipsoid.
struct Geocentric {
  double X = 0, Y = 0, Z = 0;
};
class GeocentricConverter {
 public:
  explicit GeocentricConverter(Ellipsoid ellipsoid);
  ~GeocentricConverter();
  GeocentricConverter(GeocentricConverter&&) noexcept;
  GeocentricConverter& operator=(GeocentricConverter&&) noexcept;
  Geocentric ToGeocentric(GeodeticPoint p, double h) const;
  // The geodetic point and its ellipsoidal height.
  std::pair<GeodeticPoint, double> ToGeodetic(Geocentric p) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// --- Angle texts --------------------------------------------------------------------------

// D.MMSSsss read from its text (so no binary noise moves a digit between fields): D the integer
// part, MM the first two decimals, SS the next two, further decimals a fraction of a second.
// Minutes and seconds must be below 60. nullopt when the text is not such a number.
std::optional<double> ReadPackedDegrees(std::string_view text);
// Decimal degrees from a strict number text; nullopt when it is not one.
std::optional<double> ReadDecimalDegrees(std::string_view text);
// Degrees as D.MMSS with `secondDecimals` decimals of the second after the four digits
// (carries done: 29.99999999″ rounded never prints as 60″).
std::string PackedDegreesText(double degrees, int secondDecimals);
// A fixed-point text with `decimals` places; negative zero prints as zero.
std::string FixedText(double value, int decimals);

}  // namespace survey::transform
