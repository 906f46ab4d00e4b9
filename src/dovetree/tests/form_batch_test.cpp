#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "dovetree/batch.h"
#include "dovetree/form.h"
#include "dovetree/report.h"

namespace dovetree {
namespace {

void FillWorkedExample(HhForm& f) {
  f.Text1 = "1000";
  f.Text2 = "30.0000";
  f.Text3 = "500";
  f.Text4 = "60";
  f.Text5 = "870";
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(HhForm, StartsWithTheHelpText) {
  HhForm f;
  EXPECT_EQ(f.Report(), HelpText());
  EXPECT_EQ(f.InsertionOffset(), f.Report().size());
}

TEST(HhForm, Command1IgnoresAnEmptyText6) {
  HhForm f;
  FillWorkedExample(f);
  survey::RecordingHost host;
  f.Command1_Click(host);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_NE(f.Report().find("(置镜)"), std::string::npos);
  EXPECT_EQ(f.InsertionOffset(), f.Report().size());
}

TEST(HhForm, EmptyOrBadFieldsAreRefusedAndChangeNothing) {
  struct Case {
    int field;
    const char* text;
  };
  for (const Case c : {Case{1, ""}, Case{2, ""}, Case{3, ""}, Case{4, ""}, Case{5, ""}, Case{1, "abc"},
                       Case{2, "30度"}, Case{3, "0"}, Case{4, "0"}, Case{2, "180"}, Case{5, "8７0x"}}) {
    HhForm f;
    FillWorkedExample(f);
    std::string* fields[] = {&f.Text1, &f.Text2, &f.Text3, &f.Text4, &f.Text5};
    *fields[c.field - 1] = c.text;
    survey::RecordingHost host;
    f.Command1_Click(host);
    ASSERT_EQ(host.messages.size(), 1u) << c.field << " " << c.text;
    EXPECT_EQ(host.messages[0].text, "你输入所有数据了吗？\r\n请重新输入。");
    EXPECT_EQ(host.messages[0].title, "输入数据出错");
    EXPECT_EQ(host.messages[0].icon, survey::MessageIcon::Question);
    EXPECT_EQ(f.Report(), HelpText());
  }
}

TEST(HhForm, Command2NeedsText6AndEveryOtherField) {
  HhForm f;
  FillWorkedExample(f);
  survey::RecordingHost host;
  f.Command1_Click(host);
  const std::string report = f.Report();
  f.Command2_Click(host);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].title, "输入数据出错");
  f.Text6 = "700";
  f.Text4 = "0";  // Ls = 0: δ would divide by zero
  f.Command2_Click(host);
  EXPECT_EQ(host.messages.size(), 2u);
  f.Text4 = "60";
  f.Text6 = "7OO";
  f.Command2_Click(host);
  EXPECT_EQ(host.messages.size(), 3u);
  EXPECT_EQ(f.Report(), report);
}

TEST(HhForm, ExtraStakesAppendAndMainCalculationRebuilds) {
  HhForm f;
  FillWorkedExample(f);
  survey::RecordingHost host;
  f.Command1_Click(host);
  const std::string main = f.Report();
  f.Text6 = "700";
  f.Command2_Click(host);
  f.Text6 = "800";
  f.Command2_Click(host);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(f.Report().substr(0, main.size()), main);
  const std::string extras = f.Report().substr(main.size());
  EXPECT_EQ(Count(extras, "(加桩)"), 2u);
  EXPECT_LT(extras.find(" 700(加桩)"), extras.find(" 800(加桩)"));
  f.Command1_Click(host);
  EXPECT_EQ(f.Report(), main);
}

TEST(HhForm, ExtraStakeGoesWhereTheUserPutTheCursor) {
  HhForm f;
  FillWorkedExample(f);
  survey::RecordingHost host;
  f.Command1_Click(host);
  // The box shows LF line ends; put the cursor at the start of the first row line (line 15).
  const std::string shown = f.ReportWithLf();
  EXPECT_EQ(shown.find('\r'), std::string::npos);
  std::size_t at = 0;
  for (int line = 0; line < 14; ++line) at = shown.find('\n', at) + 1;
  std::size_t characters = 0;
  for (std::size_t i = 0; i < at; ++i)
    if ((static_cast<unsigned char>(shown[i]) & 0xC0) != 0x80) ++characters;
  f.SetReportFromBox(shown, characters);
  EXPECT_EQ(f.InsertionCharacters(), characters);
  f.Text6 = "800";
  f.Command2_Click(host);
  const std::string report = f.Report();
  const std::size_t extra = report.find(" 800(加桩)");
  const std::size_t zh = report.find("(zh)");
  ASSERT_NE(extra, std::string::npos);
  EXPECT_LT(extra, zh);
  EXPECT_EQ(report.substr(report.rfind("\r\n", extra) - 10, 12), "反偏角=\r\n");
  // The cursor moves past the inserted line: a second one follows the first.
  f.Text6 = "810";
  f.Command2_Click(host);
  EXPECT_LT(f.Report().find(" 800(加桩)"), f.Report().find(" 810(加桩)"));
  EXPECT_LT(f.Report().find(" 810(加桩)"), f.Report().find("(zh)"));
}

TEST(HhForm, ACursorInsideARowNeverSplitsIt) {
  HhForm f;
  FillWorkedExample(f);
  survey::RecordingHost host;
  f.Command1_Click(host);
  const std::string main = f.Report();
  // The cursor inside the ZH row, after "(zh)": the line goes under that row, whole.
  const std::string shown = f.ReportWithLf();
  const std::size_t zh = shown.find("(zh)");
  std::size_t characters = 0;
  for (std::size_t i = 0; i < zh + 4; ++i)
    if ((static_cast<unsigned char>(shown[i]) & 0xC0) != 0x80 && shown[i] != '\r') ++characters;
  f.SetReportFromBox(shown, characters);
  f.Text6 = "840";
  f.Command2_Click(host);
  const std::size_t rowEnd = main.find("\r\n", main.find("(zh)")) + 2;
  EXPECT_EQ(f.Report().substr(0, rowEnd), main.substr(0, rowEnd));
  EXPECT_EQ(f.Report().substr(rowEnd, 19), std::string(15, ' ') + " 840");
  EXPECT_EQ(f.InsertionOffset(), f.Report().find("\r\n", rowEnd) + 2);
  EXPECT_EQ(f.Report().substr(f.InsertionOffset()), main.substr(rowEnd));
  // The help text ends without a line end: an extra stake there starts a line of its own.
  HhForm fresh;
  FillWorkedExample(fresh);
  fresh.Text6 = "840";
  fresh.Command2_Click(host);
  EXPECT_EQ(fresh.Report().substr(0, HelpText().size() + 2), HelpText() + "\r\n");
  EXPECT_TRUE(host.messages.empty());
}

TEST(HhForm, TextFromTheBoxKeepsCrLfAndClampsTheCursor) {
  HhForm f;
  f.SetReportFromBox("ab\n测量\r\ncd", 1000);
  EXPECT_EQ(f.Report(), "ab\r\n测量\r\ncd");
  EXPECT_EQ(f.InsertionOffset(), f.Report().size());
  EXPECT_EQ(f.InsertionCharacters(), 8u);
  f.SetReportFromBox("ab\n测量\ncd", 4);  // after "测"
  EXPECT_EQ(f.InsertionOffset(), 2u + 2u + 3u);
}

TEST(HhForm, PrintSendsThreeBlanksAndTheReportAndReportsFailures) {
  HhForm f;
  FillWorkedExample(f);
  survey::RecordingHost host;
  f.Command1_Click(host);
  const std::string before = f.Report();
  std::string printed;
  f.printText = [&](const std::string& text) {
    printed = text;
    return PrintResult{true, false, "", 0};
  };
  f.Command3_Click(host);
  EXPECT_EQ(printed, "   " + before);
  EXPECT_EQ(f.Report(), before);
  EXPECT_TRUE(host.messages.empty());

  f.printText = [](const std::string&) { return PrintResult{false, true, "", 0}; };
  f.Command3_Click(host);
  EXPECT_TRUE(host.messages.empty()) << "a cancelled dialog is not a failure";

  f.printText = [](const std::string&) { return PrintResult{false, false, "打印机无法开始打印", 1}; };
  f.Command3_Click(host);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "打印机无法开始打印 1");
  EXPECT_EQ(host.messages[0].title, "Dovetree");
  EXPECT_EQ(f.Report(), before);
}

int Batch(const std::vector<std::string>& args, std::string& out, std::string& err) {
  std::ostringstream o, e;
  const int status = RunDovetreeBatch(args, o, e);
  out = o.str();
  err = e.str();
  return status;
}

TEST(Batch, WorkedExampleWithExtraStakes) {
  std::string out, err;
  const int status = Batch({"--jd", "1000", "--alpha", "30.0000", "--radius", "500", "--ls", "60", "--station",
                            "870", "--extra", "700", "--extra=800"},
                           out, err);
  EXPECT_EQ(status, 0) << err;
  EXPECT_TRUE(err.empty());
  EXPECT_EQ(out.find('\r'), std::string::npos);
  HhForm f;
  FillWorkedExample(f);
  survey::RecordingHost host;
  f.Command1_Click(host);
  f.Text6 = "700";
  f.Command2_Click(host);
  f.Text6 = "800";
  f.Command2_Click(host);
  EXPECT_EQ(out, f.ReportWithLf());
  EXPECT_NE(out.find("-3°-40′-18″    363°40′18″\n"), std::string::npos);
}

TEST(Batch, PdfPrintsWhatThePrintCommandPrintsAndRefusesWhatCannotBeWritten) {
  struct Case {
    bool printerThere;
    bool printerSucceeds;
    int status;
  };
  for (const Case c : {Case{true, true, 0}, Case{true, false, 2}, Case{false, false, 2}}) {
    std::vector<std::pair<std::string, std::string>> printed;
    const PdfPrinter printer = [&](const std::string& path, const std::string& text) {
      printed.emplace_back(path, text);
      return PrintResult{c.printerSucceeds, false, c.printerSucceeds ? "" : "无法写入PDF文件：" + path, 1};
    };
    std::ostringstream out, err;
    const int status = RunDovetreeBatch({"--jd", "1000", "--alpha", "30.0000", "--radius", "500", "--ls", "60",
                                         "--station", "870", "--extra", "880", "--pdf", "r.pdf"},
                                        out, err, c.printerThere ? printer : PdfPrinter{});
    EXPECT_EQ(status, c.status) << err.str();
    if (!c.printerThere) {
      EXPECT_TRUE(out.str().empty());
      continue;
    }
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_EQ(printed[0].first, "r.pdf");
    // One copy of the whole report, extra stake included, after the three blanks.
    HhForm f;
    FillWorkedExample(f);
    survey::RecordingHost host;
    f.Command1_Click(host);
    f.Text6 = "880";
    f.Command2_Click(host);
    EXPECT_EQ(printed[0].second, "   " + f.Report());
    if (!c.printerSucceeds) {
      EXPECT_NE(err.str().find("r.pdf"), std::string::npos);
    }
  }
  // A refused calculation prints nothing.
  int calls = 0;
  std::ostringstream out, err;
  EXPECT_EQ(RunDovetreeBatch({"--jd", "1000", "--alpha", "30", "--radius", "0", "--ls", "60", "--station", "870",
                              "--pdf", "r.pdf"},
                             out, err,
                             [&](const std::string&, const std::string&) {
                               ++calls;
                               return PrintResult{true, false, "", 0};
                             }),
            2);
  EXPECT_EQ(calls, 0);
}

TEST(Batch, NegativeValuesWithEquals) {
  std::string out, err;
  EXPECT_EQ(Batch({"--jd=1000", "--alpha=-30", "--radius=500", "--ls=60", "--station=870"}, out, err), 0) << err;
  EXPECT_NE(out.find("偏角角度α＝-30°0′0″"), std::string::npos);
}

TEST(Batch, RefusalsGoToStderrWithStatus2) {
  std::string out, err;
  EXPECT_EQ(Batch({"--jd", "1000", "--alpha", "30", "--radius", "500", "--ls", "60"}, out, err), 2);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(err, "你输入所有数据了吗？\n请重新输入。\n");
  EXPECT_EQ(Batch({"--jd", "1000", "--alpha", "30", "--radius", "0", "--ls", "60", "--station", "870"}, out, err), 2);
  EXPECT_EQ(Batch({"--jd", "1000", "--alpha", "30", "--radius", "500", "--ls", "60", "--station", "870", "--extra",
                   ""},
                  out, err),
            2);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(Batch({"--jd", "1000", "--bogus", "1"}, out, err), 2);
  EXPECT_NE(err.find("unknown option: --bogus"), std::string::npos);
  EXPECT_EQ(Batch({"--jd"}, out, err), 2);
  EXPECT_EQ(Batch({"--help"}, out, err), 0);
  EXPECT_NE(out.find("usage: dovetree"), std::string::npos);
}

}  // namespace
}  // namespace dovetree
