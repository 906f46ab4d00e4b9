// The fits recover parameters that generated their points, point at a disturbed point through
// its residual, and refuse sets of points that leave a parameter open.
#include "transform/fit.h"

#include <gtest/gtest.h>

#include <cmath>

#include "transform/projection.h"
#include "transform/transform_error.h"

namespace survey::transform {
namespace {

void ExpectRelative(double actual, double expected, double relative, const char* what) {
  EXPECT_NEAR(actual, expected, std::abs(expected) * relative) << what;
}

const FourParameters kFour{-1234.5678, 2345.6789, 12.345678, 1.0000123456};

std::vector<CommonPoint<Plane>> FourPoints(const FourParameters& p) {
  std::vector<CommonPoint<Plane>> points;
  const Plane from[] = {{3404079.358, 528680.089}, {3405120.5, 529900.25}, {3403001.75, 531240.125},
                        {3406500.0, 527100.5},     {3402200.25, 528000.75}, {3404800.125, 532500.0}};
  int i = 0;
  for (const Plane& f : from) points.push_back({"P" + std::to_string(++i), f, Apply(p, f), i + 1});
  return points;
}

TEST(FitFour, RecoversGeneratingParameters) {
  const FitResult<FourParameters> r = FitFour(FourPoints(kFour));
  ExpectRelative(r.parameters.dx, kFour.dx, 1e-9, "dx");
  ExpectRelative(r.parameters.dy, kFour.dy, 1e-9, "dy");
  ExpectRelative(r.parameters.rotation, kFour.rotation, 1e-9, "rotation");
  ExpectRelative(r.parameters.scale - 1, kFour.scale - 1, 1e-6, "scale change");
  EXPECT_LT(r.rms, 1e-6);
  ASSERT_EQ(r.residuals.size(), 6u);
  EXPECT_EQ(r.residuals[2].name, "P3");
}

TEST(FitFour, TwoPointsDetermineItExactly) {
  auto points = FourPoints(kFour);
  points.resize(2);
  const FitResult<FourParameters> r = FitFour(points);
  // Two points 1.6 km apart hold the rotation to the rounding of 3.4e6 m coordinates (5e-10 m).
  ExpectRelative(r.parameters.rotation, kFour.rotation, 1e-8, "rotation");
  EXPECT_LT(r.rms, 1e-6);
}

// A 12 cm error in one new coordinate shows in that point above all others, over the
// 5 cm limit; the others stay under it.
TEST(FitFour, DisturbedPointStandsOut) {
  auto points = FourPoints(kFour);
  points[3].to.x += 0.12;
  const FitResult<FourParameters> r = FitFour(points);
  for (std::size_t i = 0; i < r.residuals.size(); ++i) {
    if (i == 3) EXPECT_GT(r.residuals[i].length, 0.05);
    else EXPECT_LT(r.residuals[i].length, 0.05) << i;
  }
  EXPECT_GT(r.residuals[3].v[0], 0.05);  // new minus transformed: the added 12 cm keeps its sign
  double sum = 0;
  for (const Residual& v : r.residuals) sum += v.length * v.length;
  EXPECT_NEAR(r.rms, std::sqrt(sum / 6), 1e-12);
}

TEST(FitFour, RefusesTooFewAndCoincidentPoints) {
  auto points = FourPoints(kFour);
  EXPECT_THROW(FitFour({points[0]}), TransformError);
  EXPECT_THROW(FitFour({}), TransformError);
  auto same = points;
  same.resize(3);
  same[1].from = same[2].from = same[0].from;
  EXPECT_THROW(FitFour(same), TransformError);
  // Three points on a line determine a similarity: not refused.
  auto line = points;
  line.resize(3);
  line[1].from = {line[0].from.x + 100, line[0].from.y + 50};
  line[2].from = {line[0].from.x + 300, line[0].from.y + 150};
  for (auto& p : line) p.to = Apply(kFour, p.from);
  EXPECT_NO_THROW(FitFour(line));
}

const SevenParameters kSeven{-102.345, 55.678, 81.234, 3.21, -2.46, 4.68, 6.789};

std::vector<CommonPoint<Space>> SevenPoints(const SevenParameters& p) {
  const GeocentricConverter c(Beijing1954());
  std::vector<CommonPoint<Space>> points;
  const double blh[][3] = {{30.5, 111.0, 50},  {32.0, 113.0, 120}, {29.0, 112.5, 800},
                           {31.5, 109.5, 300}, {30.0, 110.0, 20},  {33.0, 111.5, 1500}};
  int i = 0;
  for (const auto& g : blh) {
    const Geocentric x = c.ToGeocentric({g[0], g[1]}, g[2]);
    const Space f{x.X, x.Y, x.Z};
    points.push_back({"G" + std::to_string(++i), f, Apply(p, f), i + 1});
  }
  return points;
}

TEST(FitSeven, RecoversGeneratingParameters) {
  const FitResult<SevenParameters> r = FitSeven(SevenPoints(kSeven));
  ExpectRelative(r.parameters.dX, kSeven.dX, 1e-9, "dX");
  ExpectRelative(r.parameters.dY, kSeven.dY, 1e-9, "dY");
  ExpectRelative(r.parameters.dZ, kSeven.dZ, 1e-9, "dZ");
  ExpectRelative(r.parameters.rx, kSeven.rx, 1e-9, "rx");
  ExpectRelative(r.parameters.ry, kSeven.ry, 1e-9, "ry");
  ExpectRelative(r.parameters.rz, kSeven.rz, 1e-9, "rz");
  ExpectRelative(r.parameters.ppm, kSeven.ppm, 1e-9, "ppm");
  EXPECT_LT(r.rms, 1e-6);
}

// Each rotation and the scale act on the axes as written in fit.h: a rotation about Z alone
// moves a point on the X axis toward −Y (coordinate-frame convention).
TEST(FitSeven, ConventionOfRotations) {
  SevenParameters rz{};
  rz.rz = kArcSecondsPerRadian * 1e-6;
  const Space p = Apply(rz, {6378137, 0, 0});
  EXPECT_NEAR(p.Y, -6.378137, 1e-9);
  SevenParameters m{};
  m.ppm = 1;
  EXPECT_NEAR(Apply(m, {0, 0, 6356752}).Z - 6356752, 6.356752, 1e-9);
}

TEST(FitSeven, DisturbedPointStandsOut) {
  auto points = SevenPoints(kSeven);
  points[4].to.Z += 0.2;
  const FitResult<SevenParameters> r = FitSeven(points);
  for (std::size_t i = 0; i < r.residuals.size(); ++i) {
    if (i == 4) EXPECT_GT(r.residuals[i].length, 0.05);
    else EXPECT_LT(r.residuals[i].length, r.residuals[4].length / 2) << i;
  }
}

TEST(FitSeven, RefusesTooFewCoincidentAndCollinearPoints) {
  auto points = SevenPoints(kSeven);
  EXPECT_THROW(FitSeven({points[0], points[1]}), TransformError);
  auto same = points;
  for (auto& p : same) p.from = points[0].from, p.to = points[0].to;
  EXPECT_THROW(FitSeven(same), TransformError);
  auto line = points;
  line.resize(4);
  const Space a = points[0].from, b = points[1].from;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const double t = static_cast<double>(i) / 3.0;
    line[i].from = {a.X + t * (b.X - a.X), a.Y + t * (b.Y - a.Y), a.Z + t * (b.Z - a.Z)};
    line[i].to = Apply(kSeven, line[i].from);
  }
  EXPECT_THROW(FitSeven(line), TransformError);
}

TEST(ParameterFile, RoundTripsEveryDigit) {
  const FourParameters f = ReadFourParameterFile(FourParameterFile(kFour, 0.001, 6));
  EXPECT_EQ(f.dx, kFour.dx);
  EXPECT_EQ(f.dy, kFour.dy);
  EXPECT_EQ(f.rotation, kFour.rotation);
  EXPECT_EQ(f.scale, kFour.scale);
  const SevenParameters s = ReadSevenParameterFile(SevenParameterFile(kSeven, 0.002, 6));
  EXPECT_EQ(s.dX, kSeven.dX);
  EXPECT_EQ(s.rz, kSeven.rz);
  EXPECT_EQ(s.ppm, kSeven.ppm);
}

TEST(ParameterFile, RefusesWrongKindAndBadLines) {
  const std::string four = FourParameterFile(kFour, 0, 2);
  EXPECT_THROW(ReadSevenParameterFile(four), TransformError);
  EXPECT_THROW(ReadFourParameterFile(SevenParameterFile(kSeven, 0, 3)), TransformError);
  const auto message = [](const std::string& text) {
    try {
      ReadFourParameterFile(text);
    } catch (const TransformError& e) {
      return std::string(e.what());
    }
    return std::string("accepted");
  };
  EXPECT_NE(message("type = 4\ndx = 1\ndy = 2\nrotation = x\nscale = 1\n").find("第 4 行"), std::string::npos);
  EXPECT_NE(message("type = 4\ndx = 1\ndy = 2\nrotation = 3\n").find("scale"), std::string::npos);
  EXPECT_NE(message("type = 4\ndx = 1\ndx = 2\n").find("第 3 行"), std::string::npos);
  EXPECT_NE(message("type = 4\ndx 1\n").find("第 2 行"), std::string::npos);
  EXPECT_NE(message("type = 4\ndx = 1\ndy = 2\nrotation = 3\nscale = 1\nshift = 4\n").find("第 6 行"), std::string::npos);
  EXPECT_EQ(message("\xEF\xBB\xBF# c\r\ntype = 4\r\ndx = 1\r\ndy = 2\r\nrotation = 3\r\nscale = 1\r\n"), "accepted");
}

}  // namespace
}  // namespace survey::transform
