#include "tallyfen/curve/curve_coordinate_form.h"

#include <gtest/gtest.h>

#include <tuple>

#include "coordinates/testing/memory_stores.h"

namespace tallyfen {
namespace {

using coordinates::StakeRecord;
using survey::MessageIcon;

// A table whose writes fail, as a locked or read-only database file would.
class BrokenTable : public coordinates::StakeTable {
 public:
  bool Replace(const std::vector<StakeRecord>&, const coordinates::Progress&) override { return false; }
  bool Append(const StakeRecord&) override { return false; }
  bool Clear() override { return false; }
  bool ReadRows(std::vector<StakeRecord>&) override { return false; }
  std::string LastError() const override { return "locked"; }
};

struct FormTest : ::testing::Test {
  survey::RecordingHost host;
  coordinates::MemoryStakeTable table;
  coordinates::testing::MemoryTextFiles files;
  coordinates::testing::RecordingReportPrinter printer;
  CurveCoordinateForm form{host, table, files, printer};
  CurveFields& fields = form.fields();
  const survey::Message& LastMessage() const { return host.messages.back(); }
};

// Text, title, icon and whether the message refuses.
using Shown = std::tuple<std::string, std::string, MessageIcon, bool>;
const Shown kComputed{"计算成功！\r\n你可以再进行加桩计算，也可以打印。", "提示", MessageIcon::Question, false};
const Shown kExtraComputed{"加桩计算成功！\r\n你可以再进行加桩计算，也可以打印。", "提示", MessageIcon::Question, false};
const Shown kDataError{"你输入所有数据了吗？\r\n请重新输入。", "输入数据出错", MessageIcon::Question, true};
const Shown kNoExtraStation{"你输入加桩桩号了吗？\r\n请重新输入。", "输入数据出错", MessageIcon::Question, true};
const Shown kZero{"对不起，偏角角度及曲线半径不能为零！", "Tallyfen", MessageIcon::Information, true};

// After the default curve has been computed (125 rows), each case changes one or two fields
// and clicks "计  算" or "加  桩": the message shown (or none). A refusal leaves the table and
// the grid as they were.
TEST_F(FormTest, HandlersConfirmOrRefuse) {
  using F = CurveFields;
  const struct { std::string F::*field; const char* text; bool extra; const Shown* shown;
                 std::string F::*field2 = nullptr; const char* text2 = ""; } cases[] = {
      {&F::ls, "", false, &kComputed},       // an empty Ls counts as 0
      {&F::ls, "364.5", false, &kComputed},  // Ls * 90 fits 16 bits up to 364, rounded half to even
      {&F::offset, "abc", false, &kComputed},
      {&F::extraStation, "900", true, &kExtraComputed},
      {&F::extraStation, "abc", true, nullptr},  // before ZH or beyond HZ: nothing, silently
      {&F::extraStation, "2096", true, nullptr},
      {&F::extraStation, "", true, &kNoExtraStation},
      {&F::zhX, "", false, &kDataError},
      {&F::alpha, "", false, &kDataError},
      {&F::zhX, "46722.855m", false, &kDataError},
      {&F::radius, "", false, &kDataError},
      {&F::ls, "six", false, &kDataError},
      {&F::ls, "364.51", false, &kDataError},
      {&F::ls, "-365", false, &kDataError},
      {&F::alpha, "180", false, &kDataError},  // 180 degrees or more either way: a typing error
      {&F::alpha, "-275659", false, &kDataError},
      {&F::radius, "1e300", false, &kDataError},                  // stations overflow
      {&F::radius, "1e7", false, &kDataError, &F::alpha, "170"},  // millions of rows
      {&F::alpha, "0", false, &kZero},
      {&F::radius, "0", false, &kZero},
      {&F::jdX, "", true, &kDataError, &F::extraStation, "900"},
      {&F::radius, "0", true, &kZero, &F::extraStation, "900"},
  };
  for (const auto& c : cases) {
    survey::RecordingHost caseHost;
    coordinates::MemoryStakeTable caseTable;
    CurveCoordinateForm f(caseHost, caseTable, files, printer);
    f.ComputeCurve();
    f.fields().*c.field = c.text;
    if (c.field2) f.fields().*c.field2 = c.text2;
    SCOPED_TRACE(c.text);
    c.extra ? f.AddExtraStake() : f.ComputeCurve();
    ASSERT_EQ(caseHost.messages.size(), c.shown ? 2u : 1u);
    const survey::Message& m = caseHost.messages.back();
    if (c.shown) { EXPECT_EQ(std::tie(m.text, m.title, m.icon, m.refusal), *c.shown); }
    if (c.shown != &kComputed) { EXPECT_EQ(caseTable.rows.size(), c.shown == &kExtraComputed ? 126u : 125u); }
    EXPECT_EQ(f.grid(), caseTable.rows);
  }
}

TEST_F(FormTest, RowsEchoAndReportOfTheLastComputation) {
  fields = {"1000.000", " 2000", "1116.0018", "2116.0018", "1003.5", "30.0000", "500", "60", "", "5", "环城路", "李四", false};
  form.ComputeCurve();
  ASSERT_EQ(table.rows.size(), 37u);
  // The ZH row shows the point as typed.
  EXPECT_EQ(coordinates::LyLine(table.rows[0]), "1003.5,1003.536,1996.465,1000.000, 2000,996.465,2003.536");
  const coordinates::ReportValues expected = {"环城路", " 30° 0′ 0″", " 1003.5", " 164.0514", "500",
                                              "x: 1000  y: 2000", "x: 1116.0018  y: 2116.0018", "60", "5", "李四"};
  // An extra stake follows HZ and leaves the echo values as they were.
  fields.projectName = "另一条路";
  fields.extraStation = "1100";
  form.AddExtraStake();
  EXPECT_TRUE(form.PrintReport().ok());
  ASSERT_EQ(printer.reports.size(), 1u);
  EXPECT_EQ(printer.reports[0].values, expected);
  ASSERT_EQ(printer.reports[0].rows.size(), 38u);
  EXPECT_EQ(printer.reports[0].rows[37].station, "加桩1100");
  EXPECT_EQ(form.grid(), table.rows);
}

TEST_F(FormTest, FilesOfTheWrongKindChangeNothing) {
  files.files["/b.xq"] = "[zxzb]\r\n1\r\n2\r\n";
  host.openPath = "/b.xq";
  fields.zhX = "kept";
  form.OpenParameters();
  EXPECT_EQ(LastMessage().text, "文件类型出错");
  EXPECT_EQ(fields.zhX, "kept");
  host.savePath = "/c.ly";
  form.ExportGrid();
  EXPECT_EQ(host.saveRequests.back().initialName, "曲线坐标导出文件");
}

TEST_F(FormTest, CancelKeepsThePreviousTableSilently) {
  EXPECT_TRUE(form.ComputeCurve().ok());
  fields.radius = "2500";
  form.SetProgress([](std::size_t, std::size_t) { return false; });
  EXPECT_EQ(form.ComputeCurve(), survey::Outcome::Status::Cancelled);
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(table.rows.size(), 125u);
  EXPECT_EQ(form.grid(), table.rows);
}

TEST(CurveFormFailures, TableFailureIsNotReportedAsSuccess) {
  survey::RecordingHost host;
  BrokenTable table;
  coordinates::testing::MemoryTextFiles files;
  coordinates::testing::RecordingReportPrinter printer;
  CurveCoordinateForm form(host, table, files, printer);
  form.ComputeCurve();
  form.fields().extraStation = "900";
  form.AddExtraStake();
  EXPECT_EQ(form.PrintReport(), survey::Outcome::Status::Refused);
  const Shown failed{"坐标表无法读写：locked", "Tallyfen", MessageIcon::Critical, true};
  ASSERT_EQ(host.messages.size(), 3u);
  for (const survey::Message& m : host.messages) EXPECT_EQ(std::tie(m.text, m.title, m.icon, m.refusal), failed);
}

}  // namespace
}  // namespace tallyfen
