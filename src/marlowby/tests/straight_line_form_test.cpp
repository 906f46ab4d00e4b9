#include "marlowby/straight_line_form.h"

#include <gtest/gtest.h>

#include "coordinates/testing/memory_stores.h"

namespace marlowby {
namespace {

using F = StraightLineFields;

class FormTest : public ::testing::Test {
 protected:
  // The text of the one message the last step showed.
  std::string Shown() const { return host.messages.size() == 1 ? host.messages[0].text : "(not one message)"; }
  survey::RecordingHost host;
  coordinates::MemoryStakeTable table;
  coordinates::testing::MemoryTextFiles files;
  coordinates::testing::RecordingReportPrinter printer;
  StraightLineForm form{host, table, files, printer};
};

TEST_F(FormTest, ComputeFillsTableAndGridAndACancelKeepsThemSilently) {
  form.ComputeStraightLine();
  EXPECT_EQ(Shown(), "计算成功！\r\n你可以再进行加桩计算，也可以打印。");
  ASSERT_EQ(table.rows.size(), 294u);
  EXPECT_EQ(form.GridRows(), table.rows);
  host.messages.clear();
  form.fields().interval = "1";
  form.ComputeStraightLine([](std::size_t, std::size_t) { return false; });
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(table.rows.size(), 294u);
}

// Each refusal shows one message and leaves table and grid as they were; a bad skew alone
// empties the table, while the grid keeps showing the old rows.
TEST_F(FormTest, RefusalsChangeNothing) {
  const std::vector<std::pair<std::string F::*, const char*>> required = {
      {&F::startX, ""}, {&F::startY, ""}, {&F::forwardX, ""}, {&F::forwardY, ""}, {&F::interval, ""},
      {&F::startStation, ""}, {&F::endStation, ""}};
  std::vector<std::pair<std::vector<std::pair<std::string F::*, const char*>>, std::size_t>> cases = {
      {{{&F::startX, "1e308"}, {&F::offset, "5"}}, 294}, {{{&F::interval, "0"}}, 294},
      {{{&F::interval, "0.001"}, {&F::endStation, "1e9"}}, 294}, {{{&F::skew, "90"}}, 0}};
  for (const auto& change : required) cases.push_back({{change}, 294});
  for (const auto& [changes, tableRows] : cases) {
    StraightLineForm f(host, table, files, printer);
    f.ComputeStraightLine();
    for (const auto& [field, text] : changes) f.fields().*field = text;
    host.messages.clear();
    f.ComputeStraightLine();
    EXPECT_TRUE(host.Refused() && host.messages.size() == 1) << changes[0].second;
    EXPECT_EQ(table.rows.size(), tableRows);
    EXPECT_EQ(f.GridRows().size(), 294u);
  }
  // The offset, the extra station and the skew may be empty; a blank is not empty, it reads as 0.
  form.fields().offset = form.fields().extraStation = form.fields().skew = "";
  form.fields().startStation = " ";
  form.ComputeStraightLine();
  ASSERT_EQ(table.rows.size(), 475u);
  EXPECT_EQ(*table.rows[0].zh, "0");
}

TEST_F(FormTest, ExtraStakeAppendsOneRowAndNeedsEveryLineField) {
  form.fields().extraStation = "5000";
  form.AddExtraStake();  // on an empty table
  ASSERT_EQ(table.rows.size(), 1u);
  form.ComputeStraightLine();
  form.AddExtraStake();
  ASSERT_EQ(table.rows.size(), 295u);
  EXPECT_EQ(*table.rows.back().zh, "5000");
  EXPECT_EQ(form.GridRows(), table.rows);
  for (std::string F::*field : {&F::endStation, &F::extraStation}) {
    StraightLineForm f(host, table, files, printer);
    f.fields().extraStation = "1815";
    f.fields().*field = "";
    host.messages.clear();
    f.AddExtraStake();
    EXPECT_EQ(Shown(), "你输入所有数据了吗？\r\n请重新输入。");
    EXPECT_EQ(table.rows.size(), 295u);
  }
  form.ClearStakeTable();
  EXPECT_TRUE(table.rows.empty());
}

TEST_F(FormTest, OpenThatFailsChangesNoField) {
  files.files = {{"short.xq", "[zxzb]\r\n1\r\n2\r\n3\r\n4\r\n"}, {"curve.xq", "[qxzb]\r\n"}, {"empty.xq", ""}};
  for (const char* path : {"short.xq", "curve.xq", "empty.xq"}) {
    host.openPath = path;
    const survey::Outcome opened = form.OpenParameters();
    EXPECT_EQ(opened, path[0] == 'c' ? survey::Outcome::Status::Refused : survey::Outcome::Status::Failed) << path;
    EXPECT_EQ(form.LastOpenError().empty(), path[0] == 'c') << path;
    EXPECT_EQ(form.fields().startX, "46276.097") << path;
  }
  EXPECT_EQ(Shown(), "文件类型出错");
}

// The report reads the table with ten empty values; beyond its cap it is refused.
TEST_F(FormTest, PrintHandsTheTableToTheReportUpToItsCap) {
  table.rows.assign(coordinates::kMaxReportRows, {"1", " ", " ", "2", "3", " ", " "});
  form.PrintReport();
  ASSERT_EQ(printer.reports.size(), 1u);
  EXPECT_EQ(printer.reports[0].rows, table.rows);
  for (const auto& v : printer.reports[0].values) EXPECT_TRUE(v.empty());
  table.rows.emplace_back();
  form.PrintReport();
  EXPECT_EQ(printer.reports.size(), 1u);
  EXPECT_NE(Shown().find("超过10000行"), std::string::npos);
}

}  // namespace
}  // namespace marlowby
