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
  host.messages.clear();
  form.fields().interval = "1";
  form.ComputeStraightLine([](std::size_t, std::size_t) { return false; });
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(table.rows.size(), 294u);
}

// An empty required field refuses both computations and changes nothing; the offset and the
// skew may be empty, and a blank is not empty: it reads as 0.
TEST_F(FormTest, EmptyRequiredFieldsAreRefused) {
  for (std::string F::*field : {&F::startX, &F::startY, &F::forwardX, &F::forwardY, &F::interval, &F::startStation,
                                &F::endStation, &F::extraStation}) {
    StraightLineForm f(host, table, files, printer);
    f.fields().extraStation = "1815";
    f.fields().*field = "";
    table.rows.assign(1, {});
    host.messages.clear();
    if (field != &F::extraStation) f.ComputeStraightLine();
    f.AddExtraStake();
    EXPECT_EQ(host.messages.size(), field == &F::extraStation ? 1u : 2u);
    EXPECT_EQ(table.rows.size(), 1u);
  }
  form.fields().offset = form.fields().skew = "";
  form.fields().startStation = form.fields().extraStation = " ";
  form.ComputeStraightLine();
  form.AddExtraStake();
  ASSERT_EQ(table.rows.size(), 476u);  // from station 0
  EXPECT_EQ(form.GridRows(), table.rows);
}

// Other refusals leave table and grid as they were; a bad skew alone empties the table, while
// the grid keeps showing the old rows.
TEST_F(FormTest, RefusalsKeepTheTable) {
  const std::pair<std::vector<std::pair<std::string F::*, const char*>>, std::size_t> cases[] = {
      {{{&F::startX, "1e308"}, {&F::offset, "5"}}, 294}, {{{&F::interval, "0"}}, 294},
      {{{&F::interval, "0.001"}, {&F::endStation, "1e9"}}, 294}, {{{&F::skew, "90"}}, 0}};
  for (const auto& [changes, tableRows] : cases) {
    StraightLineForm f(host, table, files, printer);
    f.ComputeStraightLine();
    for (const auto& [field, text] : changes) f.fields().*field = text;
    host.messages.clear();
    f.ComputeStraightLine();
    EXPECT_TRUE(host.Refused()) << changes[0].second;
    EXPECT_EQ(table.rows.size(), tableRows);
    EXPECT_EQ(f.GridRows().size(), 294u);
  }
}

// The report reads the table; beyond its cap it is refused.
TEST_F(FormTest, PrintHandsTheTableToTheReportUpToItsCap) {
  table.rows.assign(coordinates::kMaxReportRows, {"1", " ", " ", "2", "3", " ", " "});
  EXPECT_TRUE(form.PrintReport().ok());
  ASSERT_EQ(printer.reports.size(), 1u);
  EXPECT_EQ(printer.reports[0].rows, table.rows);
  table.rows.emplace_back();
  EXPECT_EQ(form.PrintReport(), survey::Outcome::Status::Refused);
  EXPECT_EQ(printer.reports.size(), 1u);
  EXPECT_NE(Shown().find("超过10000行"), std::string::npos);
}

}  // namespace
}  // namespace marlowby
