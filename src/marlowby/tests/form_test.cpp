#include "marlowby/form.h"

#include <gtest/gtest.h>

#include "coordinates/testing/memory_stores.h"

namespace marlowby {
namespace {

class FormTest : public ::testing::Test {
 protected:
  survey::RecordingHost host;
  coordinates::MemoryStakeTable table;
  coordinates::testing::MemoryTextFiles files;
  coordinates::testing::RecordingReportPrinter printer;
  Form form{host, table, files, printer};
};

TEST_F(FormTest, CancelledComputationKeepsThePreviousTableSilently) {
  form.KestrelCommand1_Click();
  const std::vector<coordinates::StakeRecord> before = table.rows;
  host.messages.clear();
  form.Text(5) = "1";
  form.progress = [](std::size_t, std::size_t) { return false; };
  form.KestrelCommand1_Click();
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(table.rows, before);
  EXPECT_EQ(form.GridRows(), before);
  form.progress = [](std::size_t, std::size_t) { return true; };
  form.KestrelCommand1_Click();
  EXPECT_GT(table.rows.size(), before.size());
}

TEST_F(FormTest, ComputeFillsTableAndGridAndSaysSo) {
  form.Form_Load();
  const unsigned before = form.GridVersion();
  form.KestrelCommand1_Click();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "计算成功！\r\n你可以再进行加桩计算，也可以打印。");
  EXPECT_EQ(host.messages[0].title, "提示");
  EXPECT_EQ(host.messages[0].icon, survey::MessageIcon::Question);
  EXPECT_EQ(table.rows.size(), 294u);
  EXPECT_EQ(form.GridRows(), table.rows);
  EXPECT_NE(form.GridVersion(), before);
}

TEST_F(FormTest, EmptyRequiredFieldIsRefusedAndChangesNothing) {
  form.KestrelCommand1_Click();
  for (int n : {1, 2, 3, 4, 5, 7, 8}) {
    host.messages.clear();
    Form f(host, table, files, printer);
    f.Text(n).clear();
    f.KestrelCommand1_Click();
    ASSERT_EQ(host.messages.size(), 1u) << n;
    EXPECT_EQ(host.messages[0].text, "你输入所有数据了吗？\r\n请重新输入。");
    EXPECT_EQ(host.messages[0].title, "输入数据出错");
    EXPECT_EQ(table.rows.size(), 294u);
  }
  // Side distance, extra stake and skew may be empty.
  host.messages.clear();
  form.Text(6).clear();
  form.Text(9).clear();
  form.Text(10).clear();
  form.KestrelCommand1_Click();
  EXPECT_FALSE(host.Refused());
  // A field holding a blank is not empty; it reads as 0.
  form.Text(7) = " ";
  form.KestrelCommand1_Click();
  EXPECT_FALSE(host.Refused());
  EXPECT_EQ(*table.rows[0].zh, "0");
}

TEST_F(FormTest, SkewOutOfRangeEmptiesTheTableButNotTheGrid) {
  form.KestrelCommand1_Click();
  host.messages.clear();
  form.Text(10) = "90";
  form.KestrelCommand1_Click();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "你输入的斜交角度有问题！\r\n请重新输入。");
  EXPECT_EQ(host.messages[0].title, "输入数据出错");
  EXPECT_TRUE(table.rows.empty());
  EXPECT_EQ(form.GridRows().size(), 294u);
}

TEST_F(FormTest, BadIntervalAndHugeRangesAreRefusedWithoutChange) {
  form.KestrelCommand1_Click();
  host.messages.clear();
  form.Text(5) = "0";
  form.KestrelCommand1_Click();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].title, "输入数据出错");
  EXPECT_NE(host.messages[0].text.find("点间距离"), std::string::npos);
  EXPECT_EQ(table.rows.size(), 294u);
  host.messages.clear();
  form.Text(5) = "0.001";
  form.Text(8) = "1e9";
  form.KestrelCommand1_Click();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find("超过100000个"), std::string::npos);
  EXPECT_EQ(table.rows.size(), 294u);
}

TEST_F(FormTest, ExtraStakeAppendsOneRowAfterTheEnd) {
  form.KestrelCommand1_Click();
  form.Text(9) = "1815";
  form.KestrelCommand4_Click();
  ASSERT_EQ(table.rows.size(), 295u);
  EXPECT_EQ(*table.rows.back().zh, "1815");
  EXPECT_EQ(form.GridRows().size(), 295u);
  EXPECT_EQ(host.messages.back().text, "计算成功！\r\n你可以再进行加桩计算，也可以打印。");
  // The interval and the end station are required, though unused.
  host.messages.clear();
  form.Text(8).clear();
  form.KestrelCommand4_Click();
  EXPECT_TRUE(host.Refused());
  EXPECT_EQ(table.rows.size(), 295u);
  form.Text(8) = "4734";
  form.Text(9).clear();
  host.messages.clear();
  form.KestrelCommand4_Click();
  EXPECT_EQ(host.messages[0].text, "你输入所有数据了吗？\r\n请重新输入。");
}

TEST_F(FormTest, ExtraStakeOnAnEmptyTable) {
  form.Text(9) = "5000";
  form.KestrelCommand4_Click();
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_EQ(*table.rows[0].zh, "5000");
}

TEST_F(FormTest, CloseEmptiesTheTable) {
  form.KestrelCommand1_Click();
  form.Form_Unload();
  EXPECT_TRUE(table.rows.empty());
  Form reopened(host, table, files, printer);
  reopened.Form_Load();
  EXPECT_TRUE(reopened.GridRows().empty());
}

TEST_F(FormTest, SaveThenOpenRestoresEveryField) {
  host.savePath = "p.xq";
  EXPECT_EQ(form.KestrelCommand6_Click(), survey::Outcome::Status::Done);
  EXPECT_EQ(files.files["p.xq"],
            "[zxzb]\r\n46276.097\r\n-4532.808\r\n44992.796\r\n-1906.348\r\n10\r\n0\r\n1810.791\r\n4734\r\n\r\n0\r\n");
  for (int n = 1; n <= 10; ++n) form.Text(n) = "x";
  host.openPath = "p.xq";
  EXPECT_EQ(form.KestrelCommand5_Click(), survey::Outcome::Status::Done);
  const auto defaults = DefaultFieldTexts();
  for (int n = 1; n <= 10; ++n) EXPECT_EQ(form.Text(n), defaults[static_cast<std::size_t>(n - 1)]) << n;
}

TEST_F(FormTest, OpenThatFailsChangesNoField) {
  files.files["short.xq"] = "[zxzb]\r\n1\r\n2\r\n3\r\n4\r\n";
  files.files["curve.xq"] = "[qxzb]\r\n";
  files.files["empty.xq"] = "";
  host.openPath = "short.xq";
  EXPECT_EQ(form.KestrelCommand5_Click(), survey::Outcome::Status::Failed);
  EXPECT_FALSE(form.LastOpenError().empty());
  host.openPath = "curve.xq";
  EXPECT_EQ(form.KestrelCommand5_Click(), survey::Outcome::Status::Refused);
  EXPECT_EQ(form.Text(1), "46276.097");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "文件类型出错");
  // An empty file is a damaged one: no field is blanked.
  host.openPath = "empty.xq";
  EXPECT_EQ(form.KestrelCommand5_Click(), survey::Outcome::Status::Failed);
  EXPECT_EQ(form.Text(1), "46276.097");
  EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(FormTest, ExportWritesWhatTheGridShows) {
  form.KestrelCommand1_Click();
  form.Text(9) = "5000";
  form.KestrelCommand4_Click();
  host.savePath = "out.ly";
  EXPECT_EQ(form.KestrelCommand3_Click(), survey::Outcome::Status::Done);
  const std::string& ly = files.files["out.ly"];
  EXPECT_EQ(ly.rfind("1810.791, , ,46276.097,-4532.808, , \r\n", 0), 0u);
  EXPECT_NE(ly.find("\r\n4734, , ,44992.796,-1906.348, , \r\n5000, , ,"), std::string::npos);
  EXPECT_EQ(host.saveRequests.back().initialName, "直线坐标导出文件");
  EXPECT_EQ(host.messages.back().text, "导出成功");
  // A failed write says which file and why.
  host.savePath = "/readonly/unwritable";
  EXPECT_EQ(form.KestrelCommand3_Click(), survey::Outcome::Status::Refused);
  EXPECT_NE(host.messages.back().text.find("/readonly/unwritable"), std::string::npos);
}

TEST_F(FormTest, PrintHandsTheTableAndTenEmptyValuesToTheReport) {
  form.KestrelCommand2_Click();  // before any computation: an empty report
  ASSERT_EQ(printer.reports.size(), 1u);
  EXPECT_TRUE(printer.reports[0].rows.empty());
  form.KestrelCommand1_Click();
  form.KestrelCommand2_Click();
  ASSERT_EQ(printer.reports.size(), 2u);
  EXPECT_EQ(printer.reports[1].rows.size(), 294u);
  for (const auto& v : printer.reports[1].values) EXPECT_TRUE(v.empty());
  EXPECT_EQ(coordinates::ReportFormulaEntries(printer.reports[1].values)[0], "VarC=\"\"");
}

// A report is painted text by text; beyond its cap it is refused, at the cap it is printed.
TEST_F(FormTest, ReportBeyondItsCapIsRefused) {
  form.Text(7) = "0";
  form.Text(5) = "1";
  form.Text(8) = std::to_string(coordinates::kMaxReportRows - 1);  // start row + stakes 1 .. end
  form.KestrelCommand1_Click();
  ASSERT_EQ(table.rows.size(), coordinates::kMaxReportRows);
  form.KestrelCommand2_Click();
  ASSERT_EQ(printer.reports.size(), 1u);
  form.Text(8) = std::to_string(coordinates::kMaxReportRows);
  form.KestrelCommand1_Click();
  host.messages.clear();
  form.KestrelCommand2_Click();
  EXPECT_EQ(printer.reports.size(), 1u);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_TRUE(host.messages[0].refusal);
  EXPECT_NE(host.messages[0].text.find("超过10000行"), std::string::npos) << host.messages[0].text;
}

}  // namespace
}  // namespace marlowby
