#include "brannock/form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>

#include "common/batch_cli.h"
#include "common/project_info.h"

namespace brannock {
namespace {

struct Fixture : ::testing::Test {
  Form form;
  survey::RecordingHost host;
  std::map<std::string, std::string> files;

  void SetUp() override {
    form.Text1 = "1000";
    form.Text2 = "30.0000";
    form.Text3 = "500";
    form.Text4 = "60";
    form.Text7 = "26-12-6";
    form.writeTextFile = [this](const std::string& path, const std::string& utf8) {
      files[path] = utf8;
      return Outcome{true, false, "", 0};
    };
  }
};

TEST(HelpText, ThreeLinesWithTheContactAddress) {
  const std::string h = HelpText();
  EXPECT_TRUE(h.starts_with("调用WORD打印时应选择否才可以打印，否则会退出。    使用声明：本窗口为阅览窗口。"
                            "如果你想打印的话，可以按“打印”。\r\n"));
  EXPECT_NE(h.find("\r\n    在原始数据输入时，偏交输入方法为：88．2222（如果要输入：88度22分22秒）。"
                   "如果没有Dovetree，则LS中为0。\r\n    "),
            std::string::npos);
  EXPECT_TRUE(h.ends_with(survey::kContactAddress));
  EXPECT_FALSE(h.ends_with("\r\n"));
}

TEST(Toolbar, KeysMapToTheirCommands) {
  EXPECT_EQ(ActionForKey("qk"), ToolbarAction::Reset);
  EXPECT_EQ(ActionForKey("js"), ToolbarAction::Compute);
  EXPECT_EQ(ActionForKey("cr"), ToolbarAction::ExtraStake);
  EXPECT_EQ(ActionForKey("bc"), ToolbarAction::Save);
  EXPECT_EQ(ActionForKey("sz"), ToolbarAction::Font);
  EXPECT_EQ(ActionForKey("dy"), ToolbarAction::Print);
  EXPECT_EQ(ActionForKey("bz"), ToolbarAction::Help);
  EXPECT_EQ(ActionForKey("zy"), ToolbarAction::HomePage);
  EXPECT_EQ(ActionForKey("tc"), ToolbarAction::Exit);
  EXPECT_EQ(ActionForKey("QK"), ToolbarAction::None);
  EXPECT_EQ(ActionForKey(""), ToolbarAction::None);
}

TEST(DateField, TwoDigitYearSoTheReportPrintsTheRightCentury) {
  EXPECT_EQ(DateFieldText(2026, 12, 6), "26-12-6");
  EXPECT_EQ(DateFieldText(2005, 1, 9), "05-1-9");
}

TEST_F(Fixture, MainComputationWritesTheReport) {
  EXPECT_TRUE(form.Command1_Click(host));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(form.report.find("               P=0.3     Q=29.9964     L=321.7994\r\n") != std::string::npos);
  EXPECT_TRUE(form.report.ends_with("打印日期：2026-12-6\r\n"));
}

TEST_F(Fixture, EmptyFieldsAreRefusedAndChangeNothing) {
  for (std::string* field : {&form.Text1, &form.Text2, &form.Text3, &form.Text4}) {
    const std::string kept = *field;
    field->clear();
    survey::RecordingHost h;
    EXPECT_FALSE(form.Command1_Click(h));
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.messages[0].text, "你输入所有数据了吗？\r\n请重新输入。");
    EXPECT_EQ(h.messages[0].title, "输入数据出错");
    EXPECT_EQ(h.messages[0].icon, survey::MessageIcon::Question);
    EXPECT_EQ(form.report, HelpText());
    *field = kept;
  }
}

TEST_F(Fixture, UnusableNumbersAreRefusedLikeEmptyFields) {
  ASSERT_TRUE(form.Command1_Click(host));
  const std::string before = form.report;
  for (auto [jd, alpha, r] : {std::tuple{"1000", "30", "0"}, std::tuple{"1000", "180", "500"},
                              std::tuple{"1000", "-180.0000", "500"}, std::tuple{"abc", "30", "500"},
                              std::tuple{"1000", "30", "1e9"}}) {
    survey::RecordingHost h;
    form.Text1 = jd;
    form.Text2 = alpha;
    form.Text3 = r;
    EXPECT_FALSE(form.Command1_Click(h)) << jd << " " << alpha << " " << r;
    EXPECT_TRUE(h.Refused());
    EXPECT_EQ(form.report, before);
  }
}

TEST_F(Fixture, ExtraStakesAppendAndTheMainCommandRebuilds) {
  ASSERT_TRUE(form.Command1_Click(host));
  const std::string main = form.report;
  form.Text5 = "850";
  const auto line = form.Command2_Click(host);
  ASSERT_TRUE(line);
  EXPECT_EQ(line->text, std::string(15, ' ') + " 850(加桩)       " + " 0° 3′ 46″     359°56′14″\r\n");
  EXPECT_EQ(line->at, main.size());
  EXPECT_EQ(form.insertionPoint, form.report.size());
  form.Text5 = "1000";
  ASSERT_TRUE(form.Command2_Click(host));
  EXPECT_EQ(form.report.substr(0, main.size()), main);
  EXPECT_EQ(std::count(form.report.begin() + static_cast<long>(main.size()), form.report.end(), '\n'), 2);
  ASSERT_TRUE(form.Command1_Click(host));
  EXPECT_EQ(form.report, main);
}

// The box's view of the report: LF line ends, positions in UTF-16 units.
std::u16string BoxText(const std::string& report) {
  std::u16string text;
  for (std::size_t i = 0; i < report.size();) {
    const auto c = static_cast<unsigned char>(report[i]);
    if (c == '\r') {
      ++i;
    } else if (c < 0x80) {
      text += char16_t(c);
      ++i;
    } else {  // the report's characters are all in the basic plane, three bytes at most
      const std::size_t n = c >= 0xE0 ? 3 : 2;
      char32_t cp = c & (n == 3 ? 0x0F : 0x1F);
      for (std::size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(report[i + k]) & 0x3F);
      text += char16_t(cp);
      i += n;
    }
  }
  return text;
}

TEST_F(Fixture, ExtraStakeClickedIntoARowGoesAfterItAndTheNextFollows) {
  ASSERT_TRUE(form.Command1_Click(host));
  const std::string main = form.report;
  // The surveyor clicks into the middle of the 840 row, between its station and its angles.
  const std::u16string box = BoxText(main);
  const std::size_t row = box.find(u" 840 ");
  ASSERT_NE(row, std::u16string::npos);
  form.SetReportFromBox(survey::CrLfToLf(main), row + 8);
  EXPECT_EQ(form.report, main);
  form.Text5 = "850";
  const auto first = form.Command2_Click(host);
  ASSERT_TRUE(first);
  const std::size_t after840 = main.find("\r\n", main.find(" 840 ")) + 2;
  EXPECT_EQ(first->at, after840);
  EXPECT_EQ(form.report.substr(after840, first->text.size()), first->text);
  EXPECT_EQ(form.insertionPoint, first->End());
  // A second extra stake straight after goes under the first, before the row that followed.
  form.Text5 = "855";
  ASSERT_TRUE(form.Command2_Click(host));
  const std::string& r = form.report;
  EXPECT_LT(r.find(" 840 "), r.find(" 850(加桩)"));
  EXPECT_EQ(r.find(" 850(加桩)") + first->text.size(), r.find(" 855(加桩)"));
  EXPECT_EQ(r.substr(0, after840), main.substr(0, after840));
  EXPECT_EQ(r.substr(form.insertionPoint), main.substr(after840));
  EXPECT_EQ(form.InsertionBoxPosition(), BoxText(r.substr(0, form.insertionPoint)).size());
  EXPECT_EQ(std::count(r.begin(), r.end(), '\n'), std::count(main.begin(), main.end(), '\n') + 2);
}

TEST_F(Fixture, ExtraStakeAfterEditsStandsOnItsOwnLine) {
  // The user replaced the report with two lines of their own and left the cursor inside the first.
  form.SetReportFromBox("测量备注\n第二行", 2);
  EXPECT_EQ(form.report, "测量备注\r\n第二行");
  EXPECT_EQ(form.insertionPoint, 6u);
  form.Text5 = "850";
  const auto line = form.Command2_Click(host);
  ASSERT_TRUE(line);
  EXPECT_EQ(form.report, "测量备注\r\n" + line->text + "第二行");
  // At the end of a last line without line end, the line gets one first.
  form.SetReportFromBox("测量备注\n第二行", 8);
  ASSERT_TRUE(form.Command2_Click(host));
  EXPECT_EQ(form.report, "测量备注\r\n第二行\r\n" + line->text);
  EXPECT_EQ(form.insertionPoint, form.report.size());
  // After a reset the help text's last line has no line end: the line still starts a new one.
  form.Command5_Click();
  ASSERT_TRUE(form.Command2_Click(host));
  EXPECT_EQ(form.report.substr(0, HelpText().size() + 17), HelpText() + "\r\n" + std::string(15, ' '));
}

TEST_F(Fixture, ExtraStakeRefusals) {
  form.Text5 = "";
  EXPECT_FALSE(form.Command2_Click(host));
  form.Text5 = "85O";
  EXPECT_FALSE(form.Command2_Click(host));
  form.Text5 = "850";
  form.Text3 = "0";
  EXPECT_FALSE(form.Command2_Click(host));
  EXPECT_EQ(host.messages.size(), 3u);
  EXPECT_EQ(form.report, HelpText());
}

TEST_F(Fixture, ResetRestoresTheHelpTextAndKeepsTheFields) {
  form.Text5 = "850";
  ASSERT_TRUE(form.Command1_Click(host));
  form.Command5_Click();
  EXPECT_EQ(form.report, HelpText());
  EXPECT_EQ(form.Text1, "1000");
  EXPECT_EQ(form.Text4, "60");
  EXPECT_EQ(form.Text5, "850");
}

TEST_F(Fixture, SaveWritesTheQuotedRecordAndRetitles) {
  ASSERT_TRUE(form.Command1_Click(host));
  host.savePath = "/tmp/out/Brannock";
  EXPECT_TRUE(form.Command7_Click(host));
  ASSERT_EQ(host.saveRequests.size(), 1u);
  EXPECT_EQ(host.saveRequests[0].initialName, "Brannock");
  EXPECT_EQ(host.saveRequests[0].defaultSuffix, "");
  ASSERT_EQ(host.saveRequests[0].filters.size(), 2u);
  EXPECT_EQ(host.saveRequests[0].filters[0].description, "text files(*.txt)");
  EXPECT_EQ(files["/tmp/out/Brannock"], "\"" + form.report + "\"\r\n");
  EXPECT_EQ(form.title, "/tmp/out/Brannock");
}

TEST_F(Fixture, CancelledSaveIsSilent) {
  host.savePath.reset();
  EXPECT_FALSE(form.Command7_Click(host));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(files.empty());
  EXPECT_EQ(form.title, "Brannock");
}

TEST_F(Fixture, FailedSaveSaysSoAndKeepsTheTitle) {
  form.writeTextFile = [](const std::string&, const std::string&) {
    return Outcome{false, false, "磁盘已满", 28};
  };
  host.savePath = "/full/disk.txt";
  EXPECT_FALSE(form.Command7_Click(host));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find("/full/disk.txt"), std::string::npos);
  EXPECT_NE(host.messages[0].text.find("磁盘已满"), std::string::npos);
  EXPECT_TRUE(host.messages[0].refusal);
  EXPECT_EQ(form.title, "Brannock");
}

TEST_F(Fixture, PrintSendsThreeBlanksAndTheReportAndReportsFailures) {
  std::string printed;
  form.printText = [&](const std::string& text) {
    printed = text;
    return Outcome{false, false, "打印机无法开始打印", 1};
  };
  ASSERT_TRUE(form.Command1_Click(host));
  const std::string before = form.report;
  form.Command4_Click(host);
  EXPECT_EQ(printed, "   " + before);
  EXPECT_EQ(form.report, before);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "打印机无法开始打印 1");
  EXPECT_EQ(host.messages[0].title, "Brannock");

  form.printText = [](const std::string&) { return Outcome{false, true, "", 0}; };
  form.Command4_Click(host);
  EXPECT_EQ(host.messages.size(), 1u);  // a cancelled dialog says nothing
}

}  // namespace
}  // namespace brannock
