#include "quenby/vertical_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "common/testing/batch_capture.h"
#include "common/notation.h"
#include "quenby/batch.h"
#include "quenby/form.h"

namespace quenby {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
    if (end == std::string::npos) break;
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// Display columns: a CJK character or box-drawing rule counts two, as in the listing's font.
std::size_t Columns(const std::string& s) {
  std::size_t cols = 0;
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      cols += 1;
      i += 1;
    } else {
      cols += 2;
      i += (c >= 0xF0) ? 4 : (c >= 0xE0) ? 3 : 2;
    }
  }
  return cols;
}

SqxForm1 CrestForm() {
  SqxForm1 form;
  form.Text(1) = "2000";
  form.Text(2) = "0.03";
  form.Text(3) = "-0.01";
  form.Text(4) = "1250";
  form.Text(5) = "100";
  return form;
}

const std::string kDashed = "        ┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄";
const std::string kSolid = "        ───────────────────";

TEST(Elements, CrestExample) {
  CurveState state;
  const CurveElements e = ComputeElements({2000, 0.03, -0.01, 1250, 100}, state);
  EXPECT_DOUBLE_EQ(e.t, 40);
  EXPECT_DOUBLE_EQ(e.beginStation, 1210);
  EXPECT_DOUBLE_EQ(e.endStation, 1290);
  EXPECT_EQ(ElevationText(e.beginElevation), "98.8");
  EXPECT_EQ(ElevationText(e.endElevation), "99.6");
  EXPECT_EQ(state.r, 2000);
  EXPECT_DOUBLE_EQ(state.dlti, 0.04);
}

TEST(Elevation, CrestSubtractsAndSagAddsTheOrdinate) {
  const CurveInput crest{2000, 0.03, -0.01, 1250, 100};
  CurveState state;
  CurveElements e = ComputeElements(crest, state);
  EXPECT_EQ(ElevationText(StakeElevation(crest, e, state, 1250)), "99.6");
  EXPECT_EQ(StakeElevation(crest, e, state, 1215), 100 - 35 * 0.03 - 25.0 / 4000);
  EXPECT_EQ(ElevationText(StakeElevation(crest, e, state, 1215)), "98.944");
  EXPECT_DOUBLE_EQ(state.x, 5);

  const CurveInput sag{2000, -0.01, 0.03, 1250, 100};
  e = ComputeElements(sag, state);
  EXPECT_LT(state.dlti, 0);
  EXPECT_EQ(ElevationText(StakeElevation(sag, e, state, 1250)), "100.4");
  double grade = 50;
  AddCurveOffset(state, grade, 20);
  EXPECT_DOUBLE_EQ(grade, 50.1);
  state.dlti = 0;  // equal grades count with the crests
  grade = 50;
  AddCurveOffset(state, grade, 20);
  EXPECT_DOUBLE_EQ(grade, 49.9);
}

TEST(Elevation, BranchFollowsTheSideOfTheJd) {
  const CurveInput in{2000, 0.03, -0.01, 1250, 100};
  CurveState state;
  const CurveElements e = ComputeElements(in, state);
  // Before the JD: first grade, distance from the begin point.
  EXPECT_DOUBLE_EQ(StakeElevation(in, e, state, 1230), 100 - 20 * 0.03 - 400.0 / 4000);
  EXPECT_DOUBLE_EQ(state.x, 20);
  // After it: second grade, distance from the end point.
  EXPECT_DOUBLE_EQ(StakeElevation(in, e, state, 1280), 100 - 30 * 0.01 - 100.0 / 4000);
  EXPECT_DOUBLE_EQ(state.x, 10);
}

TEST(FirstStake, NextFiveMetreMark) {
  EXPECT_EQ(FirstStake(1236.2), 1240);
  EXPECT_EQ(FirstStake(1233.8), 1235);
  EXPECT_EQ(FirstStake(1235), 1235);
  EXPECT_EQ(FirstStake(1210), 1215);
  EXPECT_EQ(FirstStake(1239.99), 1240);
}

TEST(Numbers, ElevationsRoundToMillimetresHalfEven) {
  EXPECT_EQ(ElevationText(12.3456), "12.346");
  EXPECT_EQ(ElevationText(100.1), "100.1");
  EXPECT_EQ(ElevationText(100), "100");
  EXPECT_EQ(ElevationText(98.94375), "98.944");
  EXPECT_EQ(ElevationText(0.5), "0.5");
  EXPECT_EQ(StationText(1187.5), "1187.5");
  EXPECT_EQ(StationText(1235), "1235");
}

TEST(Numbers, ListingTextsEqualThePlainDoubleTexts) {
  std::uint64_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    return seed >> 11;
  };
  const double fixed[] = {0, -0.0, 1e-5, 9.99e-6, 1e15, 999999999999999.0, 0.1 + 0.2, 1250.3, -12.0625,
                          1.0 / 3, 1e17, -1234567.8901234567, 98.944, 7500.6000000000004};
  for (double v : fixed) EXPECT_EQ(ListingNumberText(v), survey::PlainNumberText(v)) << v;
  for (int i = 0; i < 40000; ++i) {
    const double scale = std::pow(10.0, static_cast<double>(next() % 22) - 7);
    const double v = (static_cast<double>(next()) / 9007199254740992.0 - 0.5) * scale;
    ASSERT_EQ(ListingNumberText(v), survey::PlainNumberText(v)) << v;
    const double mm = RoundElevation(v);
    ASSERT_EQ(ListingNumberText(mm), survey::PlainNumberText(mm)) << mm;
  }
}

TEST(Padding, FillsStationsToEighteenColumns) {
  CurveState state;
  for (const char* station : {"5", "50", "1210", "1187.5", "-12345.6789012345", "12345678901234567"}) {
    PadAfterStation(state, station);
    EXPECT_EQ(std::string(station).size() + state.kg.size(), 18u) << station;
  }
  PadAfterStation(state, "123456789012345678");
  EXPECT_EQ(state.kg, "");
  PadAfterStation(state, "1234567890123456789");
  EXPECT_EQ(state.kg, "");
  PadAfterStation(state, 1210.0);
  EXPECT_EQ(state.kg.size(), 14u);
}

TEST(Listing, CrestExampleLayout) {
  SqxForm1 form = CrestForm();
  survey::RecordingHost host;
  form.Command1_Click(host);
  ASSERT_TRUE(host.messages.empty());
  const auto lines = Lines(form.listing);
  ASSERT_EQ(lines.size(), 2u + 2u + 15u * 2u + 2u);
  EXPECT_EQ(lines[0], std::string(10, ' ') + "桩  号" + std::string(22, ' ') + "高  程");
  EXPECT_EQ(lines[1], kSolid);
  EXPECT_EQ(lines[2], std::string(10, ' ') + "1210" + std::string(14, ' ') + std::string(10, ' ') + "98.8");
  EXPECT_EQ(lines[3], kDashed);
  EXPECT_EQ(lines[4], std::string(10, ' ') + "1215" + std::string(24, ' ') + "98.944");
  EXPECT_EQ(lines[5], kDashed);
  // Stakes 1215 .. 1285; the JD stake is 1250.
  EXPECT_EQ(lines[4 + 7 * 2], std::string(10, ' ') + "1250" + std::string(24, ' ') + "99.6");
  EXPECT_EQ(lines[4 + 14 * 2].substr(10, 4), "1285");
  EXPECT_EQ(lines[34], std::string(10, ' ') + "1290" + std::string(24, ' ') + "99.6");
  EXPECT_EQ(lines[35], kDashed);
  // The elevations start in the column of the second heading.
  EXPECT_EQ(Columns(lines[0].substr(0, lines[0].find("高"))), 38u);
  for (std::size_t i = 2; i < lines.size(); i += 2) EXPECT_EQ(lines[i].find_last_of(' ') + 1, 38u) << lines[i];
}

TEST(Listing, BeginOnAnOddFiveIsListedTwice) {
  SqxForm1 form = CrestForm();
  form.Text(4) = "1275";  // begin 1235
  survey::RecordingHost host;
  form.Command1_Click(host);
  const auto lines = Lines(form.listing);
  EXPECT_EQ(lines[2].substr(10, 4), "1235");
  EXPECT_EQ(lines[4].substr(10, 4), "1235");
  // As a stake it carries the grade-line elevation with ordinate 0: the begin elevation.
  EXPECT_EQ(lines[2].substr(38), lines[4].substr(38));

  form.Text(4) = "1276.2";  // begin 1236.2
  form.Command1_Click(host);
  EXPECT_EQ(Lines(form.listing)[4].substr(10, 4), "1240");
  form.Text(4) = "1273.8";  // begin 1233.8
  form.Command1_Click(host);
  EXPECT_EQ(Lines(form.listing)[4].substr(10, 4), "1235");
  EXPECT_TRUE(host.messages.empty());
}

TEST(Listing, EqualGradesGiveOnlyBeginAndEnd) {
  SqxForm1 form = CrestForm();
  form.Text(3) = "0.03";
  survey::RecordingHost host;
  form.Command1_Click(host);
  const auto lines = Lines(form.listing);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[2], std::string(10, ' ') + "1250" + std::string(24, ' ') + "100");
  EXPECT_EQ(lines[4], lines[2]);
}

TEST(Listing, WiderSpacingKeepsTheFirstStakesOffset) {
  SqxForm1 form = CrestForm();
  form.Text(6) = "20";
  survey::RecordingHost host;
  form.Command1_Click(host);
  const auto lines = Lines(form.listing);
  ASSERT_EQ(lines.size(), 6u + 4u * 2u);
  EXPECT_EQ(lines[4].substr(10, 4), "1215");
  EXPECT_EQ(lines[6].substr(10, 4), "1235");
  EXPECT_EQ(lines[10].substr(10, 4), "1275");
}

TEST(Listing, ShortStationsStillAlign) {
  SqxForm1 form = CrestForm();
  form.Text(4) = "40";  // begin 0, stations below 100 m
  survey::RecordingHost host;
  form.Command1_Click(host);
  const auto lines = Lines(form.listing);
  EXPECT_EQ(lines[2], std::string(10, ' ') + "0" + std::string(27, ' ') + "98.8");
  EXPECT_EQ(lines[4].substr(0, 38), std::string(10, ' ') + "5" + std::string(27, ' '));
}

TEST(Listing, InputsAreReadByTheirLeadingNumber) {
  SqxForm1 form = CrestForm();
  form.Text(1) = " 20 00m";
  form.Text(4) = "125 0abc";
  survey::RecordingHost host;
  form.Command1_Click(host);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(form.listing, [] {
    SqxForm1 f = CrestForm();
    survey::RecordingHost h;
    f.Command1_Click(h);
    return f.listing;
  }());
}

TEST(Refusals, EmptyFieldKeepsTheListing) {
  for (int empty = 1; empty <= 6; ++empty) {
    SqxForm1 form = CrestForm();
    form.Text(empty).clear();
    survey::RecordingHost host;
    form.Command1_Click(host);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "原始数据不能为空！");
    EXPECT_EQ(host.messages[0].title, "Quenby");
    EXPECT_EQ(host.messages[0].buttons, survey::MessageButtons::Ok);
    EXPECT_EQ(host.messages[0].icon, survey::MessageIcon::None);
    EXPECT_EQ(form.listing, UsageNote());
  }
  // Blanks are not empty.
  SqxForm1 form = CrestForm();
  form.Text(5) = " ";
  survey::RecordingHost host;
  form.Command1_Click(host);
  EXPECT_TRUE(host.messages.empty());
}

TEST(Refusals, SpacingMustBePositive) {
  for (const char* spacing : {"0", "-5", "abc", " "}) {
    SqxForm1 form = CrestForm();
    form.Text(6) = spacing;
    survey::RecordingHost host;
    form.Command1_Click(host);
    ASSERT_EQ(host.messages.size(), 1u) << spacing;
    EXPECT_EQ(host.messages[0].title, "Quenby");
    EXPECT_TRUE(host.messages[0].refusal);
    EXPECT_EQ(form.listing, UsageNote());
  }
}

TEST(Refusals, TooManyLinesIsRefusedBeforeBuilding) {
  SqxForm1 form = CrestForm();
  form.Text(6) = "0.00001";  // 8 million stakes
  survey::RecordingHost host;
  form.Command1_Click(host);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(form.listing, UsageNote());

  // The limit counts every line: 6 fixed lines and two per stake.
  CurveState state;
  std::string out;
  const CurveInput in{2000, 0.03, -0.01, 1250, 100};
  EXPECT_EQ(BuildListing(in, 5, state, out, 36), ListingOutcome::Done);
  EXPECT_EQ(Lines(out).size(), 36u);
  out.clear();
  EXPECT_EQ(BuildListing(in, 5, state, out, 35), ListingOutcome::TooManyLines);
  EXPECT_EQ(out, "");
}

TEST(Listing, SmallSpacingShowsNoDrift) {
  SqxForm1 form = CrestForm();
  form.Text(6) = "0.1";
  survey::RecordingHost host;
  form.Command1_Click(host);
  const auto lines = Lines(form.listing);
  ASSERT_EQ(lines.size(), 6u + 2u * 750u);
  // 1215 + 353 * 0.1 accumulated stake by stake would print 1250.29999999997.
  EXPECT_EQ(lines[4 + 353 * 2].substr(10, 28), "1250.3" + std::string(22, ' '));
  EXPECT_EQ(lines[4 + 749 * 2].substr(10, 7), "1289.9 ");
}

TEST(Listing, HugeStationsEndWithoutHanging) {
  SqxForm1 form = CrestForm();
  form.Text(4) = "1e17";
  survey::RecordingHost host;
  form.Command1_Click(host);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_LT(Lines(form.listing).size(), 100u);
}

TEST(Refusals, OverflowingDataIsRefused) {
  SqxForm1 form = CrestForm();
  form.Text(2) = "1e308";
  form.Text(3) = "-1e308";
  survey::RecordingHost host;
  form.Command1_Click(host);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(form.listing, UsageNote());
}

// Finite data whose elevations overflow once put in millimetres: the listing and the extra
// stake are refused instead of listing Inf.
TEST(Refusals, ElevationsBeyondTheDoublesAreRefused) {
  for (const char* elevation : {"1e308", "-1e308", "1.8e305"}) {
    SqxForm1 form = CrestForm();
    survey::RecordingHost host;
    form.Command1_Click(host);
    const std::string before = form.listing;
    form.Text(5) = elevation;
    form.Command1_Click(host);
    ASSERT_EQ(host.messages.size(), 1u) << elevation;
    EXPECT_TRUE(host.messages[0].refusal);
    EXPECT_EQ(host.messages[0].text, "原始数据超出计算范围！");
    EXPECT_EQ(form.listing, before);
    form.Text(7) = "1300";
    form.Command2_Click(host);
    EXPECT_EQ(host.messages.size(), 2u) << elevation;
    EXPECT_EQ(form.listing, before);
  }
  // A large elevation that still fits is listed.
  SqxForm1 form = CrestForm();
  form.Text(5) = "1e300";
  survey::RecordingHost host;
  form.Command1_Click(host);
  EXPECT_TRUE(host.messages.empty());
}

TEST(ExtraStake, AppendsUnderTheListingOnBothSidesOfTheJd) {
  SqxForm1 form = CrestForm();
  survey::RecordingHost host;
  form.Command1_Click(host);
  const std::string listing = form.listing;
  form.Text(7) = "1230";
  form.Command2_Click(host);
  form.Text(7) = "1280.5";
  form.Command2_Click(host);
  ASSERT_TRUE(host.messages.empty());
  ASSERT_EQ(form.listing.substr(0, listing.size()), listing);
  const auto extra = Lines(form.listing.substr(listing.size()));
  ASSERT_EQ(extra.size(), 4u);
  CurveState state;
  const CurveInput in{2000, 0.03, -0.01, 1250, 100};
  const CurveElements e = ComputeElements(in, state);
  EXPECT_EQ(extra[0], "      加桩1230" + std::string(24, ' ') + ElevationText(StakeElevation(in, e, state, 1230)));
  EXPECT_EQ(extra[1], kSolid);
  EXPECT_EQ(extra[2], "      加桩1280.5" + std::string(22, ' ') + ElevationText(100 - 30.5 * 0.01 - 9.5 * 9.5 / 4000));
  EXPECT_EQ(Columns(extra[2].substr(0, extra[2].find("1280.5"))), 10u);
  EXPECT_DOUBLE_EQ(form.state.x, 9.5);
  // The next calculation starts the listing afresh.
  form.Command1_Click(host);
  EXPECT_EQ(form.listing, listing);
}

TEST(ExtraStake, GoesUnderTheLineTheCursorIsInAndTheNextFollows) {
  SqxForm1 form = CrestForm();
  survey::RecordingHost host;
  form.Command1_Click(host);
  EXPECT_EQ(form.insertionPoint, form.listing.size());
  const std::string listing = form.listing;
  // The user clicked into the 1225 row, between its digits.
  const std::size_t row = listing.find("1225");
  ASSERT_NE(row, std::string::npos);
  const std::size_t rowEnd = listing.find("\r\n", row) + 2;
  form.insertionPoint = row + 2;
  form.Text(7) = "1227";
  form.Command2_Click(host);
  form.Text(7) = "1228";
  form.Command2_Click(host);
  ASSERT_TRUE(host.messages.empty());
  EXPECT_EQ(form.listing.substr(0, rowEnd), listing.substr(0, rowEnd));
  const auto extra = Lines(form.listing.substr(rowEnd, form.insertionPoint - rowEnd));
  ASSERT_EQ(extra.size(), 4u);
  EXPECT_TRUE(extra[0].starts_with("      加桩1227"));
  EXPECT_EQ(extra[1], kSolid);
  EXPECT_TRUE(extra[2].starts_with("      加桩1228"));
  EXPECT_EQ(extra[3], kSolid);
  EXPECT_EQ(form.listing.substr(form.insertionPoint), listing.substr(rowEnd));
}

TEST(ExtraStake, AfterEditsTheLinesStandOnTheirOwn) {
  SqxForm1 form = CrestForm();
  survey::RecordingHost host;
  form.listing = "手记\r\n末行";  // typed by the user, the last line without line end
  form.insertionPoint = 3;        // inside "手记"
  form.Text(7) = "1230";
  form.Command2_Click(host);
  const std::string lines = form.listing.substr(8, form.insertionPoint - 8);
  EXPECT_TRUE(lines.starts_with("      加桩1230"));
  EXPECT_TRUE(lines.ends_with(kSolid + "\r\n"));
  EXPECT_EQ(form.listing, "手记\r\n" + lines + "末行");
  form.insertionPoint = form.listing.size();
  form.Command2_Click(host);
  EXPECT_EQ(form.listing, "手记\r\n" + lines + "末行\r\n" + lines);
  EXPECT_EQ(form.insertionPoint, form.listing.size());
  EXPECT_TRUE(host.messages.empty());
}

TEST(ExtraStake, TypedTextIsEchoedAndMustBeANumber) {
  SqxForm1 form = CrestForm();
  survey::RecordingHost host;
  form.Text(7) = " 1250";
  form.Command2_Click(host);
  ASSERT_TRUE(host.messages.empty());
  EXPECT_NE(form.listing.find("加桩 1250" + std::string(13, ' ') + std::string(10, ' ') + "99.6\r\n"),
            std::string::npos);
  const std::string before = form.listing;
  for (const char* bad : {"12a", "abc", "1 250"}) {
    form.Text(7) = bad;
    form.Command2_Click(host);
  }
  EXPECT_EQ(host.messages.size(), 3u);
  EXPECT_EQ(host.messages[0].title, "Quenby");
  EXPECT_EQ(form.listing, before);
  form.Text(7).clear();
  form.Command2_Click(host);
  EXPECT_EQ(host.messages.back().text, "原始数据不能为空！");
  EXPECT_EQ(form.listing, before);
}

TEST(Printing, CopiesFollowOneAnotherWithThePrintersLineEnd) {
  EXPECT_EQ(PrintedText("a\r\nb\r\n", 2), "a\r\nb\r\n\r\na\r\nb\r\n\r\n");
  EXPECT_EQ(PrintedText("note", 1), "note\r\n");
  EXPECT_EQ(PrintedText("note", 0), "");
}

using survey::testing::BatchRun;
BatchRun Batch(const std::vector<std::string>& args) {
  return survey::testing::CaptureBatch(
      [](const std::vector<std::string>& a, std::ostream& out, std::ostream& err) { return RunBatch(a, out, err); }, args);
}

TEST(Batch, PrintsTheListingWithLfAndExtraStakesInOrder) {
  const BatchRun r = Batch({"--radius", "2000", "--i1", "0.03", "--i2=-0.01", "--jd", "1250", "--elevation", "100",
                            "--extra", "1230", "--extra", "1280.5"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.find('\r'), std::string::npos);
  EXPECT_EQ(r.out.rfind("          1215"), r.out.find("          1215"));
  EXPECT_LT(r.out.find("加桩1230"), r.out.find("加桩1280.5"));
  EXPECT_NE(r.out.find("          1210" + std::string(24, ' ') + "98.8\n"), std::string::npos);
}

TEST(Batch, PdfPrintsOneCopyOfTheListingAndRefusesWhatCannotBeWritten) {
  const std::vector<std::string> args = {"--radius", "2000", "--i1", "0.03", "--i2=-0.01", "--jd", "1250",
                                         "--elevation", "100", "--extra", "1230", "--pdf", "l.pdf"};
  for (const bool written : {true, false}) {
    std::vector<std::pair<std::string, std::string>> printed;
    const BatchRun r = survey::testing::CaptureBatch(
        [&](const std::vector<std::string>& a, std::ostream& out, std::ostream& err) {
          return RunBatch(a, out, err, [&](const std::string& path, const std::string& text, std::string& reason) {
            printed.emplace_back(path, text);
            if (!written) reason = "磁盘空间不足 (No space left on device)";
            return written;
          });
        },
        args);
    EXPECT_EQ(r.status, written ? 0 : 2);
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_EQ(printed[0].first, "l.pdf");
    SqxForm1 form;
    const char* values[] = {"2000", "0.03", "-0.01", "1250", "100"};
    for (int n = 1; n <= 5; ++n) form.Text(n) = values[n - 1];
    survey::RecordingHost host;
    form.Command1_Click(host);
    form.Text(7) = "1230";
    form.Command2_Click(host);
    EXPECT_EQ(printed[0].second, PrintedText(form.listing, 1));
    if (!written) {
      EXPECT_NE(r.err.find("l.pdf"), std::string::npos);
      EXPECT_NE(r.err.find("No space left on device"), std::string::npos);
    }
  }
  // Without a printer the option is refused before anything runs.
  EXPECT_EQ(Batch(args).status, 2);
}

TEST(Batch, RefusalsGoToStderr) {
  BatchRun r = Batch({"--radius", "2000", "--i1", "0.03", "--i2=-0.01", "--jd", "1250"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "原始数据不能为空！\n");
  EXPECT_EQ(r.out, "");
  r = Batch({"--radius", "2000", "--i1", "0.03", "--i2=-0.01", "--jd", "1250", "--elevation", "100", "--spacing", "0"});
  EXPECT_EQ(r.status, 2);
  r = Batch({"--radius", "2000", "--i1", "0.03", "--i2=-0.01", "--jd", "1250", "--elevation", "100", "--extra", "x"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(Batch({"--bogus"}).status, 2);
}

}  // namespace
}  // namespace quenby
