#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <numbers>
#include <tuple>
#include <utility>
#include <string>
#include <vector>

#include "alignment/alignment_error.h"
#include "alignment/landxml_reader.h"
#include "alignment/landxml_writer.h"
#include "alignment/route.h"
#include "refusal.h"

namespace survey::alignment {
namespace {

// ---- a LandXML writer of the tests' own, with knobs for what files in the wild do ----------
struct FileStyle {
  std::string linearUnit = "meter";
  double metresPerUnit = 1;
  std::string angularUnit = "decimal degrees";
  // Directions as some writers measure them: counter-clockwise from east. The reader must
  // take directions from the points and so never notice.
  bool misleadingDirs = false;
  bool writePi = true;
  std::string spiType = "clothoid";
  double staStart = 0;
  std::vector<StationEquation> equations;
  std::string profile;   // ProfAlign content, written verbatim
  // Moves the stored End of one element (index from 1) north by this much (metres).
  std::size_t shiftEndOf = 0;
  double shiftEndBy = 0;
};

std::string Num(double v) {
  char b[40];
  std::snprintf(b, sizeof b, "%.17g", v);
  return b;
}

std::string Pt(const char* tag, double x, double y, const FileStyle& s) {
  return std::string("<") + tag + ">" + Num(x / s.metresPerUnit) + " " + Num(y / s.metresPerUnit) + "</" + tag + ">";
}

double DegreesFromNorth(double azimuth, const FileStyle& s) {
  const double a = s.misleadingDirs ? std::numbers::pi / 2 - azimuth : azimuth;
  return a * 180 / std::numbers::pi;
}

std::string FileFor(const std::vector<Element>& elements, const FileStyle& s, const std::string& name = "Main") {
  std::string x = "<?xml version=\"1.0\"?>\n<LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.2\" version=\"1.2\">\n";
  x += "<Units><" + std::string(s.metresPerUnit == 1 ? "Metric" : "Imperial") + " linearUnit=\"" + s.linearUnit +
       "\" angularUnit=\"" + s.angularUnit + "\"/></Units>\n<Alignments>\n";
  x += "<Alignment name=\"" + name + "\" staStart=\"" + Num(s.staStart / s.metresPerUnit) + "\">\n<CoordGeom>\n";
  for (std::size_t i = 0; i < elements.size(); ++i) {
    const Element& e = elements[i];
    Pose end = EndPose(e);
    if (i + 1 == s.shiftEndOf) end.x += s.shiftEndBy;
    const std::string len = " length=\"" + Num(e.length / s.metresPerUnit) + "\"";
    const std::string rot = (e.startCurvature + e.endCurvature) > 0 ? " rot=\"cw\"" : " rot=\"ccw\"";
    const std::string dirStart = " dirStart=\"" + Num(DegreesFromNorth(e.start.azimuth, s)) + "\"";
    if (e.kind == ElementKind::Line) {
      x += "<Line" + len + " dir=\"" + Num(DegreesFromNorth(e.start.azimuth, s)) + "\">" + Pt("Start", e.start.x, e.start.y, s) +
           Pt("End", end.x, end.y, s) + "</Line>\n";
    } else if (e.kind == ElementKind::Arc) {
      const double r = 1 / std::fabs(e.startCurvature);
      const double toCentre = e.start.azimuth + (e.startCurvature > 0 ? 1 : -1) * std::numbers::pi / 2;
      x += "<Curve" + len + rot + dirStart + " radius=\"" + Num(r / s.metresPerUnit) + "\">" + Pt("Start", e.start.x, e.start.y, s) +
           Pt("Center", e.start.x + r * std::cos(toCentre), e.start.y + r * std::sin(toCentre), s) + Pt("End", end.x, end.y, s) +
           "</Curve>\n";
    } else {
      const auto radius = [&](double k) { return k == 0 ? std::string("INF") : Num(1 / std::fabs(k) / s.metresPerUnit); };
      x += "<Spiral" + len + rot + dirStart + " spiType=\"" + s.spiType + "\" radiusStart=\"" + radius(e.startCurvature) +
           "\" radiusEnd=\"" + radius(e.endCurvature) + "\">" + Pt("Start", e.start.x, e.start.y, s);
      if (s.writePi) {
        // The start tangent's intersection with the end tangent.
        const Pose b = EndPose(e);
        const double ux = std::cos(e.start.azimuth), uy = std::sin(e.start.azimuth);
        const double vx = std::cos(b.azimuth), vy = std::sin(b.azimuth);
        const double t = ((b.x - e.start.x) * vy - (b.y - e.start.y) * vx) / (ux * vy - uy * vx);
        x += Pt("PI", e.start.x + t * ux, e.start.y + t * uy, s);
      }
      x += Pt("End", end.x, end.y, s) + "</Spiral>\n";
    }
  }
  x += "</CoordGeom>\n";
  for (const StationEquation& eq : s.equations) {
    x += "<StaEquation staBack=\"" + Num(eq.back / s.metresPerUnit) + "\" staAhead=\"" + Num(eq.ahead / s.metresPerUnit) + "\"/>\n";
  }
  if (!s.profile.empty()) x += "<Profile><ProfAlign name=\"design\">" + s.profile + "</ProfAlign></Profile>\n";
  x += "</Alignment>\n</Alignments>\n</LandXML>\n";
  return x;
}

// The engine's own routes.
Route JdRoute(std::vector<StationEquation> equations = {}, double startStation = 0) {
  // Line, spiral 100 m, arc R 500, spiral 80 m, line, then a plain circle to the left.
  return BuildRouteFromJd({{"QD", 3000000, 500000, 0, 0, 0},
                           {"JD1", 3000800, 500300, 500, 100, 80},
                           {"JD2", 3001500, 500200, 300, 0, 0},
                           {"ZD", 3002300, 500700, 0, 0, 0}},
                          startStation, std::move(equations));
}

Route EggRoute() {
  // Line, spiral 0 -> 1/1000, arc 1000, egg 1/1000 -> 1/400, arc 400, spiral 1/400 -> 0, line.
  return BuildRouteFromElements({2500000, 400000, 0.3}, 1000,
                                {{ElementKind::Line, 200, 0, 0},
                                 {ElementKind::Spiral, 120, 0, 1.0 / 1000},
                                 {ElementKind::Arc, 150, 1.0 / 1000, 1.0 / 1000},
                                 {ElementKind::Spiral, 90, 1.0 / 1000, 1.0 / 400},
                                 {ElementKind::Arc, 100, 1.0 / 400, 1.0 / 400},
                                 {ElementKind::Spiral, 110, 1.0 / 400, 0},
                                 {ElementKind::Line, 300, 0, 0}},
                                {});
}

// Positions every 5 m and at every element joint agree to 1e-6 m, and so do the stations.
void ExpectSameRoute(const Route& expected, const Route& actual) {
  ASSERT_EQ(actual.Elements().size(), expected.Elements().size());
  ASSERT_NEAR(actual.Length(), expected.Length(), 1e-6);
  std::vector<double> chainages;
  for (double c = 0; c < expected.Length(); c += 5) chainages.push_back(c);
  for (const Element& e : expected.Elements()) chainages.push_back(e.startChainage);
  chainages.push_back(expected.Length());
  for (double c : chainages) {
    SCOPED_TRACE(c);
    for (double offset : {0.0, -12.5}) {
      const Pose a = expected.PointAt(c, offset);
      const Pose b = actual.PointAt(c, offset);
      EXPECT_NEAR(b.x, a.x, 1e-6);
      EXPECT_NEAR(b.y, a.y, 1e-6);
    }
    EXPECT_NEAR(actual.StationAt(c), expected.StationAt(c), 1e-6);
  }
}

LandXmlImport Import(const std::string& xml, LandXmlImportOptions options = {}) {
  return ImportLandXml(ParseLandXml(xml), options);
}

// ---- import against the engine ----------------------------------------------------------

TEST(LandXmlImportTest, ImportedRoutesMatchTheEngine) {
  const std::vector<StationEquation> equations{{1200, 1180}, {2100, 2150}};
  FileStyle misleading, egg, withEquations, feet, surveyFeet;
  misleading.misleadingDirs = true;   // directions come from the points, not from dir attributes
  egg.staStart = 1000;
  withEquations.staStart = 500;
  withEquations.equations = equations;
  for (auto [style, unit, metres] : {std::tuple{&feet, "foot", 0.3048}, {&surveyFeet, "USSurveyFoot", 1200.0 / 3937.0}}) {
    style->linearUnit = unit;
    style->metresPerUnit = metres;
    style->staStart = 100;
    style->equations = {{1200, 1180}};
  }
  const std::pair<Route, FileStyle> cases[] = {{JdRoute(), {}},
                                               {JdRoute(), misleading},
                                               {EggRoute(), egg},
                                               {JdRoute(equations, 500), withEquations},
                                               {JdRoute({{1200, 1180}}, 100), feet},
                                               {JdRoute({{1200, 1180}}, 100), surveyFeet}};
  for (const auto& [expected, style] : cases) {
    SCOPED_TRACE(style.linearUnit + " " + std::to_string(style.staStart));
    const LandXmlImport imported = Import(FileFor(expected.Elements(), style));
    ExpectSameRoute(expected, imported.route);
    EXPECT_EQ(imported.name, "Main");
    EXPECT_LT(imported.largestEndDifference, 1e-6);
  }
}

TEST(LandXmlImportTest, SpiralFirstWithoutPiTakesDirStartInTheFileUnits) {
  // Drop the leading line: the file then starts on a spiral whose start direction only its
  // dirStart gives, written in d.mmss.
  const Route egg = EggRoute();
  std::vector<ElementShape> shapes;
  for (std::size_t i = 1; i < egg.Elements().size(); ++i) {
    const Element& e = egg.Elements()[i];
    shapes.push_back({e.kind, e.length, e.startCurvature, e.endCurvature});
  }
  // 0.3 rad is not a whole number of seconds; use 17 deg 11 min 20.5 s.
  const double azimuth = (17 + 11.0 / 60 + 20.5 / 3600) * std::numbers::pi / 180;
  const Route expected = BuildRouteFromElements({2500000, 400000, azimuth}, 0, shapes, {});
  FileStyle style;
  style.writePi = false;
  style.angularUnit = "decimal dd.mm.ss";
  std::string xml = FileFor(expected.Elements(), style);
  // The tests' writer gives decimal degrees; rewrite the first dirStart as d.mmss.
  const std::size_t at = xml.find("dirStart=\"");
  const std::size_t end = xml.find('"', at + 10);
  xml.replace(at + 10, end - at - 10, "17.112050");
  ExpectSameRoute(expected, Import(xml).route);
}

TEST(LandXmlImportTest, ProfileWithTwoVerticalCurves) {
  const Route route = JdRoute({}, 0);
  FileStyle style;
  // The same profile as the profile tests: a crest R 4000 given by its length (2T = 160 m)
  // and a sag R 5000 given as a circular curve.
  style.profile =
      "<PVI>0 100</PVI><ParaCurve length=\"160\">300 106</ParaCurve>"
      "<CircCurve length=\"250\" radius=\"5000\">600 100</CircCurve><PVI name=\"END\">1000 112</PVI>";
  const LandXmlImport imported = Import(FileFor(route.Elements(), style));
  ASSERT_TRUE(imported.profile.has_value());
  const Profile expected({{"", 0, 100, 0}, {"", 300, 106, 4000}, {"", 600, 100, 5000}, {"", 1000, 112, 0}});
  for (double m : {0.0, 230.0, 300.0, 370.0, 485.0, 600.0, 715.0, 1000.0}) {
    SCOPED_TRACE(m);
    EXPECT_NEAR(imported.profile->At(m).elevation, expected.At(m).elevation, 1e-9);
    EXPECT_NEAR(imported.profile->At(m).grade, expected.At(m).grade, 1e-12);
  }
  ASSERT_EQ(imported.profile->Rows().size(), 4u);
  EXPECT_EQ(imported.profile->Rows()[3].name, "END");
  EXPECT_EQ(imported.profile->Rows()[1].name, "BPD2");
  EXPECT_EQ(imported.profileStations, (std::vector<double>{0, 300, 600, 1000}));
}

TEST(LandXmlImportTest, EndsFiveMillimetresOffAreRefusedUnlessPointsAreTrusted) {
  const Route expected = JdRoute();
  FileStyle style;
  style.shiftEndOf = 3;
  style.shiftEndBy = 0.005;
  const std::string xml = FileFor(expected.Elements(), style);
  const std::string refusal = RefusalOf([&] { Import(xml); });
  EXPECT_NE(refusal.find("第 3 个线元"), std::string::npos) << refusal;
  EXPECT_NE(refusal.find("5.000 mm"), std::string::npos) << refusal;

  const LandXmlImport trusted = Import(xml, {"", true});
  EXPECT_NEAR(trusted.largestEndDifference, 0.005, 1e-9);
  EXPECT_EQ(trusted.largestEndDifferenceElement, 3u);
  ExpectSameRoute(expected, trusted.route);   // every element still starts at its own Start

  // Under a millimetre is rounding in the file: accepted and reported.
  style.shiftEndBy = 0.0009;
  const LandXmlImport rounded = Import(FileFor(expected.Elements(), style));
  EXPECT_NEAR(rounded.largestEndDifference, 0.0009, 1e-9);
}

// ---- refusals ---------------------------------------------------------------------------

std::string OneLine(const std::string& attributes, const std::string& start = "0 0", const std::string& end = "100 0");

TEST(LandXmlImportTest, RefusalsNameWhatIsWrong) {
  const Route route = JdRoute();
  const std::string good = FileFor(route.Elements(), {});
  FileStyle bloss;
  bloss.spiType = "bloss";
  struct Case { std::string name; std::function<void()> run; std::vector<std::string> mentions; };
  const Case cases[] = {
      {"unknown spiral type", [&] { Import(FileFor(route.Elements(), bloss)); }, {"bloss", "第 2 个线元"}},
      {"missing name", [&] { Import(good, {"Ramp A", false}); }, {"Ramp A", "Main"}},
      {"malformed", [&] { ParseLandXml("<LandXML><Alignments><Alignment name=\"a></LandXML>"); }, {"XML"}},
      {"truncated", [&] { ParseLandXml(good.substr(0, good.size() / 2)); }, {"截断"}},
      {"empty", [&] { ParseLandXml(""); }, {"XML"}},
      {"not LandXML", [&] { ParseLandXml("<gml/>"); }, {"LandXML"}},
      {"no alignment", [&] { ParseLandXml("<LandXML><Alignments/></LandXML>"); }, {"Alignment"}},
      {"unknown unit", [&] { Import(OneLine("length=\"100\"").insert(9, "<Units><Metric linearUnit=\"cubit\"/></Units>")); }, {"cubit"}},
  };
  for (const Case& c : cases) {
    const std::string refusal = RefusalOf(c.run);
    for (const std::string& m : c.mentions) EXPECT_NE(refusal.find(m), std::string::npos) << c.name << ": " << refusal;
  }
  EXPECT_EQ(Import(good, {"Main", false}).name, "Main");
}

std::string OneLine(const std::string& attributes, const std::string& start, const std::string& end) {
  return "<LandXML><Alignments><Alignment name=\"a\"><CoordGeom><Line " + attributes + "><Start>" + start + "</Start><End>" +
         end + "</End></Line></CoordGeom></Alignment></Alignments></LandXML>";
}

TEST(LandXmlImportTest, HostileNumbersAreRefusedNamingTheElement) {
  const std::string cases[] = {
      OneLine("length=\"NaN\""),      OneLine("length=\"1e400\""),   OneLine("length=\"inf\""),
      OneLine("length=\"0\""),        OneLine("length=\"-5\""),      OneLine("length=\"1e300\""),
      OneLine("length=\"12abc\""),    OneLine("", "nan 0"),          OneLine("", "1e300 0"),
      OneLine("", "0 0", "0 0"),      OneLine("length=\"100\"", "0"),
  };
  for (const std::string& xml : cases) {
    const std::string refusal = RefusalOf([&] { Import(xml); });
    EXPECT_NE(refusal.find("第 1 个线元"), std::string::npos) << xml << "\n" << refusal;
  }
  EXPECT_NEAR(Import(OneLine("length=\"100\"")).route.Length(), 100, 1e-12);
}

// XML bombs end in a refusal or an ordinary result, quickly and without growing memory.
TEST(LandXmlImportTest, XmlBombsAreHarmless) {
  std::string deep = "<LandXML>";
  for (int i = 0; i < 1'000'000; ++i) deep += "<a>";
  for (int i = 0; i < 1'000'000; ++i) deep += "</a>";
  deep += "</LandXML>";
  EXPECT_NE(RefusalOf([&] { ParseLandXml(deep); }).find("Alignment"), std::string::npos);

  std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE LandXML [<!ENTITY a \"aaaaaaaaaa\">";
  for (int i = 1; i < 10; ++i) {
    laughs += "<!ENTITY " + std::string(1, static_cast<char>('a' + i)) + " \"";
    for (int j = 0; j < 10; ++j) laughs += "&" + std::string(1, static_cast<char>('a' + i - 1)) + ";";
    laughs += "\">";
  }
  laughs += "]><LandXML><Alignments><Alignment name=\"&j;\"/></Alignments></LandXML>";
  const LandXmlDocument laughed = ParseLandXml(laughs);
  ASSERT_EQ(laughed.alignments.size(), 1u);
  EXPECT_EQ(laughed.alignments.front().name, "&j;");   // left unexpanded

  // Millions of tiny elements: refused by counting before any parsing.
  std::string flat = "<LandXML>";
  for (std::size_t i = 0; i < kLandXmlMaxMarkup; ++i) flat += "<a/>";
  flat += "</LandXML>";
  EXPECT_NE(RefusalOf([&] { ParseLandXml(flat); }).find("元素和属性"), std::string::npos);
  // ... and so is one element with millions of attributes.
  std::string wide = "<LandXML><Alignments><Alignment";
  for (std::size_t i = 0; i < kLandXmlMaxMarkup; ++i) wide += " a=\"\"";
  wide += "/></Alignments></LandXML>";
  EXPECT_NE(RefusalOf([&] { ParseLandXml(wide); }).find("元素和属性"), std::string::npos);

  std::string external = "<!DOCTYPE LandXML [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><LandXML><Alignments>"
                         "<Alignment name=\"&x;\"/></Alignments></LandXML>";
  const LandXmlDocument fetched = ParseLandXml(external);
  ASSERT_EQ(fetched.alignments.size(), 1u);
  EXPECT_EQ(fetched.alignments.front().name, "&x;");
}

// ---- export -----------------------------------------------------------------------------

TEST(LandXmlExportTest, ExportReadBackGivesTheSameStakes) {
  const std::vector<StationEquation> equations{{1200, 1180}, {2100, 2150}};
  for (const Route& route : {JdRoute(equations, 500), EggRoute()}) {
    const Profile profile({{"", 0, 100, 0}, {"P2", 300, 106, 4000}, {"", 600, 100, 5000}, {"", 1000, 112, 0}});
    LandXmlExport out;
    out.name = "R&D <1>";
    out.startStation = route.Stations().StartStation();
    out.equations = route.Stations().Equations();
    out.elements = route.Elements();
    out.profile = &profile;
    const LandXmlImport back = Import(LandXmlText(out));
    EXPECT_EQ(back.name, "R&D <1>");
    ExpectSameRoute(route, back.route);
    ASSERT_TRUE(back.profile.has_value());
    for (double m = 0; m <= 1000; m += 12.5) {
      EXPECT_NEAR(back.profile->At(m).elevation, profile.At(m).elevation, 1e-9) << m;
    }
    ASSERT_EQ(back.profile->Rows().size(), 4u);
    EXPECT_EQ(back.profile->Rows()[1].name, "P2");
  }
}

// Replaces the file and leaves nothing else; a failure names the file and keeps what was there.
TEST(LandXmlExportTest, AtomicWrite) {
  const auto folder = std::filesystem::temp_directory_path() /
                      ("landxml-write-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  std::filesystem::create_directories(folder);
  const auto read = [](const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const auto target = folder / "route.xml";
  { std::ofstream(target) << "old"; }
  WriteFileAtomically(target.string(), "new content");
  EXPECT_EQ(read(target), "new content");
  const auto missing = folder / "no-such-folder" / "route.xml";
  EXPECT_NE(RefusalOf([&] { WriteFileAtomically(missing.string(), "x"); }).find(missing.string()), std::string::npos);
  // A folder cannot be replaced by a file: the rename fails after the data was written.
  const auto taken = folder / "taken";
  std::filesystem::create_directories(taken);
  { std::ofstream(taken / "inside.txt") << "keep"; }
  EXPECT_NE(RefusalOf([&] { WriteFileAtomically(taken.string(), "x"); }).find(taken.string()), std::string::npos);
  EXPECT_EQ(read(taken / "inside.txt"), "keep");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 2);   // no temporary left
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace survey::alignment
