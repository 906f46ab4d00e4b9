// The projection against published worked examples and against its own exact properties.
#include "transform/projection.h"

#include <gtest/gtest.h>

#include <cmath>

#include "transform/transform_error.h"

namespace survey::transform {
namespace {

double Dms(double d, double m, double s) { return d + m / 60.0 + s / 3600.0; }

// IOGP Guidance Note 7-2 (Coordinate Conversions and Transformations including Formulas),
// Transverse Mercator, worked example for the British National Grid (OSGB 1936, Airy 1830):
// 50°30′00″N, 00°30′00″E -> E 577 274.99 m, N 69 740.50 m. The note prints centimetres, and its
// own intermediate values lead to 577 274.984 / 69 740.492, so one centimetre is the budget.
TEST(TransverseMercator, GuidanceNoteBritishNationalGrid) {
  TransverseMercatorDefinition d;
  d.ellipsoid = {6377563.396, 299.3249646};
  d.originLatitude = 49;
  d.centralMeridian = -2;
  d.scale = 0.9996012717;
  d.falseEasting = 400000;
  d.falseNorthing = -100000;
  const TransverseMercator tm(d);
  const GridPoint p = tm.Forward({50.5, 0.5});
  EXPECT_NEAR(p.y, 577274.99, 0.01);
  EXPECT_NEAR(p.x, 69740.50, 0.01);
  // The natural origin maps to the false origin exactly.
  const GridPoint o = tm.Forward({49, -2});
  EXPECT_NEAR(o.y, 400000, 1e-6);
  EXPECT_NEAR(o.x, -100000, 1e-6);
  // The note's reverse case starts from the printed grid values.
  const GeodeticPoint g = tm.Inverse({69740.50, 577274.99});
  EXPECT_NEAR(g.B, 50.5, 0.01 / 111000.0);
  EXPECT_NEAR(g.L, 0.5, 0.01 / 71000.0);
}

// CGCS2000, 3° zone 37 (central meridian 111°E): B 30°45′25.4425″, L 111°17′58.3596″ ->
// x 3 404 079.358, y 528 680.089 (a textbook example quoted with the task). Checked by an
// independent route: PROJ's cs2cs tool on "+proj=tmerc +lon_0=111 +k=1 +x_0=500000
// +ellps=GRS80" gives 3404079.3582, 528680.0889.
TEST(GaussKruger, Cgcs2000ThreeDegreeZoneExample) {
  GaussKruger gk;
  gk.centralMeridian = 111;
  const TransverseMercator tm(gk.Definition());
  const GridPoint p = tm.Forward({Dms(30, 45, 25.4425), Dms(111, 17, 58.3596)});
  EXPECT_NEAR(p.x, 3404079.358, 0.0005);
  EXPECT_NEAR(p.y, 528680.089, 0.0005);
  EXPECT_NEAR(p.x, 3404079.3582, 0.00005);
  EXPECT_NEAR(p.y, 528680.0889, 0.00005);
}

// Forward, inverse, forward again over a whole 6° zone (zone 20, 114°–120°E), equator to 60°N.
TEST(GaussKruger, RoundTripAcrossSixDegreeZone) {
  GaussKruger gk;
  gk.centralMeridian = 117;
  const TransverseMercator tm(gk.Definition());
  for (double b = 0; b <= 60; b += 2.5) {
    for (double l = 114; l <= 120; l += 0.25) {
      const GridPoint p = tm.Forward({b, l});
      const GeodeticPoint g = tm.Inverse(p);
      EXPECT_NEAR(g.B, b, 1e-9) << b << " " << l;
      EXPECT_NEAR(g.L, l, 1e-9) << b << " " << l;
      const GridPoint q = tm.Forward(g);
      EXPECT_NEAR(q.x, p.x, 1e-4);
      EXPECT_NEAR(q.y, p.y, 1e-4);
    }
  }
}

// The arrays go through PROJ with the axes swapped (easting first): the same values as one
// point at a time, x the northing.
TEST(GaussKruger, ArraysMatchSinglePoints) {
  GaussKruger gk;
  gk.centralMeridian = 111;
  const TransverseMercator tm(gk.Definition());
  std::vector<double> a = {30.5, 31.25, 29.0}, b = {111.2, 110.1, 112.4};
  const std::vector<double> lat = a, lon = b;
  tm.ForwardInPlace(a, b);
  for (std::size_t i = 0; i < a.size(); ++i) {
    const GridPoint p = tm.Forward({lat[i], lon[i]});
    EXPECT_DOUBLE_EQ(a[i], p.x);
    EXPECT_DOUBLE_EQ(b[i], p.y);
  }
  tm.InverseInPlace(a, b);
  for (std::size_t i = 0; i < a.size(); ++i) {
    EXPECT_NEAR(a[i], lat[i], 1e-10);
    EXPECT_NEAR(b[i], lon[i], 1e-10);
  }
}

// The transverse Mercator grows with the size of the ellipsoid at equal flattening: on the
// ellipsoid a + H every distance from the origin scales by (a + H) / a, which is what makes
// the projection height a compensation surface.
TEST(GaussKruger, ProjectionHeightScalesFromTheZoneOrigin) {
  GaussKruger low, high;
  low.centralMeridian = high.centralMeridian = 111;
  high.height = 850;
  const double s = (low.ellipsoid.a + 850) / low.ellipsoid.a;
  const TransverseMercator a(low.Definition()), b(high.Definition());
  for (const GeodeticPoint g : {GeodeticPoint{30.75, 111.3}, GeodeticPoint{35.1, 110.2}}) {
    const GridPoint p = a.Forward(g), q = b.Forward(g);
    EXPECT_NEAR(q.x, s * p.x, 1e-6);
    EXPECT_NEAR(q.y - 500000, s * (p.y - 500000), 1e-6);
  }
  // And the scale on the central meridian multiplies the same way.
  GaussKruger scaled = low;
  scaled.scale = 0.9996;
  const GridPoint p = a.Forward({30.75, 111.3}), q = TransverseMercator(scaled.Definition()).Forward({30.75, 111.3});
  EXPECT_NEAR(q.x, 0.9996 * p.x, 1e-6);
  EXPECT_NEAR(q.y - 500000, 0.9996 * (p.y - 500000), 1e-6);
}

// γ: zero on the central meridian, positive east of it in the north, about Δλ·sin B (the
// next term, Δλ³ sin B cos² B / 3, is under 2″ here); k: the central scale on the meridian,
// 1 + y²/(2R²) off it.
TEST(GaussKruger, ConvergenceAndPointScale) {
  GaussKruger gk;
  gk.centralMeridian = 111;
  const TransverseMercator tm(gk.Definition());
  const PointFactors onMeridian = tm.Factors({30, 111});
  EXPECT_NEAR(onMeridian.convergence, 0, 1e-12);
  EXPECT_NEAR(onMeridian.scale, 1, 1e-10);  // PROJ differentiates numerically
  constexpr double kPi = 3.14159265358979323846;
  for (const double dl : {1.0, -1.0}) {
    const double b = 30;
    const PointFactors f = tm.Factors({b, 111 + dl});
    const double gamma = dl * std::sin(b * kPi / 180);
    EXPECT_NEAR(f.convergence, gamma, 2.0 / 3600) << dl;
    EXPECT_GT(f.convergence * dl, 0);
    const GridPoint p = tm.Forward({b, 111 + dl});
    const double r = 6371000, e = p.y - 500000;
    EXPECT_NEAR(f.scale, 1 + e * e / (2 * r * r), 2e-6) << dl;
  }
}

TEST(GaussKruger, RefusesPointsOutsideAnyZone) {
  GaussKruger gk;
  gk.centralMeridian = 111;
  const TransverseMercator tm(gk.Definition());
  EXPECT_NO_THROW(tm.Forward({30, 121}));  // ten degrees is the limit, still taken
  EXPECT_NO_THROW(tm.Forward({-90, 111}));
  EXPECT_THROW(tm.Forward({90.0001, 111}), TransformError);
  EXPECT_THROW(tm.Forward({30, 121.0001}), TransformError);
  EXPECT_THROW(tm.Forward({30, 100.9}), TransformError);
  EXPECT_THROW(tm.Factors({30, 122}), TransformError);
  EXPECT_THROW(tm.Forward({NAN, 111}), TransformError);
  EXPECT_THROW(tm.Inverse({3.4e6, 5e7}), TransformError);
  // Across the antimeridian the offset is measured the short way.
  gk.centralMeridian = 177;
  EXPECT_NO_THROW(TransverseMercator(gk.Definition()).Forward({10, -178}));
}

TEST(Ellipsoid, NamedAndTyped) {
  EXPECT_DOUBLE_EQ(ParseEllipsoid("cgcs2000").invf, 298.257222101);
  EXPECT_DOUBLE_EQ(ParseEllipsoid("wgs84").invf, 298.257223563);
  EXPECT_DOUBLE_EQ(ParseEllipsoid("bj54").a, 6378245.0);
  EXPECT_DOUBLE_EQ(ParseEllipsoid("bj54").invf, 298.3);
  EXPECT_DOUBLE_EQ(ParseEllipsoid("xian80").a, 6378140.0);
  EXPECT_DOUBLE_EQ(ParseEllipsoid("xian80").invf, 298.257);
  const Ellipsoid e = ParseEllipsoid("6378137,298.257222101");
  EXPECT_DOUBLE_EQ(e.a, 6378137.0);
  for (const char* bad : {"", "grs80", "6378137", "6378137,", "abc,298", "637813,298.3", "6378137,29.83", "6378137,nan"}) {
    EXPECT_THROW(ParseEllipsoid(bad), TransformError) << bad;
  }
}

// B, L, H to X, Y, Z: the equator and the pole have exact values.
TEST(Geocentric, KnownPointsAndRoundTrip) {
  const GeocentricConverter c(Cgcs2000());
  const Geocentric eq = c.ToGeocentric({0, 0}, 0);
  EXPECT_NEAR(eq.X, 6378137.0, 1e-6);
  EXPECT_NEAR(eq.Y, 0, 1e-6);
  const Geocentric pole = c.ToGeocentric({90, 0}, 100);
  EXPECT_NEAR(pole.Z, 6378137.0 * (1 - 1 / 298.257222101) + 100, 1e-6);
  const Geocentric p = c.ToGeocentric({30.75, 111.3}, 456.789);
  const auto [g, h] = c.ToGeodetic(p);
  EXPECT_NEAR(g.B, 30.75, 1e-11);
  EXPECT_NEAR(g.L, 111.3, 1e-11);
  EXPECT_NEAR(h, 456.789, 1e-6);
  EXPECT_THROW(c.ToGeodetic({1, 2, 3}), TransformError);
  EXPECT_THROW(c.ToGeocentric({91, 0}, 0), TransformError);
}

TEST(AngleText, PackedDegreesRead) {
  struct Case {
    const char* text;
    double degrees;
  };
  const Case cases[] = {{"30.45254425", Dms(30, 45, 25.4425)},
                        {"111.17583596", Dms(111, 17, 58.3596)},
                        {"-0.3", -0.5},
                        {"12", 12},
                        {" 12.3 ", 12.5},
                        {"０.３", 0.5},
                        {"0.0001", 1 / 3600.0},
                        {"45.59599999", Dms(45, 59, 59.9999)}};
  for (const Case& c : cases) {
    const std::optional<double> v = ReadPackedDegrees(c.text);
    ASSERT_TRUE(v) << c.text;
    EXPECT_NEAR(*v, c.degrees, 1e-13) << c.text;
  }
  for (const char* bad : {"", "abc", "30.60", "30.0060", "1e2", "30.4a", "--3", "1234.5"}) {
    EXPECT_FALSE(ReadPackedDegrees(bad)) << bad;
  }
}

TEST(AngleText, PackedDegreesWrittenWithCarries) {
  EXPECT_EQ(PackedDegreesText(Dms(30, 45, 25.4425), 5), "30.452544250");
  EXPECT_EQ(PackedDegreesText(29.999999999999, 5), "30.000000000");
  EXPECT_EQ(PackedDegreesText(Dms(1, 59, 59.999996), 5), "2.000000000");
  EXPECT_EQ(PackedDegreesText(-0.5, 0), "-0.3000");
  EXPECT_EQ(PackedDegreesText(-1e-12, 5), "0.000000000");
  // Every value written reads back to within half its last digit.
  for (double d = -179.9; d < 180; d += 7.777777) {
    EXPECT_NEAR(*ReadPackedDegrees(PackedDegreesText(d, 5)), d, 0.5e-5 / 3600 + 1e-13) << d;
  }
  EXPECT_EQ(FixedText(-0.00004, 4), "0.0000");
  EXPECT_EQ(FixedText(-1.25, 1), "-1.2");
}

}  // namespace
}  // namespace survey::transform
