#include "brannock/curve_deflection_form.h"

#include <gtest/gtest.h>

#include <map>

#include "brannock/deflection_batch.h"
#include "common/batch_cli.h"
#include "common/testing/batch_capture.h"
#include "coordinates/testing/memory_stores.h"

namespace brannock {
namespace {

// Golden lines: a snapshot of the report (p and q in 15 digits); p, q and L agree with the
// hand-worked example of curve/tests/curve_elements_test.cpp.
const std::string kParameters = "               P=0.3     Q=29.9964     L=321.7994\r\n";
const std::string kExtra850 = std::string(15, ' ') + " 850(加桩)        0° 3′ 46″     359°56′14″\r\n";

// Prints nothing and writes no PDF; remembers what (and where) and answers `answer`.
struct FakePrinter : survey::TextPrinter, survey::PdfTextWriter {
  survey::Outcome Print(const std::string& text) override { return Write("", text); }
  survey::Outcome Write(const std::string& path, const std::string& text) override {
    printed.push_back(path + text);
    return answer;
  }
  std::vector<std::string> printed;
  survey::Outcome answer;
};

struct FormTest : ::testing::Test {
  survey::RecordingHost host;
  coordinates::testing::MemoryTextFiles files;
  FakePrinter printer;
  CurveDeflectionForm form{host, files, printer};
  CurveDeflectionFields& fields = form.fields();

  void SetUp() override { fields = {"1000", "30.0000", "500", "60", "", "26-12-6"}; }
};

// The help names the transition curve by its term; the program's name would read as a
// different thing to a surveyor.
TEST(HelpText, NamesTheTransitionCurveByItsTerm) {
  EXPECT_NE(HelpText().find("如果没有缓和曲线，则LS中为0"), std::string::npos);
  EXPECT_EQ(HelpText().find("Dovetree"), std::string::npos);
}

TEST(DateField, TwoDigitYearSoTheReportPrintsTheRightCentury) {
  EXPECT_EQ(DateFieldText(2026, 12, 6) + " " + DateFieldText(2005, 1, 9), "26-12-6 05-1-9");
}

TEST_F(FormTest, RefusalsShowTheDataErrorAndChangeNothing) {
  ASSERT_TRUE(form.ComputeReport().ok());
  const std::string before = form.report();
  struct Case { const char *jd, *alpha, *radius, *ls, *extraStation; bool computes, addsStake; };
  for (const Case& c : {Case{"", "30", "500", "60", "850", false, false}, {"1000", "", "500", "60", "850", false, false},
                        {"1000", "30", "", "60", "850", false, false}, {"1000", "30", "500", "", "850", false, false},
                        {"1000", "30", "0", "60", "850", false, false}, {"1000", "180", "500", "60", "850", false, false},
                        {"1000", "-180.0000", "500", "0", "850", false, false},
                        {"abc", "30", "500", "0", "850", false, false}, {"1000", "30", "1e9", "0", "850", false, true},
                        {"1000", "30", "500", "60", "", true, false}, {"1000", "30", "500", "60", "85O", true, false}}) {
    SCOPED_TRACE(std::string(c.jd) + " " + c.alpha + " " + c.radius + " " + c.ls + " " + c.extraStation);
    fields = {c.jd, c.alpha, c.radius, c.ls, c.extraStation, "26-12-6"};
    host.messages.clear();
    EXPECT_EQ(form.ComputeReport().ok(), c.computes);
    if (!c.addsStake) {
      EXPECT_EQ(form.AddExtraStake(), survey::Outcome::Status::Refused);
      EXPECT_FALSE(form.lastInserted());
    }
    ASSERT_EQ(host.messages.size(), std::size_t{!c.computes} + std::size_t{!c.addsStake});
    EXPECT_EQ(host.messages[0].text, "你输入所有数据了吗？\r\n请重新输入。");
    EXPECT_EQ(form.report(), before);
  }
}

// Transitions that turn through more than the deflection leave no curve: both handlers refuse
// with the condition named, as a data error; meeting exactly (L = 2 Ls, no arc) is a curve.
TEST_F(FormTest, OverlappingTransitionsAreRefused) {
  ASSERT_TRUE(form.ComputeReport().ok());
  const std::string before = form.report();
  fields = {"199.25", "22.30", "152.45", "60", "200", "26-12-6"};
  EXPECT_EQ(form.ComputeReport(), survey::Outcome::Status::Refused);
  EXPECT_EQ(form.AddExtraStake(), survey::Outcome::Status::Refused);
  ASSERT_EQ(host.messages.size(), 2u);
  for (const survey::Message& m : host.messages) {
    EXPECT_EQ(m.text, "缓和曲线过长：2β0 大于偏角 α");
    EXPECT_EQ(m.title, "输入数据出错");
    EXPECT_TRUE(m.refusal);
  }
  EXPECT_EQ(form.report(), before);
  fields = {"1000", "30", "114.59155902616466", "60", "", "26-12-6"};
  ASSERT_TRUE(form.ComputeReport().ok());
  EXPECT_NE(form.report().find("L=120\r\n"), std::string::npos);
  EXPECT_NE(form.report().find("HY=999.0131\r\n" + std::string(15, ' ') + "YH=999.0131"), std::string::npos);
}

TEST_F(FormTest, ExtraStakeAfterEditsOrAResetStandsOnALineOfItsOwn) {
  fields.extraStation = "850";
  struct Case { const char* box; std::size_t cursor; std::string expected; };
  for (const Case& c : {Case{"测量备注\n第二行", 2, "测量备注\r\n" + kExtra850 + "第二行"},
                        Case{"测量备注\n第二行", 8, "测量备注\r\n第二行\r\n" + kExtra850}}) {
    form.SetReportFromBox(c.box, c.cursor);
    ASSERT_TRUE(form.AddExtraStake().ok());
    EXPECT_EQ(form.report(), c.expected);
    // What the window puts into its box: the line, where it went.
    ASSERT_TRUE(form.lastInserted());
    EXPECT_EQ(form.report().substr(form.lastInserted()->at, form.lastInserted()->text.size()), form.lastInserted()->text);
    EXPECT_NE(form.lastInserted()->text.find(kExtra850), std::string::npos);
  }
  // The help text's last line has no line end either.
  form.ResetReport();
  ASSERT_TRUE(form.AddExtraStake().ok());
  EXPECT_EQ(form.report(), HelpText() + "\r\n" + kExtra850);
  EXPECT_EQ(form.lastInserted()->at, HelpText().size());
  EXPECT_EQ(form.lastInserted()->text, "\r\n" + kExtra850);
}

TEST_F(FormTest, SaveAndPrintCancelledSayNothingAndFailuresSayWhy) {
  ASSERT_TRUE(form.ComputeReport().ok());
  EXPECT_EQ(form.SaveReport(), survey::Outcome::Status::Cancelled);
  printer.answer = survey::Outcome::Cancelled();
  EXPECT_EQ(form.PrintReport(), survey::Outcome::Status::Cancelled);
  EXPECT_TRUE(host.messages.empty());
  host.savePath = "/readonly/disk.txt";
  EXPECT_EQ(form.SaveReport(), survey::Outcome::Status::Refused);
  printer.answer = survey::Outcome::Failed("打印机无法开始打印", 1);
  EXPECT_EQ(form.PrintReport(), survey::Outcome::Status::Refused);
  EXPECT_EQ(form.title(), "Brannock");
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[0].icon, survey::MessageIcon::Critical);
  EXPECT_EQ(host.messages[1].text + "|" + host.messages[1].title, "打印机无法开始打印 1|Brannock");
  ASSERT_EQ(host.saveRequests.size(), 2u);
  const survey::FileRequest& asked = host.saveRequests[0];
  ASSERT_EQ(asked.filters.size(), 2u);
  EXPECT_EQ(asked.initialName + "|" + asked.defaultSuffix + "|" + asked.filters[0].description + "|" +
                asked.filters[0].pattern + "|" + asked.filters[1].description + "|" + asked.filters[1].pattern,
            "Brannock||text files(*.txt)|*.txt|all files(*.*)|*");
}

struct BatchTest : ::testing::Test {
  coordinates::testing::MemoryTextFiles files;
  FakePrinter pdf;
  survey::BatchServices services{&files, &pdf, "26-12-6"};
  survey::testing::BatchRun Run(const std::vector<std::string>& args) {
    return survey::testing::CaptureBatch(
        [&](const auto& a, std::ostream& out, std::ostream& err) { return RunBatch(a, out, err, services); }, args);
  }
};

TEST_F(BatchTest, RunsTheWindowsHandlers) {
  const auto run = Run({"--jd", "1000", "--alpha", "30.0000", "--radius", "500", "--ls", "60", "--extra", "850",
                        "--extra=-5", "--save", "/out/r.txt", "--pdf", "/out/r.pdf"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_NE(run.out.find(survey::CrLfToLf(kParameters)), std::string::npos);
  EXPECT_TRUE(run.out.ends_with("打印日期：2026-12-6\n" + survey::CrLfToLf(kExtra850) +
                                "               -5(加桩)          225° 6′ 25″   134°53′35″\n"));
  // Saved and printed with CR LF line ends, as the window saves and prints.
  EXPECT_EQ(files.files, (std::map<std::string, std::string>{{"/out/r.txt", "\"" + survey::LfToCrLf(run.out) + "\"\r\n"}}));
  EXPECT_EQ(pdf.printed, std::vector<std::string>{"/out/r.pdf   " + survey::LfToCrLf(run.out)});
}

TEST_F(BatchTest, RefusalsGoToStderrWithStatusTwo) {
  const std::string usage = Run({"--help"}).out;
  EXPECT_TRUE(usage.starts_with("用法 Usage: brannock --jd JD --alpha ALPHA --radius R [--ls LS]")) << usage;
  pdf.answer = survey::Outcome::Failed("No such file or directory");
  struct Case { std::vector<std::string> args; std::string err; };
  for (const Case& c : std::vector<Case>{
           {{"--jd", "1000", "--alpha", "30", "--radius", "0", "--save", "/s"}, "你输入所有数据了吗？\n请重新输入。\n"},
           {{"--jd", "1000", "--alpha", "30", "--radius", "500", "--extra", "x", "--pdf", "/p"},
            "你输入所有数据了吗？\n请重新输入。\n"},
           {{"--jd", "1000", "--alpha", "30", "--radius", "500", "--save", "/readonly/r", "--pdf", "/p"},
            "报告没有保存：/readonly/r\nPermission denied\n"},
           {{"--jd", "1000", "--alpha", "30", "--radius", "500", "--pdf", "/no/r.pdf"},
            "无法写入PDF文件：/no/r.pdf\nNo such file or directory 1\n"},
           {{"--jd", "1000", "--unknown", "1"}, "unknown option: --unknown\n" + usage}}) {
    SCOPED_TRACE(c.args.back());
    const auto run = Run(c.args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, c.err);
  }
  EXPECT_TRUE(files.files.empty());
  EXPECT_EQ(pdf.printed.size(), 1u);
}

}  // namespace
}  // namespace brannock
