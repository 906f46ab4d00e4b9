#include "quenby/vertical_curve.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <sstream>
#include <vector>

#include "common/testing/fake_printer.h"
#include "common/testing/report_text.h"
#include "common/batch_cli.h"
#include "common/notation.h"
#include "quenby/batch.h"
#include "quenby/vertical_curve_form.h"

namespace quenby {
namespace {

const std::string kSolid = "        ───────────────────", kDashed = "        ┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄";
const std::string b10(10, ' ');

using survey::testing::Lines;

using survey::testing::FakePrinter;

// A form over a recording host and a fake printer, with the fields "R|i1|i2|JD|H[|spacing
// [|extra]]"; spacing 5 unless given.
struct Desk {
  explicit Desk(const std::string& fields = "2000|0.03|-0.01|1250|100") {
    std::istringstream in(fields);
    std::string t[7] = {"", "", "", "", "", "5", ""};
    for (std::string& text : t) std::getline(in, text, '|');
    form.fields() = {t[0], t[1], t[2], t[3], t[4], t[5], t[6]};
  }
  std::string Run(std::initializer_list<const char*> extras = {}) {
    form.ComputeListing();
    for (const char* s : extras) form.fields().extra = s, form.AddExtraStake();
    return form.Listing();
  }
  survey::RecordingHost host;
  FakePrinter printer;
  VerticalCurveForm form{host, printer};
};

// An elevation in its order of operations, and the fast number texts of the listing. Golden
// values: a snapshot of the program's digits; the listing of R 2000, i1 3 %, i2 -1 % at JD 1250,
// H 100 was checked by hand (T = R |i1 - i2| / 2 = 40, 1210 at 98.8, 1215 at 98.95 - 25 / 4000).
TEST(VerticalCurve, ElevationsAndListingNumbers) {
  const CurveInput crest{2000, 0.03, -0.01, 1250, 100};
  CurveState state;
  EXPECT_EQ(StakeElevation(crest, ComputeElements(crest, state), state, 1215), 100 - 35 * 0.03 - 25.0 / 4000);
  const double edges[] = {0.0, -0.0, 1e-5, 9.99e-6, 1e15, 999999999999999.0, 0.1 + 0.2, -12.0625, 1.0 / 3, 1e17};
  std::uint64_t seed = 12345;
  for (int i = -10; i < 40000; ++i) {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    const double v = i < 0 ? edges[i + 10]
                           : (double(seed >> 11) / 9007199254740992.0 - 0.5) * std::pow(10.0, double((seed >> 40) % 22) - 7);
    ASSERT_EQ(ListingNumberText(v), survey::PlainNumberText(v)) << v;
    ASSERT_EQ(ListingNumberText(RoundElevation(v)), survey::PlainNumberText(RoundElevation(v))) << v;
  }
}

// A stake line of a listing: the fields, the number of lines, the line (from the end when
// negative), its station and elevation. With an extra stake, its line (above its rule) under
// the listing. Equal grades (1260) bend like a crest.
struct LineCase { const char* in; std::size_t lines; int line; const char *station, *elevation; };
const LineCase kLines[] = {
    {"2000|0.03|-0.01|1250|100", 36, 2, "1210", "98.8"}, {"2000|0.03|-0.01|1250|100", 36, 4, "1215", "98.944"},
    {"2000|0.03|-0.01|1250|100", 36, 18, "1250", "99.6"}, {"2000|0.03|-0.01|1250|100|0.1", 1506, -4, "1289.9", "99.601"},
    {"2000|0.03|-0.01|1275|100", 38, 4, "1235", "98.8"}, {"2000|0.03|0.03|1250|100", 6, 4, "1250", "100"},
    {"2000|0.03|-0.01|1250|100|20", 14, 10, "1275", "99.694"}, {"2000|0.03|-0.01|1250|100|5| 1250", 38, -2, " 1250", "99.6"},
    {"2000|0.03|-0.01|40|100", 36, 2, "0", "98.8"}, {"2000|0.03|-0.01|1250|100|0.1", 1506, 710, "1250.3", "99.603"},
    {"2000|0.03|-0.01|1e17|100", 30, -2, "1E+17", "99.6"}, {"2000|0.03|-0.01|1250|1e300", 36, 2, "1210", "1E+300"},
    {"2000|-0.01|0.03|1250|100", 36, 18, "1250", "100.4"}, {"2000|0.03|-0.01|1250|100|5|1230", 38, -2, "1230", "99.3"},
    {"2000|0.03|-0.01|1250|100|5|1280.5", 38, -2, "1280.5", "99.672"}, {"2000|0.03|0.03|1250|100|5|1260", 8, -2, "1260", "100.275"},
    // 18 columns need no padding; leading numbers are read, blanks and all; a blank is a field.
    {"2000|0.03|-0.01|1250|100|5|1250.0000000000000", 38, -2, "1250.0000000000000", "99.6"},
    {" 20 00m|0.03|-0.01|125 0abc| ", 36, 2, "1210", "-1.2"},
};

TEST(VerticalCurveForm, ListingLines) {
  for (const LineCase& c : kLines) {
    SCOPED_TRACE(std::string(c.in) + " " + c.station);
    Desk d(c.in);
    d.form.ComputeListing();
    if (!d.form.fields().extra.empty()) d.form.AddExtraStake();
    const std::vector<std::string> lines = Lines(d.form.Listing());
    ASSERT_EQ(lines.size(), c.lines);
    const std::string lead = d.form.fields().extra.empty() ? b10 : "      加桩";
    EXPECT_EQ(lines[c.line < 0 ? lines.size() + c.line : c.line],
              lead + c.station + std::string(28 - std::string_view(c.station).size(), ' ') + c.elevation);
    if (lead != b10) { EXPECT_EQ(lines.back(), kSolid); }
    EXPECT_TRUE(d.host.messages.empty() && d.form.Listing().size() == d.form.InsertionPoint());
  }
}

// The fields of a refused command (with an extra stake: that command, else the listing) and
// the message.
TEST(VerticalCurveForm, RefusalsChangeNothing) {
  const std::string empty = "原始数据不能为空！", range = "原始数据超出计算范围！", spacing = "待测点间距必须大于零！";
  const std::pair<const char*, std::string> cases[] = {
      {"|0.03|-0.01|1250|100", empty}, {"2000||-0.01|1250|100", empty}, {"2000|0.03||1250|100", empty},
      {"2000|0.03|-0.01||100", empty}, {"2000|0.03|-0.01|1250|", empty}, {"2000|0.03|-0.01|1250|100|", empty},
      {"2000|0.03|-0.01|1250|100|0", spacing}, {"2000|0.03|-0.01|1250|100|abc", spacing},
      {"2000|0.03|-0.01|1250|100|0.00001", "计算结果超过1000000行，请加大待测点间距！"}, {"2000|1e308|-1e308|1250|100", range},
      {"2000|0.03|-0.01|1250|1e308", range}, {"2000|0.03|-0.01|1250|1.8e305", range}, {"2000|0.03|-0.01|1250|1e308|5|1300", range},
      {"2000|0.03|-0.01|1250|100|5|12a", "加桩桩号必须是数字！"}, {"2000|0.03|-0.01|1250|100||1300", empty},
      {"2000|0.03|-0.01|1250|100|5|", empty}};
  for (const auto& [in, message] : cases) {
    SCOPED_TRACE(in);
    Desk d(in);
    std::ranges::count(std::string_view(in), '|') == 6 ? d.form.AddExtraStake() : d.form.ComputeListing();
    ASSERT_EQ(d.host.messages.size(), 1u);
    EXPECT_EQ(d.host.messages[0].text, message);
    EXPECT_EQ(d.host.messages[0].title + std::to_string(int(d.host.messages[0].icon)), "Quenby0");
    EXPECT_TRUE(d.form.Listing() == UsageNote() && d.form.InsertionPoint() == UsageNote().size());
  }
  // The limit counts every line, before any is built: 6 fixed lines and two per stake.
  CurveState state;
  std::string out;
  EXPECT_EQ(BuildListing({2000, 0.03, -0.01, 1250, 100}, 5, state, out, 35), ListingOutcome::TooManyLines);
  EXPECT_EQ(BuildListing({2000, 0.03, -0.01, 1250, 100}, 5, state, out, 36), ListingOutcome::Done);
}

// A file that could not be written is told; a printer that will not start, or a cancel, is not.
TEST(VerticalCurveForm, PrintingTellsOnlyAFileThatFailed) {
  for (const bool fileFailed : {false, true}) {
    Desk d;
    d.printer.answer = fileFailed ? survey::Outcome::Failed("l.pdf：磁盘已满") : survey::Outcome::Refused("printer");
    d.form.PrintListing();
    EXPECT_EQ(d.printer.printed, (std::vector<std::pair<std::string, std::string>>{{"", UsageNote()}}));
    ASSERT_EQ(d.host.messages.size(), fileFailed ? 1u : 0u);
    if (fileFailed) { EXPECT_EQ(d.host.messages[0].icon, survey::MessageIcon::Exclamation); }
  }
}

// A command line and the answer of the PDF printer (none: no printer) -> status, the number of
// prints (one copy of what the print command prints, into the file named), a text stdout
// contains (empty on status 2), what stderr starts with.
TEST(Batch, CommandLines) {
  auto crest = [](std::vector<std::string> more) {
    more.insert(more.begin(), {"--radius", "2000", "--i1", "0.03", "--i2=-0.01", "--jd", "1250"});
    return more;
  };
  const std::optional<survey::Outcome> none, done = survey::Outcome::Done();
  const std::string usage = "usage: quenby --radius R --i1 G1 --i2 G2 --jd STATION --elevation H [--spacing S]";
  struct Case { std::vector<std::string> args; std::optional<survey::Outcome> pdf; int status; std::size_t prints;
                std::string out, err; };
  const Case cases[] = {
      {crest({"--elevation", "100", "--extra", "1230", "--extra", "1280.5"}), none, 0, 0,
       survey::CrLfToLf(Desk().Run({"1230", "1280.5"})), ""},
      {crest({"--elevation", "100"}), none, 0, 0, b10 + "桩  号" + std::string(22, ' ') + "高  程\n" + kSolid + "\n" + b10 +
       "1210                        98.8\n" + kDashed + "\n", ""},
      {crest({"--elevation", "100", "--spacing", "20"}), none, 0, 0, "          1235                        99.394\n", ""},
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
    std::ostringstream out, err;
    EXPECT_EQ(RunBatch(c.args, out, err, survey::BatchServices::Printing(c.pdf ? &pdf : nullptr)), c.status) << err.str();
    EXPECT_NE(out.str().find(c.out), std::string::npos) << out.str();
    EXPECT_EQ(err.str().substr(0, c.err.size()), c.err);
    EXPECT_TRUE(c.status == 0 || out.str().empty());
    ASSERT_EQ(pdf.printed.size(), c.prints);
    for (const auto& [path, text] : pdf.printed) EXPECT_EQ(path + text, "l.pdf" + PrintedText(Desk().Run({"1230"}), 1));
  }
}

}  // namespace
}  // namespace quenby
