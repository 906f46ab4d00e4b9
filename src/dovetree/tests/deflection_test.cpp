#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

#include "common/batch_cli.h"
#include "common/testing/fake_printer.h"
#include "common/testing/report_text.h"
#include "common/report_lines.h"
#include "dovetree/batch.h"
#include "dovetree/deflection_form.h"
#include "dovetree/report.h"

namespace dovetree {
namespace {

const std::string b15(15, ' '), b25(25, ' ');
// "JD α R Ls M [JZ]" separated by blanks, "_" for an empty field.
DeflectionFields Fields(const std::string& texts) {
  std::istringstream in(texts);
  std::string t[6];
  for (std::string& text : t) if (in >> text && text == "_") text.clear();
  return {t[0], t[1], t[2], t[3], t[4], t[5]};
}
const std::string kDataError = "你输入所有数据了吗？\r\n请重新输入。";

using survey::testing::Lines;

using survey::testing::FakePrinter;

// A form over a recording host and a fake printer, with the given fields.
struct Desk {
  explicit Desk(const std::string& fields = "1000 30.0000 500 60 870") { form.fields() = Fields(fields); }
  std::string Run(std::initializer_list<const char*> extras = {}) {
    form.ComputeDeflections();
    for (const char* jz : extras) form.fields().extra = jz, form.AddExtraStake();
    return form.Report();
  }
  survey::RecordingHost host;
  FakePrinter printer;
  StationDeflectionForm form{host, printer};
};

// Golden report: a snapshot of the program's digits and layout (single-float p and q, as the
// station deflection sheets print them); its elements agree with the hand-worked example of
// curve/tests/curve_elements_test.cpp to the digits a float holds.
TEST(DeflectionForm, WorkedExampleReport) {
  Desk d;
  const std::vector<std::string> expected = {b25 + "Dovetree 置镜点偏角计算表", "", b25 + "－－－原 始 数 据－－－",
      b15 + "交点桩号JD=1000     偏角角度α＝30°0′0″", b15 + "曲线半径R ＝500     缓和曲线LS＝60", "",
      b25 + "－－－曲 线 要 素－－－", b15 + "P=0.3     Q=29.9964     L=321.7994",
      b15 + "T=164.0514     E=17.94867     QZ=996.8483", b15 + "ZH=835.9486     HY=895.9486",
      b15 + "YH=1097.748     HZ=1157.748", "", b25 + "－－－加桩计算结果－－－", b15 + "加桩桩号＝     偏角Pj＝        反偏角=",
      b15 + " 835.9486(zh)     0° 44′ 18″    359°15′42″", b15 + " 840              0° 41′ 21″    359°18′39″",
      b15 + " 850              0° 31′ 23″    359°28′37″", b15 + " 860              0° 17′ 36″    359°42′24″",
      b15 + " 870              0° 0′ 0″      360°0′0″", b15 + " 870(置镜)        0° 0′ 0″      360°0′0″",
      b15 + " 880              0° 21′ 25″    359°38′35″", b15 + " 890              0° 46′ 40″    359°13′20″",
      b15 + " 895.9486(hy)     1° 3′ 29″     358°56′31″"};
  EXPECT_EQ(Lines(d.Run()), expected);
  EXPECT_EQ(d.form.InsertionOffset(), d.form.Report().size());
}

// One line of a main report: the fields, the number of rows, the line (from the end when
// negative) and its text after 15 blanks.
struct LineCase { const char* in; std::size_t rows; int line; const char* text; };
const LineCase kLines[] = {
    {"1000 30 500 60 865.5", 9, 18, " 865.5(置镜)      0° 0′ 0″      360°0′0″"},
    {"1000 30 500 60 838", 8, 14, " 835.9486(zh)     0° 0′ 10″     359°59′50″"},
    {"1000 30 500 60 800", 8, 14, " 835.9486(zh)     0° 49′ 22″    359°10′38″"},  // negative δ, listed as magnitude
    {"1004.0514 30 500 60 870", 9, -2, " 900              1° 8′ 46″     358°51′14″"},
    {"1004.0514 30 500 60 870", 9, -1, " 900(hy)          1° 8′ 46″     358°51′14″"},
    {"100 30 500 60 -40", 8, 14, "-64.05138(zh)     0° 22′ 6″     359°37′54″"},
    {"100 30 500 60 -40", 8, 17, "-40(置镜)         0° 0′ 0″      360°0′0″"},
    {"１０００ ３０．００００ 500 60 ８７０", 9, 19, " 870(置镜)        0° 0′ 0″      360°0′0″"},
    {"1000 179.5959 500 60 870", 6, 3, "交点桩号JD=1000     偏角角度α＝179°59′59″"},
    // An extra stake, seen from M, goes under the report.
    {"1000 30 500 60 870 700", 10, -1, " 700(加桩)       -3°-40′-18″    363°40′18″"},
    {"1000 30 500 60 870 767", 10, -1, " 767(加桩)        0°-1′-40″     360°1′40″"},
    {"1000 30 500 60 870 870.123456789", 10, -1, " 870.123456789(加桩) 0° 0′ 14″     359°59′46″"},
    {"1000 30 500 60 870 870.12345678901", 10, -1, " 870.12345678901(加桩) 0° 0′ 14″     359°59′46″"},
};

TEST(DeflectionForm, ReportLines) {
  for (const LineCase& c : kLines) {
    SCOPED_TRACE(std::string(c.in) + " " + c.text);
    Desk d(c.in);
    d.form.ComputeDeflections();
    if (!d.form.fields().extra.empty()) d.form.AddExtraStake();
    const std::vector<std::string> lines = Lines(d.form.Report());
    EXPECT_TRUE(d.host.messages.empty());
    ASSERT_EQ(lines.size(), 14 + c.rows);
    EXPECT_EQ(lines[c.line < 0 ? lines.size() + c.line : c.line], b15 + c.text);
  }
}

// The fields of a refused command (with JZ: the extra stake, else the main calculation).
TEST(DeflectionForm, RefusedInputChangesNothing) {
  for (const char* in : {"_ 30 500 60 870", "1000 _ 500 60 870", "1000 30 _ 60 870", "1000 30 500 _ 870",
                         "1000 30 500 60 _", "abc 30 500 60 870", "1000 30度 500 60 870", "1000 30 0 60 870",
                         "1000 30 500 0 870", "1000 180 500 60 870", "1000 -180 500 60 870", "10OO 30 500 60 870",
                         "1000 30 500 60 8７0x", "1e9 30 500 60 1e9", "1000 30 1e12 1e9 870", "1e300 30 500 60 870",
                         "1000 30 500 60 1e300", "1000 30 500 60 870 _", "_ 30 500 60 870 700", "1000 30 500 60 870 7OO",
                         "1000 30 500 0 870 700", "1000 30 500 60 870 1e300", "1e300 30 500 60 870 900"}) {
    SCOPED_TRACE(in);
    Desk d(in);
    std::ranges::count(std::string_view(in), ' ') == 5 ? d.form.AddExtraStake() : d.form.ComputeDeflections();
    ASSERT_EQ(d.host.messages.size(), 1u);
    EXPECT_EQ(d.host.messages[0].text, kDataError);
    EXPECT_TRUE(d.form.Report() == HelpText() && d.form.InsertionOffset() == HelpText().size());
  }
}

// 2 beta0 > alpha leaves no curve: refused with the condition named, as a data error, by the
// main calculation and by the extra stake; 2 beta0 = alpha (L = 2 Ls) is computed.
TEST(DeflectionForm, OverlappingTransitionsAreRefused) {
  for (const char* in : {"199.25 22.30 152.45 60 150", "199.25 22.30 152.45 60 150 160", "1029 0 30 60 1000",
                         "1000 30 120 85 950"}) {
    SCOPED_TRACE(in);
    Desk d(in);
    const survey::Outcome o =
        std::ranges::count(std::string_view(in), ' ') == 5 ? d.form.AddExtraStake() : d.form.ComputeDeflections();
    EXPECT_EQ(o, survey::Outcome::Status::Refused);
    ASSERT_EQ(d.host.messages.size(), 1u);
    EXPECT_EQ(d.host.messages[0].text, "缓和曲线过长：2β0 大于偏角 α");
    EXPECT_EQ(d.host.messages[0].title, "输入数据出错");
    EXPECT_TRUE(d.host.Refused());
    EXPECT_EQ(d.form.Report(), HelpText());
  }
  Desk exact("1000 30 114.59155902616466 60 950");
  EXPECT_TRUE(exact.form.ComputeDeflections().ok());
  EXPECT_NE(exact.form.Report().find("L=120\r\n"), std::string::npos);
  EXPECT_TRUE(exact.host.messages.empty());
}

TEST(DeflectionForm, ExtraStakesGoToTheCursorAndNeverSplitARow) {
  Desk d;
  const std::string main = d.Run();
  // The cursor inside the ZH row, after "(zh)", as the box counts characters.
  d.form.SetReportFromBox(d.form.ReportWithLf(), survey::BoxPositionOfByteOffset(main, main.find("(zh)") + 4));
  for (const char* jz : {"840", "845"}) d.form.fields().extra = jz, d.form.AddExtraStake();
  const std::size_t rowEnd = main.find("\r\n", main.find("(zh)")) + 2;
  const std::string added = b15 + " 840(加桩)        0° 41′ 21″    359°18′39″\r\n" + b15 + " 845(加桩)";
  EXPECT_EQ(d.form.Report().substr(0, rowEnd + added.size()), main.substr(0, rowEnd) + added);
  EXPECT_EQ(d.form.Report().substr(d.form.InsertionOffset()), main.substr(rowEnd));
  EXPECT_EQ(d.Run(), main);
  EXPECT_TRUE(d.host.messages.empty());
}

// A command line and the answer of the PDF printer (none: no printer) -> status, the number of
// prints (the print command's text into the file named), a text stdout contains (empty on
// status 2), what stderr starts with. A print failure shows its reason and the code 1.
TEST(Batch, CommandLines) {
  auto worked = [](std::vector<std::string> more) {
    more.insert(more.begin(), {"--jd", "1000", "--alpha", "30.0000", "--radius", "500", "--ls", "60"});
    return more;
  };
  const std::string usage = "usage: dovetree --jd JD --alpha ALPHA --radius R --ls LS --station M [--extra JZ]...";
  const std::optional<survey::Outcome> none, done = survey::Outcome::Done();
  struct Case { std::vector<std::string> args; std::optional<survey::Outcome> pdf; int status; std::size_t prints;
                std::string out, err; };
  const Case cases[] = {
      {worked({"--station", "870", "--extra", "700", "--extra=800"}), none, 0, 0,
       survey::CrLfToLf(Desk().Run({"700", "800"})), ""},
      {worked({"--station", "870", "--extra", ""}), none, 2, 0, "", "你输入所有数据了吗？\n请重新输入。\n"},
      {worked({"--station", "870", "--pdf", "r.pdf"}), none, 2, 0, "", "dovetree: --pdf: printing is not available here\n"},
      {worked({"--station", "870", "--extra", "880", "--pdf", "r.pdf"}), done, 0, 1, "880(加桩)", ""},
      {worked({"--station", "870", "--extra", "880", "--pdf", "r.pdf"}), survey::Outcome::Cancelled(), 0, 1, "880(加桩)", ""},
      {worked({"--station", "870", "--extra", "880", "--pdf", "r.pdf"}), survey::Outcome::Failed("磁盘已满"), 2, 1, "",
       "无法写入PDF文件：r.pdf\n磁盘已满 1\n"},
      {{"--jd=1000", "--alpha=30", "--radius=0", "--ls=60", "--station=870", "--pdf=r.pdf"}, done, 2, 0, "", "你输入"},
      {{"--jd", "1000", "--bogus", "1"}, none, 2, 0, "", "dovetree: unknown option: --bogus\n" + usage},
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
    for (const auto& [path, text] : pdf.printed) EXPECT_EQ(path + text, "r.pdf   " + Desk().Run({"880"}));
  }
}

}  // namespace
}  // namespace dovetree
