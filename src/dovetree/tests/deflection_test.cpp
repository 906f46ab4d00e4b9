#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "common/batch_cli.h"
#include "dovetree/batch.h"
#include "dovetree/deflection_form.h"
#include "dovetree/report.h"
#include "dovetree/station_deflections.h"

namespace dovetree {
namespace {

const std::string b15(15, ' '), b25(25, ' ');
const DeflectionFields kWorked{"1000", "30.0000", "500", "60", "870", ""};
const std::string kDataError = "你输入所有数据了吗？\r\n请重新输入。";

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
  explicit Desk(const DeflectionFields& fields = kWorked) { form.fields() = fields; }
  std::string Run(std::initializer_list<const char*> extras = {}) {
    form.ComputeDeflections();
    for (const char* jz : extras) form.fields().extra = jz, form.AddExtraStake();
    return form.Report();
  }
  survey::RecordingHost host;
  FakePrinter printer;
  StationDeflectionForm form{host, printer};
};

TEST(DeflectionForm, WorkedExampleReport) {
  Desk d;
  EXPECT_EQ(d.form.Report(), HelpText());
  const std::vector<std::string> expected = {b25 + "Dovetree 置镜点偏角计算表", "", b25 + "－－－原 始 数 据－－－",
      b15 + "交点桩号JD=1000     偏角角度α＝30°0′0″", b15 + "曲线半径R ＝500     DovetreeLS＝60", "",
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
  EXPECT_EQ(d.form.Report().substr(d.form.Report().size() - 2), "\r\n");
  EXPECT_TRUE(d.host.messages.empty());
}

// One line of a main report: inputs JD α R Ls M, the number of rows, the line (from the end
// when negative) and its text after 15 blanks.
struct LineCase {
  DeflectionFields in;
  std::size_t rows;
  int line;
  const char* text;
};
const LineCase kLines[] = {
    {{"1000", "30", "500", "60", "865.5"}, 9, 18, " 865.5(置镜)      0° 0′ 0″      360°0′0″"},
    {{"1000", "30", "500", "60", "865.5"}, 9, 19, " 870              0° 8′ 0″      359°51′60″"},
    {{"1000", "30", "500", "60", "865.25"}, 9, 18, " 865.25(置镜)     0° 0′ 0″      360°0′0″"},
    {{"1000", "30", "500", "60", "838"}, 8, 14, " 835.9486(zh)     0° 0′ 10″     359°59′50″"},
    {{"1000", "30", "500", "60", "905"}, 8, -1, " 895.9486(hy)     0° 34′ 15″    359°25′45″"},
    {{"1000", "30", "500", "60", "1200"}, 8, 14, " 835.9486(zh)     84° 22′ 47″   275°37′13″"},
    {{"1004.0514", "30", "500", "60", "870"}, 9, 15, " 850              0° 26′ 44″    359°33′16″"},
    {{"1004.0514", "30", "500", "60", "870"}, 9, -2, " 900              1° 8′ 46″     358°51′14″"},
    {{"1004.0514", "30", "500", "60", "870"}, 9, -1, " 900(hy)          1° 8′ 46″     358°51′14″"},
    {{"1029", "0", "30", "60", "1000"}, 8, 14, " 1000(zh)         0° 0′ 0″      360°0′0″"},
    {{"1029", "0", "30", "60", "1000"}, 8, 15, " 1010             0° 31′ 50″    359°28′10″"},
    {{"1029", "0", "30", "60", "1000"}, 8, -1, " 1060(hy)         19° 6′ 0″     340°53′60″"},
    {{"100", "30", "500", "60", "-40"}, 8, 14, "-64.05138(zh)     0° 22′ 6″     359°37′54″"},
    {{"100", "30", "500", "60", "-40"}, 8, 15, "-50               0° 11′ 52″    359°48′8″"},
    {{"100", "30", "500", "60", "-40"}, 8, 17, "-40(置镜)         0° 0′ 0″      360°0′0″"},
    {{"100", "30", "500", "60", "-40"}, 8, -1, "-4.051376(hy)     1° 14′ 14″    358°45′46″"},
    {{"1000", "30", "500", "-60", "870"}, 2, -1, " 835.9414(hy)     1° 12′ 47″    358°47′13″"},
    {{"１０００", "３０．００００", "500", "60", "８７０"}, 9, 19, " 870(置镜)        0° 0′ 0″      360°0′0″"},
    {{"1000", "-30", "500", "60", "870"}, 8, 14, " 1104.059(zh)     34° 52′ 44″   325°7′16″"},
    {{"1000", "30", "120", "85", "950"}, 11, 7, "P=2.508681     Q=42.3223     L=147.8318"},
    {{"1000", "30", "120", "85", "950"}, 11, 8, "T=75.1484     E=6.830319     QZ=998.7676"},
    {{"1000", "179.5959", "500", "60", "870"}, 0, 3, "交点桩号JD=1000     偏角角度α＝179°59′59″"},
};

TEST(DeflectionForm, ReportLines) {
  for (const LineCase& c : kLines) {
    SCOPED_TRACE(c.in.station + " " + c.text);
    Desk d(c.in);
    const std::vector<std::string> lines = Lines(d.Run());
    if (c.rows) { ASSERT_EQ(lines.size(), 14 + c.rows); }
    ASSERT_LT(static_cast<std::size_t>(c.line < 0 ? -c.line : c.line), lines.size());
    EXPECT_EQ(lines[c.line < 0 ? lines.size() + c.line : c.line], b15 + c.text);
  }
}

// Extra stakes seen from M = 870 on the worked example: JZ -> its line after 15 blanks.
TEST(DeflectionForm, ExtraStakeLines) {
  const std::pair<const char*, const char*> cases[] = {{"700", " 700(加桩)       -3°-40′-18″    363°40′18″"},
      {"767", " 767(加桩)        0°-1′-40″     360°1′40″"}, {"800", " 800(加桩)        0° 42′ 59″    359°17′1″"},
      {"900", " 900(加桩)        1° 15′ 43″    358°44′17″"}, {"870", " 870(加桩)        0° 0′ 0″      360°0′0″"},
      {"870.123456789", " 870.123456789(加桩) 0° 0′ 14″     359°59′46″"},
      {"870.12345678901", " 870.12345678901(加桩) 0° 0′ 14″     359°59′46″"}};
  for (const auto& [jz, line] : cases) {
    Desk d({"1000", "30.0000", "500", "60", "870", jz});
    d.form.AddExtraStake();
    // The help text ends without a line end: the stake starts a line of its own.
    EXPECT_EQ(d.form.Report(), HelpText() + "\r\n" + b15 + line + "\r\n");
    EXPECT_EQ(d.form.InsertionOffset(), d.form.Report().size());
    EXPECT_TRUE(d.host.messages.empty()) << jz;
  }
}

TEST(DeflectionForm, RefusedInputChangesNothing) {
  const std::pair<bool, DeflectionFields> cases[] = {  // extra stake?, fields
      {false, {"", "30", "500", "60", "870"}}, {false, {"1000", "", "500", "60", "870"}},
      {false, {"1000", "30", "", "60", "870"}}, {false, {"1000", "30", "500", "", "870"}},
      {false, {"1000", "30", "500", "60", ""}}, {false, {"abc", "30", "500", "60", "870"}},
      {false, {"1000", "30度", "500", "60", "870"}}, {false, {"1000", "30", "0", "60", "870"}},
      {false, {"1000", "30", "500", "0", "870"}}, {false, {"1000", "180", "500", "60", "870"}},
      {false, {"1000", "-180", "500", "60", "870"}}, {false, {"10OO", "30", "500", "60", "870"}},
      {false, {"1000", "30", "500", "60", "8７0x"}}, {false, {"1e9", "30", "500", "60", "1e9"}},
      {false, {"1000", "30", "1e12", "1e9", "870"}}, {false, {"1e300", "30", "500", "60", "870"}},
      {false, {"1000", "30", "500", "60", "1e300"}}, {true, {"1000", "30", "500", "60", "870", ""}},
      {true, {"", "30", "500", "60", "870", "700"}}, {true, {"1000", "30", "500", "60", "870", "7OO"}},
      {true, {"1000", "30", "500", "0", "870", "700"}}, {true, {"1000", "30", "500", "60", "870", "1e300"}},
      {true, {"1e300", "30", "500", "60", "870", "900"}}};
  for (const auto& [extraStake, in] : cases) {
    SCOPED_TRACE(in.jd + " " + in.alpha + " " + in.radius + " " + in.ls + " " + in.station + " " + in.extra);
    Desk d(in);
    extraStake ? d.form.AddExtraStake() : d.form.ComputeDeflections();
    ASSERT_EQ(d.host.messages.size(), 1u);
    EXPECT_EQ(d.host.messages[0].text, kDataError);
    EXPECT_EQ(d.host.messages[0].title, "输入数据出错");
    EXPECT_EQ(d.host.messages[0].icon, survey::MessageIcon::Question);
    EXPECT_EQ(d.form.Report(), HelpText());
    EXPECT_EQ(d.form.InsertionOffset(), HelpText().size());
  }
}

TEST(DeflectionForm, ExtraStakesGoToTheCursorAndNeverSplitARow) {
  Desk d;
  const std::string main = d.Run(), shown = d.form.ReportWithLf();
  ASSERT_EQ(shown.find('\r'), std::string::npos);
  // The cursor inside the ZH row, after "(zh)", in characters as the box counts them.
  std::size_t characters = 0;
  for (std::size_t i = 0; i < shown.find("(zh)") + 4; ++i) characters += (shown[i] & 0xC0) != 0x80;
  d.form.SetReportFromBox(shown, characters);
  for (const char* jz : {"840", "845"}) d.form.fields().extra = jz, d.form.AddExtraStake();
  const std::size_t rowEnd = main.find("\r\n", main.find("(zh)")) + 2;
  const std::string added = b15 + " 840(加桩)        0° 41′ 21″    359°18′39″\r\n" + b15 + " 845(加桩)";
  EXPECT_EQ(d.form.Report().substr(0, rowEnd + added.size()), main.substr(0, rowEnd) + added);
  EXPECT_EQ(d.form.Report().substr(d.form.InsertionOffset()), main.substr(rowEnd));
  EXPECT_EQ(d.Run(), main);
  // Text from the box keeps or gains CR LF; a cursor beyond the end is the end.
  d.form.SetReportFromBox("ab\n测量\r\ncd", 1000);
  EXPECT_EQ(d.form.Report(), "ab\r\n测量\r\ncd");
  EXPECT_EQ(d.form.InsertionOffset(), d.form.Report().size());
  EXPECT_EQ(d.form.InsertionCharacters(), 8u);
  d.form.SetReportFromBox("ab\n测量\ncd", 4);  // after "测"
  EXPECT_EQ(d.form.InsertionOffset(), 7u);
  EXPECT_TRUE(d.host.messages.empty());
}

TEST(DeflectionForm, PrintSendsThreeBlanksAndTheReportAndTellsFailures) {
  const std::pair<survey::Outcome, const char*> cases[] = {{survey::Outcome::Done(), nullptr},
      {survey::Outcome::Cancelled(), nullptr}, {survey::Outcome::Failed("打印机无法开始打印", 1), "打印机无法开始打印 1"}};
  for (const auto& [answer, message] : cases) {
    Desk d;
    const std::string report = d.Run();
    d.printer.answer = answer;
    d.form.PrintReport();
    ASSERT_EQ(d.printer.printed.size(), 1u);
    EXPECT_EQ(d.printer.printed[0].second, "   " + report);
    EXPECT_EQ(d.form.Report(), report);
    ASSERT_EQ(d.host.messages.size(), message ? 1u : 0u);
    if (message) { EXPECT_EQ(d.host.messages[0].text + d.host.messages[0].title, message + std::string("Dovetree")); }
  }
}

// A command line and the answer of the PDF printer (none: no printer) -> status, the number of
// prints, a text stdout contains (empty on status 2), what stderr starts with.
TEST(Batch, CommandLines) {
  auto worked = [](std::vector<std::string> more) {
    more.insert(more.begin(), {"--jd", "1000", "--alpha", "30.0000", "--radius", "500", "--ls", "60"});
    return more;
  };
  const std::string usage = "usage: dovetree --jd JD --alpha ALPHA --radius R --ls LS --station M [--extra JZ]...";
  const std::optional<survey::Outcome> none, done = survey::Outcome::Done();
  struct Case {
    std::vector<std::string> args;
    std::optional<survey::Outcome> pdf;
    int status;
    std::size_t prints;
    std::string out, err;
  } const cases[] = {
      {worked({"--station", "870", "--extra", "700", "--extra=800"}), none, 0, 0,
       survey::CrLfToLf(Desk().Run({"700", "800"})), ""},
      {{"--jd=1000", "--alpha=-30", "--radius=500", "--ls=60", "--station=870"}, none, 0, 0, "偏角角度α＝-30°0′0″", ""},
      {worked({}), none, 2, 0, "", "你输入所有数据了吗？\n请重新输入。\n"},
      {worked({"--station", "870", "--extra", ""}), none, 2, 0, "", "你输入所有数据了吗？\n请重新输入。\n"},
      {worked({"--station", "870", "--pdf", "r.pdf"}), none, 2, 0, "", "dovetree: --pdf: printing is not available here\n"},
      {worked({"--station", "870", "--extra", "880", "--pdf", "r.pdf"}), done, 0, 1, "880(加桩)", ""},
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
    EXPECT_EQ(RunBatch(c.args, out, err, {c.pdf ? &pdf : nullptr}), c.status) << err.str();
    EXPECT_NE(out.str().find(c.out), std::string::npos) << out.str();
    EXPECT_EQ(err.str().substr(0, c.err.size()), c.err);
    EXPECT_TRUE(c.status == 0 || out.str().empty());
    // What the print command prints, into the file named.
    ASSERT_EQ(pdf.printed.size(), c.prints);
    for (const auto& [path, text] : pdf.printed) EXPECT_EQ(path + text, "r.pdf   " + Desk().Run({"880"}));
  }
}

}  // namespace
}  // namespace dovetree
