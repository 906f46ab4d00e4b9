#include "quenby/vertical_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "common/batch_cli.h"
#include "common/notation.h"
#include "common/report_lines.h"
#include "common/testing/batch_capture.h"
#include "quenby/batch.h"
#include "quenby/vertical_curve_form.h"

namespace quenby {
namespace {

const VerticalCurveFields kCrest{"2000", "0.03", "-0.01", "1250", "100"};
const std::string kSolid = "        ───────────────────", kDashed = "        ┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄";
const std::string b10(10, ' ');

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
    lines.push_back(text.substr(start, at - start));
  return lines;
}

class FakePrinter : public survey::TextPrinter, public PdfPrinter {
 public:
  survey::Outcome Print(const std::string& text) override { return Print("", text); }
  survey::Outcome Print(const std::string& path, const std::string& text) override {
    printed.emplace_back(path, text);
    return answer;
  }
  survey::Outcome answer;
  std::vector<std::pair<std::string, std::string>> printed;  // path (none from the dialog), text
};

// A form over a recording host and a fake printer, with the given fields.
struct Desk {
  explicit Desk(const VerticalCurveFields& fields = kCrest) { form.fields() = fields; }
  std::string Run(std::initializer_list<const char*> extras = {}) {
    form.ComputeListing();
    for (const char* s : extras) form.fields().extra = s, form.AddExtraStake();
    return form.Listing();
  }
  survey::RecordingHost host;
  FakePrinter printer;
  VerticalCurveForm form{host, printer};
};

TEST(VerticalCurve, StakeElevationsAndNumberTexts) {
  const CurveInput crest{2000, 0.03, -0.01, 1250, 100};
  CurveState state;
  const CurveElements e = ComputeElements(crest, state);
  EXPECT_EQ(StakeElevation(crest, e, state, 1215), 100 - 35 * 0.03 - 25.0 / 4000);
  const std::pair<double, double> distances[] = {{1230, 20}, {1280, 10}, {1215, 5}};  // from the nearer end
  for (const auto& [s, x] : distances) EXPECT_EQ((StakeElevation(crest, e, state, s), state.x), x) << s;
  const std::pair<double, const char*> elevations[] = {{12.3456, "12.346"}, {100.1, "100.1"}, {100, "100"},
                                                       {98.94375, "98.944"}, {0.5, "0.5"}};
  for (const auto& [v, text] : elevations) EXPECT_EQ(ElevationText(v), text);
  EXPECT_EQ(StationText(1187.5), "1187.5");
  const std::pair<double, double> firstStakes[] = {{1236.2, 1240}, {1233.8, 1235}, {1235, 1235}, {1210, 1215}, {1239.99, 1240}};
  for (const auto& [begin, first] : firstStakes) EXPECT_EQ(FirstStake(begin), first) << begin;
  for (const char* station : {"5", "1187.5", "-12345.6789012345", "12345678901234567", "123456789012345678"}) {
    PadAfterStation(state, station);
    EXPECT_EQ(std::string(station).size() + state.kg.size(), 18u) << station;
  }
  PadAfterStation(state, "1234567890123456789");
  EXPECT_EQ(state.kg, "");
  PadAfterStation(state, 1210.0);
  EXPECT_EQ(state.kg.size(), 14u);
}

TEST(VerticalCurve, ListingNumbersAreThePlainDoubleTexts) {
  std::uint64_t seed = 12345;
  auto next = [&seed] { return (seed = seed * 6364136223846793005ULL + 1442695040888963407ULL) >> 11; };
  for (double v : {0.0, -0.0, 1e-5, 9.99e-6, 1e15, 999999999999999.0, 0.1 + 0.2, -12.0625, 1.0 / 3, 1e17})
    EXPECT_EQ(ListingNumberText(v), survey::PlainNumberText(v)) << v;
  for (int i = 0; i < 40000; ++i) {
    const double v = (static_cast<double>(next()) / 9007199254740992.0 - 0.5) * std::pow(10.0, double(next() % 22) - 7);
    ASSERT_EQ(ListingNumberText(v), survey::PlainNumberText(v)) << v;
    ASSERT_EQ(ListingNumberText(RoundElevation(v)), survey::PlainNumberText(RoundElevation(v))) << v;
  }
}

// One line of a listing: the crest example with fields changed, the number of lines, the line
// (from the end when negative) and its text.
struct LineCase {
  VerticalCurveFields in;
  std::size_t lines;
  int line;
  std::string text;
};
const LineCase kLines[] = {
    {kCrest, 36, 0, b10 + "桩  号" + std::string(22, ' ') + "高  程"}, {kCrest, 36, 1, kSolid},
    {kCrest, 36, 2, b10 + "1210                        98.8"}, {kCrest, 36, 3, kDashed},
    {kCrest, 36, 4, b10 + "1215                        98.944"}, {kCrest, 36, 18, b10 + "1250                        99.6"},
    {kCrest, 36, 34, b10 + "1290                        99.6"}, {kCrest, 36, 35, kDashed},
    {{"2000", "0.03", "-0.01", "1275", "100"}, 38, 2, b10 + "1235                        98.8"},
    {{"2000", "0.03", "-0.01", "1275", "100"}, 38, 4, b10 + "1235                        98.8"},
    {{"2000", "0.03", "-0.01", "1276.2", "100"}, 38, 4, b10 + "1240                        98.91"},
    {{"2000", "0.03", "-0.01", "1273.8", "100"}, 38, 4, b10 + "1235                        98.836"},
    {{"2000", "0.03", "0.03", "1250", "100"}, 6, 4, b10 + "1250                        100"},
    {{"2000", "0.03", "-0.01", "1250", "100", "20"}, 14, 10, b10 + "1275                        99.694"},
    {{"2000", "0.03", "-0.01", "40", "100"}, 36, 2, b10 + "0                           98.8"},
    {{"2000", "0.03", "-0.01", "40", "100"}, 36, 4, b10 + "5                           98.944"},
    {{" 20 00m", "0.03", "-0.01", "125 0abc", "100"}, 36, 4, b10 + "1215                        98.944"},
    {{"2000", "0.03", "-0.01", "1250", "100", "0.1"}, 1506, 710, b10 + "1250.3                      99.603"},
    {{"2000", "0.03", "-0.01", "1250", "100", "0.1"}, 1506, -4, b10 + "1289.9                      99.601"},
    {{"2000", "0.03", "-0.01", "1e17", "100"}, 30, -2, b10 + "1E+17                       99.6"},
    {{"2000", "0.03", "-0.01", "1250", "1e300"}, 36, 2, b10 + "1210                        1E+300"},
    {{"2000", "0.03", "-0.01", "1250", " "}, 36, 2, b10 + "1210                        -1.2"},
    {{"2000", "-0.01", "0.03", "1250", "100"}, 36, 18, b10 + "1250                        100.4"},
};

TEST(VerticalCurveForm, ListingLines) {
  for (const LineCase& c : kLines) {
    SCOPED_TRACE(c.text);
    Desk d(c.in);
    const std::vector<std::string> lines = Lines(d.Run());
    ASSERT_EQ(lines.size(), c.lines);
    EXPECT_EQ(lines[c.line < 0 ? lines.size() + c.line : c.line], c.text);
    EXPECT_EQ(d.form.Listing().size(), d.form.InsertionPoint());
    EXPECT_TRUE(d.host.messages.empty());
  }
}

TEST(VerticalCurveForm, RefusalsChangeNothing) {
  const std::string empty = "原始数据不能为空！", range = "原始数据超出计算范围！", spacing = "待测点间距必须大于零！";
  struct Case {
    VerticalCurveFields in;
    std::string message;
    bool extraStake = false;
  } const cases[] = {
      {{"", "0.03", "-0.01", "1250", "100"}, empty}, {{"2000", "", "-0.01", "1250", "100"}, empty},
      {{"2000", "0.03", "", "1250", "100"}, empty}, {{"2000", "0.03", "-0.01", "", "100"}, empty},
      {{"2000", "0.03", "-0.01", "1250", ""}, empty}, {{"2000", "0.03", "-0.01", "1250", "100", ""}, empty},
      {{"2000", "0.03", "-0.01", "1250", "100", "0"}, spacing}, {{"2000", "0.03", "-0.01", "1250", "100", "-5"}, spacing},
      {{"2000", "0.03", "-0.01", "1250", "100", "abc"}, spacing}, {{"2000", "0.03", "-0.01", "1250", "100", " "}, spacing},
      {{"2000", "0.03", "-0.01", "1250", "100", "0.00001"}, "计算结果超过1000000行，请加大待测点间距！"},
      {{"2000", "1e308", "-1e308", "1250", "100"}, range}, {{"2000", "0.03", "-0.01", "1250", "1e308"}, range},
      {{"2000", "0.03", "-0.01", "1250", "-1e308"}, range}, {{"2000", "0.03", "-0.01", "1250", "1.8e305"}, range},
      {{"2000", "0.03", "-0.01", "1250", "1e308", "5", "1300"}, range, true},
      {{"2000", "0.03", "-0.01", "1250", "100", "5", "12a"}, "加桩桩号必须是数字！", true},
      {{"2000", "0.03", "-0.01", "1250", "100", "5", "1 250"}, "加桩桩号必须是数字！", true},
      {{"2000", "0.03", "-0.01", "1250", "100", "", "1300"}, empty, true}, {{"2000", "0.03", "-0.01", "1250", "100"}, empty, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in.radius + " " + c.in.i1 + " " + c.in.i2 + " " + c.in.jd + " " + c.in.elevation + " " + c.in.spacing);
    Desk d(c.in);
    c.extraStake ? d.form.AddExtraStake() : d.form.ComputeListing();
    ASSERT_EQ(d.host.messages.size(), 1u);
    EXPECT_EQ(d.host.messages[0].text, c.message);
    EXPECT_EQ(d.host.messages[0].title, "Quenby");
    EXPECT_EQ(d.host.messages[0].icon, survey::MessageIcon::None);
    EXPECT_EQ(d.form.Listing(), UsageNote());
    EXPECT_EQ(d.form.InsertionPoint(), UsageNote().size());
  }
  // The limit counts every line, before any is built: 6 fixed lines and two per stake.
  CurveState state;
  std::string out;
  EXPECT_EQ(BuildListing({2000, 0.03, -0.01, 1250, 100}, 5, state, out, 35), ListingOutcome::TooManyLines);
  EXPECT_EQ(out, "");
  EXPECT_EQ(BuildListing({2000, 0.03, -0.01, 1250, 100}, 5, state, out, 36), ListingOutcome::Done);
}

TEST(VerticalCurveForm, ExtraStakesEchoTheTypedStationAndGoToTheCursor) {
  Desk d;
  const std::string listing = d.Run();
  EXPECT_EQ(d.Run({"1230", "1280.5", " 1250"}), listing + "      加桩1230                        99.3\r\n" + kSolid +
                                                    "\r\n      加桩1280.5                      99.672\r\n" + kSolid +
                                                    "\r\n      加桩 1250                       99.6\r\n" + kSolid + "\r\n");
  EXPECT_EQ(d.Run(), listing);
  // Equal grades bend like a crest.
  Desk equal({"2000", "0.03", "0.03", "1250", "100", "5", "1260"});
  equal.form.AddExtraStake();
  EXPECT_TRUE(equal.form.Listing().ends_with("      加桩1260                        100.275\r\n" + kSolid + "\r\n"));
  // Clicked into the 1225 row, between its digits: the lines go under that row, in order.
  const std::size_t row = listing.find("1225"), rowEnd = listing.find("\r\n", row) + 2;
  d.form.SetCursorFromBox(survey::BoxPositionOfByteOffset(listing, row + 2));
  for (const char* s : {"1227", "1228"}) d.form.fields().extra = s, d.form.AddExtraStake();
  const std::string added = d.form.Listing().substr(rowEnd, d.form.InsertionPoint() - rowEnd);
  EXPECT_EQ(d.form.Listing(), listing.substr(0, rowEnd) + added + listing.substr(rowEnd));
  EXPECT_EQ(Lines(added).size(), 4u);
  EXPECT_TRUE(added.starts_with("      加桩1227") && added.find("      加桩1228") == added.find(kSolid) + kSolid.size() + 2);
  // Typed text: the lines stand on their own, also after a last line without line end.
  d.form.SetListingFromBox("手记\n末行");
  d.form.SetCursorFromBox(1);
  d.form.fields().extra = "1230";
  d.form.AddExtraStake();
  const std::string lines = "      加桩1230                        99.3\r\n" + kSolid + "\r\n";
  EXPECT_EQ(d.form.Listing(), "手记\r\n" + lines + "末行");
  d.form.SetCursorFromBox(100);
  d.form.AddExtraStake();
  EXPECT_EQ(d.form.Listing(), "手记\r\n" + lines + "末行\r\n" + lines);
  EXPECT_TRUE(d.host.messages.empty());
}

TEST(VerticalCurveForm, PrintingTellsOnlyWhatFailed) {
  EXPECT_EQ(PrintedText("a\r\nb\r\n", 2), "a\r\nb\r\n\r\na\r\nb\r\n\r\n");
  EXPECT_EQ(PrintedText("note", 1), "note\r\n");
  const survey::Outcome answers[] = {survey::Outcome::Done(), survey::Outcome::Cancelled(), survey::Outcome::Refused("x"),
                                     survey::Outcome::Failed("l.pdf：磁盘已满")};
  for (const survey::Outcome& answer : answers) {
    Desk d;
    d.printer.answer = answer;
    d.form.PrintListing();
    ASSERT_EQ(d.printer.printed.size(), 1u);
    EXPECT_EQ(d.printer.printed[0].second, UsageNote());
    ASSERT_EQ(d.host.messages.size(), answer == survey::Outcome::Status::Failed ? 1u : 0u);
    if (d.host.messages.empty()) continue;
    EXPECT_EQ(d.host.messages[0].text, "l.pdf：磁盘已满");
    EXPECT_EQ(d.host.messages[0].title + std::to_string(int(d.host.messages[0].icon)), "Quenby" + std::to_string(int(survey::MessageIcon::Exclamation)));
  }
}

// A command line and the answer of the PDF printer (none: no printer) -> status, the number of
// prints, a text stdout contains (empty on status 2), what stderr starts with.
TEST(Batch, CommandLines) {
  auto crest = [](std::vector<std::string> more) {
    more.insert(more.begin(), {"--radius", "2000", "--i1", "0.03", "--i2=-0.01", "--jd", "1250"});
    return more;
  };
  const std::optional<survey::Outcome> none, done = survey::Outcome::Done();
  const std::string usage = "usage: quenby --radius R --i1 G1 --i2 G2 --jd STATION --elevation H [--spacing S]";
  struct Case {
    std::vector<std::string> args;
    std::optional<survey::Outcome> pdf;
    int status;
    std::size_t prints;
    std::string out, err;
  } const cases[] = {
      {crest({"--elevation", "100", "--extra", "1230", "--extra", "1280.5"}), none, 0, 0,
       survey::CrLfToLf(Desk().Run({"1230", "1280.5"})), ""},
      {crest({"--elevation", "100", "--spacing", "20"}), none, 0, 0, "          1235                        99.394\n", ""},
      {crest({}), none, 2, 0, "", "原始数据不能为空！\n"},
      {crest({"--elevation", "100", "--spacing", "0"}), none, 2, 0, "", "待测点间距必须大于零！\n"},
      {crest({"--elevation", "100", "--extra", "x"}), none, 2, 0, "", "加桩桩号必须是数字！\n"},
      {crest({"--elevation", "100", "--pdf", "l.pdf"}), none, 2, 0, "", "quenby: --pdf: printing is not available here\n"},
      {crest({"--elevation", "100", "--extra", "1230", "--pdf", "l.pdf"}), done, 0, 1, "加桩1230", ""},
      {crest({"--elevation", "100", "--extra", "1230", "--pdf", "l.pdf"}), survey::Outcome::Failed("磁盘已满"), 2, 1, "",
       "无法写入PDF文件：l.pdf\n磁盘已满\n"},
      {crest({"--pdf", "l.pdf"}), done, 2, 0, "", "原始数据不能为空！\n"},
      {{"--bogus"}, none, 2, 0, "", "quenby: unknown option: --bogus\n" + usage},
      {{"--help"}, none, 0, 0, usage, ""},
  };
  for (const Case& c : cases) {
    FakePrinter pdf;
    pdf.answer = c.pdf.value_or(survey::Outcome::Done());
    const survey::testing::BatchRun r = survey::testing::CaptureBatch(
        [&](const std::vector<std::string>& a, std::ostream& o, std::ostream& e) {
          return RunBatch(a, o, e, {c.pdf ? &pdf : nullptr});
        },
        c.args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.out.find(c.out), std::string::npos) << r.out;
    EXPECT_EQ(r.err.substr(0, c.err.size()), c.err);
    EXPECT_TRUE(c.status == 0 || r.out.empty());
    // One copy of what the print command prints, into the file named.
    ASSERT_EQ(pdf.printed.size(), c.prints);
    for (const auto& [path, text] : pdf.printed) EXPECT_EQ(path + text, "l.pdf" + PrintedText(Desk().Run({"1230"}), 1));
  }
}

}  // namespace
}  // namespace quenby
