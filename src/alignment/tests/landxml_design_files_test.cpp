// Minimal LandXML files of the kinds real design programs write, one concern each.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "alignment/alignment_error.h"
#include "alignment/curve_listing.h"
#include "alignment/landxml_reader.h"
#include "alignment/landxml_writer.h"
#include "alignment/route.h"
#include "refusal.h"

namespace survey::alignment {
namespace {

std::string File(const std::string& alignments, const std::string& units = "<Metric linearUnit=\"meter\"/>") {
  return "<?xml version=\"1.0\"?>\n<LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.2\">\n<Units>" + units +
         "</Units>\n<Alignments>\n" + alignments + "</Alignments>\n</LandXML>\n";
}

// A 300 m straight due north from (1000, 2000), with whatever else the alignment holds.
std::string Straight(const std::string& name, const std::string& extra = "", const std::string& lineAttributes = "length=\"300\"") {
  return "<Alignment name=\"" + name + "\" staStart=\"0\"><CoordGeom><Line " + lineAttributes +
         "><Start>1000 2000</Start><End>1300 2000</End></Line></CoordGeom>" + extra + "</Alignment>\n";
}

std::string Profile(const std::string& points, const std::string& name = "P") {
  return "<Profile><ProfAlign name=\"" + name + "\">" + points + "</ProfAlign></Profile>";
}

LandXmlImport Import(const std::string& xml, LandXmlImportOptions options = {}) {
  return ImportLandXml(ParseLandXml(xml), options);
}

bool Mentions(const std::string& text, const std::vector<std::string>& parts) {
  for (const std::string& p : parts) {
    if (text.find(p) == std::string::npos) return false;
  }
  return true;
}

std::string AllNotes(const LandXmlImport& imported) {
  std::string all;
  for (const std::string& n : imported.notes) all += n + "\n";
  return all;
}

// One alignment that cannot be read leaves the others importable.
TEST(LandXmlDesignFiles, ABadAlignmentBlocksOnlyItself) {
  const std::string xml = File(Straight("Ramp", "", "length=\"NaN\"") + Straight("Main"));
  EXPECT_NEAR(Import(xml, {"Main"}).route.Length(), 300, 1e-9);
  const std::string refusal = RefusalOf([&] { Import(xml, {"Ramp"}); });
  EXPECT_TRUE(Mentions(refusal, {"Ramp", "第 1 个线元", "length"})) << refusal;
  EXPECT_TRUE(Mentions(RefusalOf([&] { Import(xml, {"Side"}); }), {"Side", "Ramp", "Main"}));
  // The first alignment is the default, faulty or not.
  EXPECT_TRUE(Mentions(RefusalOf([&] { Import(xml); }), {"Ramp"}));
}

// A km-post equation whose stations are not numbers moves nothing and is named in a note.
TEST(LandXmlDesignFiles, EquationsThatAreNotNumbersAreSkipped) {
  const LandXmlImport imported = Import(File(Straight(
      "Main", "<StaEquation staBack=\"NaN\" staAhead=\"1000\" desc=\"K1\"/><StaEquation staBack=\"100\" staAhead=\"150\"/>")));
  EXPECT_EQ(imported.route.Stations().Equations().size(), 1u);
  EXPECT_NEAR(imported.route.StationAt(300), 350, 1e-9);
  EXPECT_TRUE(Mentions(AllNotes(imported), {"第 1 个断链", "NaN", "K1", "跳过"})) << AllNotes(imported);
  // A missing one is still a fault.
  EXPECT_TRUE(Mentions(RefusalOf([&] { Import(File(Straight("Main", "<StaEquation staAhead=\"1\"/>"))); }), {"staBack"}));
}

// Grades +2 % / -2 % / +3 %: the signs of radius and length do not matter.
TEST(LandXmlDesignFiles, SignedVerticalCurvesAreReadByMagnitude) {
  const auto profileFor = [](const std::string& crest, const std::string& sag) {
    const LandXmlImport imported = Import(File(Straight(
        "Main", Profile("<PVI>0 100</PVI>" + crest + "<PVI>150 101</PVI><CircCurve radius=\"" + sag +
                        "\">200 100</CircCurve><PVI>300 103</PVI>"))));
    return *imported.profile;
  };
  const auto plain = profileFor("<ParaCurve length=\"20\">50 101</ParaCurve>", "2000");
  const auto signed_ = profileFor("<ParaCurve length=\"-20\">50 101</ParaCurve>", "-2000");
  for (double m : {45.0, 50.0, 55.0, 195.0, 200.0, 205.0}) {
    EXPECT_NEAR(signed_.At(m).elevation, plain.At(m).elevation, 1e-12) << m;
  }
  EXPECT_NEAR(plain.At(50).elevation, 101 - 0.05, 1e-12);   // crest R = 20 / 2 %: E = T^2 / 2R = 10^2 / 2000
}

// A spiral end at 5.9e300 is a straight end, as INF is.
TEST(LandXmlDesignFiles, HugeRadiusIsInfinite) {
  const auto spiral = [](const std::string& radiusStart) {
    return File("<Alignment name=\"S\"><CoordGeom><Spiral length=\"50\" radiusStart=\"" + radiusStart +
                "\" radiusEnd=\"200\" rot=\"cw\" dirStart=\"0\" spiType=\"clothoid\"><Start>0 0</Start>"
                "<End>49.921931 2.081009</End></Spiral></CoordGeom></Alignment>\n",
                "<Metric linearUnit=\"meter\" angularUnit=\"radians\"/>");
  };
  const Route inf = Import(spiral("INF")).route;
  for (const char* huge : {"5.8979433558474924E+300", "1e13"}) {
    const Route r = Import(spiral(huge)).route;
    EXPECT_EQ(r.Elements()[0].startCurvature, 0) << huge;
    EXPECT_EQ(EndPose(r.Elements()[0]).x, EndPose(inf.Elements()[0]).x) << huge;
  }
  // 1e11 m is a real (if absurd) radius, refused as too large as before.
  EXPECT_TRUE(Mentions(RefusalOf([&] { Import(spiral("1e11")); }), {"radiusStart", "过大"}));
}

// +2 % then -2 % with halves 100 and 50: gm = (100 * 2 - 50 * 2) / 150 %, E = 0.04 * 100 * 50 / 300.
TEST(LandXmlDesignFiles, UnsymmetricParabolicCurves) {
  const LandXmlImport imported = Import(File(Straight(
      "Main", Profile("<PVI>0 100</PVI><UnsymParaCurve lengthIn=\"100\" lengthOut=\"50\">150 103</UnsymParaCurve>"
                      "<PVI>300 100</PVI>"))));
  ASSERT_TRUE(imported.profile);
  const ProfileRow& row = imported.profile->Rows()[1];
  EXPECT_TRUE(row.asymmetric);
  EXPECT_NEAR(row.e, 0.04 * 100 * 50 / 300, 1e-12);
  EXPECT_NEAR(row.curveStart, 50, 1e-12);
  EXPECT_NEAR(row.curveEnd, 200, 1e-12);
  struct Case { double m, elevation, grade; };
  const Case cases[] = {
      {50, 101, 0.02},                                   // curve begins on the incoming grade
      {100, 102 - (0.04 / 3) / 200 * 2500, 0.02 - 2 * (0.04 / 3) / 200 * 50},
      {150, 103 - 0.04 / 3 * 50, 0.02 / 3},              // under the point: minus E, the common grade
      {175, 102.5 - (0.08 / 3) / 100 * 625, -0.02 + 2 * (0.08 / 3) / 100 * 25},
      {200, 102, -0.02},                                 // ends on the outgoing grade
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(imported.profile->At(c.m).elevation, c.elevation, 1e-9) << c.m;
    EXPECT_NEAR(imported.profile->At(c.m).grade, c.grade, 1e-12) << c.m;
  }
  // Equal halves are the symmetric parabola of the same length.
  const LandXmlImport equal = Import(File(Straight(
      "Main", Profile("<PVI>0 100</PVI><UnsymParaCurve lengthIn=\"40\" lengthOut=\"40\">150 103</UnsymParaCurve>"
                      "<PVI>300 100</PVI>"))));
  const LandXmlImport para = Import(File(Straight(
      "Main", Profile("<PVI>0 100</PVI><ParaCurve length=\"80\">150 103</ParaCurve><PVI>300 100</PVI>"))));
  for (double m = 100; m <= 200; m += 7) EXPECT_NEAR(equal.profile->At(m).elevation, para.profile->At(m).elevation, 1e-12);
  EXPECT_TRUE(Mentions(RefusalOf([&] { Import(File(Straight("Main", Profile(
                           "<PVI>0 100</PVI><UnsymParaCurve lengthIn=\"100\">150 103</UnsymParaCurve><PVI>300 100</PVI>")))); }),
                       {"lengthOut"}));
}

// PVI stations are internal: an equation before a PVI does not bend the grade.
TEST(LandXmlDesignFiles, PviStationsAreInternal) {
  const LandXmlImport imported = Import(File(Straight(
      "Main", "<StaEquation staBack=\"100\" staAhead=\"150\" staInternal=\"100\"/>" +
                  Profile("<PVI>0 100</PVI><PVI>300 130</PVI>"))));
  ASSERT_TRUE(imported.profile);
  EXPECT_NEAR(imported.profile->At(150).grade, 0.10, 1e-12);
  EXPECT_NEAR(imported.profile->At(300).elevation, 130, 1e-12);   // the last 50 m have elevations
  EXPECT_EQ(imported.profileStations, (std::vector<double>{0, 350}));   // listed as displayed stations
  EXPECT_TRUE(imported.notes.empty()) << AllNotes(imported);
  // A staInternal that contradicts staBack is named.
  const LandXmlImport odd = Import(File(Straight("Main", "<StaEquation staBack=\"100\" staAhead=\"150\" staInternal=\"120\"/>")));
  EXPECT_TRUE(Mentions(AllNotes(odd), {"staInternal", "20.000"})) << AllNotes(odd);
}

// Valid designs with non-tangent joints: a 30 degree kink between straights and a line
// meeting an arc at an angle.
TEST(LandXmlDesignFiles, AnglePointsAreAcceptedAndListed) {
  const double c = std::cos(std::numbers::pi / 6), s = std::sin(std::numbers::pi / 6);
  const auto p = [](double x, double y) { return std::to_string(x) + " " + std::to_string(y); };
  // Line north 100 m; line 30 deg right 100 m; arc R 100 leaving 10 deg left of that line.
  const double a = std::numbers::pi / 6 - std::numbers::pi / 18;   // the arc's start azimuth
  const double cx = 100 + 100 * c + 100 * std::cos(a + std::numbers::pi / 2);
  const double cy = 100 * s + 100 * std::sin(a + std::numbers::pi / 2);
  const double sweep = 0.5;   // rad
  const double ex = cx + 100 * std::cos(a - std::numbers::pi / 2 + sweep);
  const double ey = cy + 100 * std::sin(a - std::numbers::pi / 2 + sweep);
  const std::string xml = File(
      "<Alignment name=\"Kinks\"><CoordGeom><Line><Start>0 0</Start><End>100 0</End></Line>"
      "<Line><Start>100 0</Start><End>" + p(100 + 100 * c, 100 * s) + "</End></Line>"
      "<Curve rot=\"cw\" radius=\"100\" length=\"50\"><Start>" + p(100 + 100 * c, 100 * s) + "</Start><Center>" + p(cx, cy) +
      "</Center><End>" + p(ex, ey) + "</End></Curve></CoordGeom></Alignment>\n");
  const LandXmlImport imported = Import(xml);
  ASSERT_EQ(imported.anglePoints.size(), 2u);
  EXPECT_EQ(imported.anglePoints[0].element, 2u);
  EXPECT_NEAR(imported.anglePoints[0].deflection, std::numbers::pi / 6, 1e-6);
  EXPECT_NEAR(imported.anglePoints[0].chainage, 100, 1e-9);
  EXPECT_EQ(imported.anglePoints[1].element, 3u);
  EXPECT_NEAR(imported.anglePoints[1].deflection, -std::numbers::pi / 18, 1e-6);
  EXPECT_LT(imported.largestEndDifference, 1e-5);   // every stored End reproduced (file rounding 1e-6)
  const Pose end = imported.route.PointAt(imported.route.Length());
  EXPECT_NEAR(end.x, ex, 1e-5);
  EXPECT_NEAR(end.y, ey, 1e-5);
  EXPECT_TRUE(Mentions(AllNotes(imported), {"第 2 个线元", "转折点", "K0+100.000", "右偏 30.0000°", "左偏 10.0000°"}))
      << AllNotes(imported);
  // The kink between the straights is a JD without curve in the curve table; the arc is listed as an element.
  const std::vector<CurveListingRow> rows = ListCurves(imported.route);
  ASSERT_EQ(rows.size(), 2u);
  ASSERT_TRUE(rows[0].jd);
  EXPECT_NEAR(rows[0].jd->alpha, std::numbers::pi / 6, 1e-6);
  EXPECT_EQ(rows[0].jd->r, 0);
  EXPECT_FALSE(rows[1].jd);
  EXPECT_EQ(rows[1].element.index, 3u);

  // An element whose own length disagrees with its points is still refused, angle or not.
  std::string wrong = xml;
  wrong.replace(wrong.find("length=\"50\""), 11, "length=\"50.01\"");
  EXPECT_TRUE(Mentions(RefusalOf([&] { Import(wrong); }), {"Kinks", "第 3 个线元", "--trust-points"}));
}

// A broken profile refuses the elevations, saying how to import the plan alone.
TEST(LandXmlDesignFiles, ProfileChoiceAndBrokenProfiles) {
  const std::string duplicate = File(Straight("Main", Profile("<PVI>0 100</PVI><PVI name=\"A\">100 101</PVI>"
                                                              "<PVI name=\"B\">100 102</PVI><PVI>300 103</PVI>")));
  EXPECT_TRUE(Mentions(RefusalOf([&] { Import(duplicate); }), {"A", "B", "--no-profile"}));
  LandXmlImportOptions planOnly;
  planOnly.noProfile = true;
  const LandXmlImport plan = Import(duplicate, planOnly);
  EXPECT_FALSE(plan.profile);
  EXPECT_NEAR(plan.route.Length(), 300, 1e-9);
  // Unreadable profile text is refused only when the profile is used.
  const std::string unreadable = File(Straight("Main", Profile("<PVI>0 abc</PVI><PVI>300 103</PVI>")));
  EXPECT_TRUE(Mentions(RefusalOf([&] { Import(unreadable); }), {"纵断面", "--no-profile"}));
  EXPECT_FALSE(Import(unreadable, planOnly).profile);

  const std::string two = File(Straight("Main", "<Profile><ProfAlign name=\"Design\"><PVI>0 100</PVI><PVI>300 103</PVI>"
                                                "</ProfAlign><ProfAlign name=\"Existing\"><PVI>0 90</PVI><PVI>300 90</PVI>"
                                                "</ProfAlign></Profile>"));
  const LandXmlImport first = Import(two);
  EXPECT_EQ(first.profileName, "Design");
  EXPECT_NEAR(first.profile->At(300).elevation, 103, 1e-12);
  EXPECT_TRUE(Mentions(AllNotes(first), {"Design", "Existing", "--profile-name"})) << AllNotes(first);
  LandXmlImportOptions existing;
  existing.profileName = "Existing";
  EXPECT_NEAR(Import(two, existing).profile->At(300).elevation, 90, 1e-12);
  existing.profileName = "Survey";
  EXPECT_TRUE(Mentions(RefusalOf([&] { Import(two, existing); }), {"Survey", "Design", "Existing"}));
}

// Units spelled loosely; a unit nothing is measured in is no refusal.
TEST(LandXmlDesignFiles, LooseUnitNames) {
  const std::string dms = "<Metric linearUnit=\" Meter \" angularUnit=\"Decimal  DD.MM.SS\"/>";
  // An arc without Center takes its direction from dirStart, 45 deg 30 min.
  const double chord = 2 * 1000 * std::sin(0.005), towards = 45.5 * std::numbers::pi / 180 + 0.005;
  char end[80];
  std::snprintf(end, sizeof end, "%.9f %.9f", chord * std::cos(towards), chord * std::sin(towards));
  const std::string line = "<Alignment name=\"L\"><CoordGeom><Curve dirStart=\"45.3\" length=\"10\" radius=\"1000\" "
                           "rot=\"cw\"><Start>0 0</Start><End>" + std::string(end) + "</End></Curve></CoordGeom></Alignment>\n";
  EXPECT_NEAR(Import(File(line, dms)).route.Elements()[0].start.azimuth, 45.5 * std::numbers::pi / 180, 1e-12);
  EXPECT_NEAR(Import(File(Straight("Main"), "<Metric linearUnit=\"meter\" angularUnit=\"furlongs\"/>")).route.Length(), 300,
              1e-9);
  EXPECT_TRUE(Mentions(RefusalOf([&] { Import(File(line, "<Metric angularUnit=\"furlongs\"/>")); }), {"furlongs"}));
}

// The profile ends a hair (0.6 mm) inside the alignment's ends: it still covers them.
TEST(LandXmlDesignFiles, ProfileWithinAMillimetreOfTheEnds) {
  const LandXmlImport imported = Import(File(Straight("Main", Profile("<PVI>0.0006 100</PVI><PVI>299.9994 103</PVI>"))));
  ASSERT_TRUE(imported.profile);
  EXPECT_TRUE(imported.profile->Covers(0));
  EXPECT_TRUE(imported.profile->Covers(300));
  EXPECT_NEAR(imported.profile->At(0).elevation, 100 - 0.0006 * 0.01, 1e-9);
}

// Under --trust-points the chain's gaps and contradictions are measured and a broken chain refused.
TEST(LandXmlDesignFiles, TrustPointsReportsAndRefusesBrokenChains) {
  LandXmlImportOptions trust;
  trust.trustPoints = true;
  const auto twoLines = [](double shift, double secondLength) {
    return File("<Alignment name=\"T\"><CoordGeom><Line><Start>0 0</Start><End>100 0</End></Line><Line length=\"" +
                std::to_string(secondLength) + "\"><Start>" + std::to_string(100 + shift) + " 0</Start><End>" +
                std::to_string(200 + shift) + " 0</End></Line></CoordGeom></Alignment>\n");
  };
  const LandXmlImport small = Import(twoLines(0.5, 100), trust);
  EXPECT_NEAR(small.largestGap, 0.5, 1e-9);
  EXPECT_EQ(small.largestGapElement, 2u);
  EXPECT_TRUE(Mentions(RefusalOf([&] { Import(twoLines(100, 100), trust); }), {"第 2 个线元", "100.000 m", "断开"}));
  EXPECT_TRUE(Mentions(RefusalOf([&] { Import(twoLines(0, 9999999), trust); }), {"第 2 个线元", "矛盾"}));
}

// A spiral with equal end radii is no spiral.
TEST(LandXmlDesignFiles, SpiralWithEqualRadiiIsRefusedSayingWhy) {
  const std::string xml = File("<Alignment name=\"S\"><CoordGeom><Spiral length=\"50\" radiusStart=\"200\" radiusEnd=\"200\" "
                               "rot=\"cw\"><Start>0 0</Start><PI>25 0</PI><End>50 1</End></Spiral></CoordGeom></Alignment>\n");
  EXPECT_TRUE(Mentions(RefusalOf([&] { Import(xml); }), {"第 1 个线元", "半径须不同"}));
}

// A GBK file is decoded; an encoding nobody knows is refused by name.
TEST(LandXmlDesignFiles, DeclaredEncodings) {
  const std::string gbkName = "\xC2\xB7\xCF\xDF\xD2\xBB";   // 路线一
  for (const char* declared : {"GBK", "gb2312", "GB18030"}) {
    std::string xml = File(Straight(gbkName));
    xml.replace(0, 21, std::string("<?xml version=\"1.0\" encoding=\"") + declared + "\"?>");
    const LandXmlDocument document = ParseLandXml(xml);
    EXPECT_EQ(document.alignments[0].name, "路线一") << declared;
    EXPECT_NEAR(ImportLandXml(document, {"路线一"}).route.Length(), 300, 1e-9);
  }
  // UTF-16 with its byte-order mark, and UTF-8 with one, read as before.
  const std::string plain = File(Straight("Main"));
  std::string utf16 = "\xFF\xFE";
  for (const char c : plain) utf16 += std::string{c, '\0'};
  EXPECT_EQ(ParseLandXml(utf16).alignments[0].name, "Main");
  EXPECT_EQ(ParseLandXml("\xEF\xBB\xBF" + plain).alignments[0].name, "Main");
  std::string unknown = File(Straight("Main"));
  unknown.replace(0, 21, "<?xml version=\"1.0\" encoding=\"x-no-such-code\"?>");
  EXPECT_TRUE(Mentions(RefusalOf([&] { ParseLandXml(unknown); }), {"x-no-such-code", "UTF-8"}));
  // Bytes that are not GBK at all.
  std::string broken = File(Straight("\xFF\xFF"));
  broken.replace(0, 21, "<?xml version=\"1.0\" encoding=\"GBK\"?>");
  EXPECT_TRUE(Mentions(RefusalOf([&] { ParseLandXml(broken); }), {"GBK", "字节"}));
}

// Parse errors give the line and column, in Chinese.
TEST(LandXmlDesignFiles, ParseErrorsNameLineAndColumn) {
  const std::string xml = "<LandXML>\n  <Alignments>\n    <Alignment name=\"线一\" staStart=0>\n    </Alignment>\n"
                          "  </Alignments>\n</LandXML>\n<!-- padding so that the end is not near ............................ -->\n";
  const std::string refusal = RefusalOf([&] { ParseLandXml(xml); });
  EXPECT_TRUE(Mentions(refusal, {"第 3 行第 ", "属性"})) << refusal;
  EXPECT_EQ(refusal.find("offset"), std::string::npos);
  const std::string mismatch = "<LandXML>\n<Alignments>\n</Alignmentz>\n</LandXML>\n<!-- padding ................................................................ -->\n";
  EXPECT_TRUE(Mentions(RefusalOf([&] { ParseLandXml(mismatch); }), {"第 3 行第 ", "不配对"})) << RefusalOf([&] { ParseLandXml(mismatch); });
}

// Export keeps both names, internal stations and UnsymParaCurve, writes PIs, and drops what XML cannot hold.
TEST(LandXmlDesignFiles, ExportRoundTrip) {
  const Route route = BuildRouteFromJd({{"QD", 3000000, 500000, 0, 0, 0},
                                        {"JD1", 3000800, 500300, 500, 100, 80},
                                        {"ZD", 3001500, 500200, 0, 0, 0}},
                                       1000, {{1100, 1150}});
  const class Profile profile({{"", 0, 100, 0}, {"", 400, 104, 0, 100, 60}, {"", 1200, 96, 0}});
  LandXmlExport out;
  out.name = "主线\x01\tA";
  out.profileName = "设计纵断面";
  out.startStation = 1000;
  out.equations = route.Stations().Equations();
  out.elements = route.Elements();
  out.profile = &profile;
  const std::string text = LandXmlText(out);
  for (const char c : text) EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\n') << static_cast<int>(c);
  EXPECT_NE(text.find("name=\"主线&#9;A\""), std::string::npos);
  EXPECT_NE(text.find("<PI>"), std::string::npos);
  EXPECT_NE(text.find("<UnsymParaCurve lengthIn=\"100\" lengthOut=\"60\" name=\"BPD2\">1400 104</UnsymParaCurve>"),
            std::string::npos);
  const LandXmlImport back = Import(text);
  EXPECT_EQ(back.name, "主线\tA");
  EXPECT_EQ(back.profileName, "设计纵断面");
  EXPECT_TRUE(back.anglePoints.empty());
  EXPECT_NEAR(back.route.StationAt(route.Length()), route.StationAt(route.Length()), 1e-9);
  for (double m = 0; m <= 1200; m += 25) EXPECT_NEAR(back.profile->At(m).elevation, profile.At(m).elevation, 1e-9) << m;
  EXPECT_NEAR(back.profileStations[1], 1450, 1e-9);   // displayed: past the equation
}

}  // namespace
}  // namespace survey::alignment
