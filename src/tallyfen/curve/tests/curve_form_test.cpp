#include "tallyfen/curve/curve_form.h"

#include <gtest/gtest.h>

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
  CurveForm form{host, table};

  const survey::Message& LastMessage() { return host.messages.back(); }
  void SetWorkedCurve() {
    form.fields.Text1 = "1000";
    form.fields.Text2 = "2000";
    form.fields.Text3 = "1116.0018";
    form.fields.Text4 = "2116.0018";
    form.fields.Text5 = "1003.5";
    form.fields.Text6 = "30.0000";
    form.fields.Text7 = "500";
    form.fields.Text8 = "60";
    form.fields.Text10 = "5";
    form.fields.Option1 = false;
  }
};

StakeRecord Row(std::optional<std::string> zh, std::optional<std::string> zbx, std::optional<std::string> zby,
                std::optional<std::string> zx, std::optional<std::string> zy, std::optional<std::string> ybx,
                std::optional<std::string> yby) {
  return {zh, zbx, zby, zx, zy, ybx, yby};
}

TEST_F(FormTest, DefaultComputation) {
  form.RunCurveComputation();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(LastMessage().text, "计算成功！\r\n你可以再进行加桩计算，也可以打印。");
  EXPECT_EQ(LastMessage().title, "提示");
  EXPECT_EQ(LastMessage().icon, MessageIcon::Question);
  EXPECT_FALSE(LastMessage().refusal);
  ASSERT_EQ(table.rows.size(), 125u);
  EXPECT_EQ(form.grid, table.rows);
  EXPECT_EQ(form.gridVersion, 1u);
  EXPECT_EQ(table.rows[0], Row("875.262", std::nullopt, std::nullopt, "46722.855", "-7619.616", std::nullopt, std::nullopt));
  EXPECT_EQ(table.rows[1].zh, "880");
  EXPECT_EQ(table.rows.back().zh, "2095.896");
  EXPECT_EQ(coordinates::LyLine(table.rows[0]), "875.262,,,46722.855,-7619.616,,");

  form.fields.Text10 = "5";
  form.RunCurveComputation();
  ASSERT_EQ(table.rows.size(), 125u);
  EXPECT_EQ(table.rows[0], Row("875.262", "46720.165", "-7623.831", "46722.855", "-7619.616", "46725.545", "-7615.401"));
  EXPECT_EQ(table.rows[1], Row("880", "46724.138", "-7626.377", "46726.844", "-7622.172", "46729.55", "-7617.967"));
}

TEST_F(FormTest, EchoValuesOfTheLastComputation) {
  form.fields.Text11 = "环城路";
  form.fields.Text12 = "李四";
  form.RunCurveComputation();
  EXPECT_EQ(form.echo.varc, "环城路");
  EXPECT_EQ(form.echo.alf, " 55° 56′ 59″");
  EXPECT_EQ(form.echo.zhydxy, "x: 46722.855  y:-7619.616");
  const coordinates::ReportValues v = form.ReportValues();
  EXPECT_EQ(v[0], "环城路");
  EXPECT_EQ(v[2], " 875.262");
  EXPECT_EQ(v[4], "1250");
  EXPECT_EQ(v[7], "0");
  EXPECT_EQ(v[8], "0");
  EXPECT_EQ(v[9], "李四");

  // An extra stake leaves them as they were.
  form.fields.Text11 = "另一条路";
  form.fields.Text9 = "900";
  form.RunExtraStake();
  EXPECT_EQ(form.echo.varc, "环城路");
}

TEST_F(FormTest, ZhRowKeepsTheTypedTexts) {
  SetWorkedCurve();
  form.fields.Text1 = "1000.000";
  form.fields.Text2 = " 2000";
  form.RunCurveComputation();
  ASSERT_EQ(table.rows.size(), 37u);
  EXPECT_EQ(table.rows[0], Row("1003.5", "1003.536", "1996.465", "1000.000", " 2000", "996.465", "2003.536"));
  EXPECT_EQ(table.rows[7], Row("1063.5", "1045.304", "2039.942", "1041.563", "2043.259", "1037.822", "2046.576"));
  EXPECT_DOUBLE_EQ(form.hydzb1_x, 1041.563);
  EXPECT_DOUBLE_EQ(form.hydzb1_y, 2043.259);
}

TEST_F(FormTest, EmptyFieldsAreRefusedAndChangeNothing) {
  form.RunCurveComputation();
  const std::vector<StakeRecord> before = table.rows;
  form.ClearInputs();
  EXPECT_EQ(form.fields.Text1, "");
  EXPECT_EQ(form.fields.Text8, "0");
  EXPECT_EQ(form.fields.Text10, "0");
  EXPECT_EQ(form.fields.Text11, "用鼠标双击后输入工程名称");
  form.RunCurveComputation();
  EXPECT_EQ(LastMessage().text, "你输入所有数据了吗？\r\n请重新输入。");
  EXPECT_EQ(LastMessage().title, "输入数据出错");
  EXPECT_EQ(LastMessage().icon, MessageIcon::Question);
  EXPECT_EQ(table.rows, before);
  EXPECT_EQ(form.gridVersion, 1u);
  // A field of blanks is not empty, but it is no number either.
  form.fields = CurveFields();
  form.fields.Text5 = " ";
  form.RunCurveComputation();
  EXPECT_EQ(LastMessage().title, "输入数据出错");
  EXPECT_EQ(table.rows, before);
}

TEST_F(FormTest, EmptyTransitionLengthBecomesZero) {
  form.fields.Text8 = "";
  form.RunCurveComputation();
  EXPECT_EQ(form.fields.Text8, "0");
  EXPECT_EQ(table.rows.size(), 125u);
}

TEST_F(FormTest, ZeroAngleOrRadiusKeepsTheEarlierTable) {
  form.RunCurveComputation();
  const std::vector<StakeRecord> before = table.rows;
  for (const char* field : {"Text6", "Text7"}) {
    CurveFields saved = form.fields;
    (std::string(field) == "Text6" ? form.fields.Text6 : form.fields.Text7) = "0";
    form.RunCurveComputation();
    EXPECT_EQ(LastMessage().text, "对不起，偏角角度及曲线半径不能为零！");
    EXPECT_EQ(LastMessage().icon, MessageIcon::Information);
    EXPECT_TRUE(LastMessage().refusal);
    EXPECT_EQ(table.rows, before);
    EXPECT_EQ(form.grid, before);
    form.fields = saved;
  }
}

TEST_F(FormTest, UnreadableInputIsRefusedWithTheDataError) {
  form.RunCurveComputation();
  const std::vector<StakeRecord> before = table.rows;
  const std::size_t messages = host.messages.size();
  for (auto change : std::vector<void (*)(CurveFields&)>{
           [](CurveFields& f) { f.Text1 = "46722.855m"; }, [](CurveFields& f) { f.Text7 = ""; },
           [](CurveFields& f) { f.Text8 = "365"; }, [](CurveFields& f) { f.Text6 = "x"; },
           [](CurveFields& f) { f.Text7 = "1e300"; },        // stations overflow
           [](CurveFields& f) { f.Text7 = "1e7"; f.Text6 = "300"; },  // millions of rows
           // Deflections of 180 degrees or more either way are typing errors.
           [](CurveFields& f) { f.Text6 = "180"; }, [](CurveFields& f) { f.Text6 = "-275659"; },
           [](CurveFields& f) { f.Text6 = "455000"; f.Text8 = "60"; f.Text10 = "5"; }}) {
    CurveForm fresh(host, table);
    change(fresh.fields);
    fresh.RunCurveComputation();
    EXPECT_EQ(LastMessage().title, "输入数据出错");
    EXPECT_EQ(table.rows, before);
  }
  EXPECT_EQ(host.messages.size(), messages + 9);
}

TEST_F(FormTest, ExtraStakesAppendAfterHz) {
  form.RunCurveComputation();
  form.fields.Text9 = "900";
  form.RunExtraStake();
  EXPECT_EQ(LastMessage().text, "加桩计算成功！\r\n你可以再进行加桩计算，也可以打印。");
  EXPECT_EQ(LastMessage().title, "提示");
  form.fields.Text9 = "1000.5";
  form.RunExtraStake();
  ASSERT_EQ(table.rows.size(), 127u);
  EXPECT_EQ(table.rows[124].zh, "2095.896");
  EXPECT_EQ(table.rows[125].zh, "加桩900");
  EXPECT_EQ(table.rows[126].zh, "加桩1000.5");
  EXPECT_FALSE(table.rows[126].zbx.has_value());
  EXPECT_EQ(form.grid.size(), 127u);
  EXPECT_EQ(form.gridVersion, 3u);
  // 900 on the main list and as an extra stake agree.
  EXPECT_EQ(table.rows[125].zx, table.rows[3].zx);
  EXPECT_EQ(coordinates::LyLine(table.rows[125]), "加桩900,,," + *table.rows[3].zx + "," + *table.rows[3].zy + ",,");
}

TEST_F(FormTest, ExtraStakeOnAnEmptyTable) {
  SetWorkedCurve();
  for (const char* k : {"1030", "1100.5", "1300"}) {
    table.rows.clear();
    form.fields.Text9 = k;
    form.RunExtraStake();
    ASSERT_EQ(table.rows.size(), 1u) << k;
    EXPECT_EQ(table.rows[0].zh, std::string("加桩") + k);
  }
  // On the arc it agrees with the main list, computed afterwards.
  const StakeRecord arc = [&] {
    table.rows.clear();
    form.fields.Text9 = "1100";
    form.RunExtraStake();
    return table.rows[0];
  }();
  form.RunCurveComputation();
  EXPECT_EQ(arc.zx, table.rows[11].zx);
  EXPECT_EQ(arc.zy, table.rows[11].zy);
  EXPECT_EQ(arc.zbx, table.rows[11].zbx);
}

TEST_F(FormTest, ExtraStakeRefusalsAndSilentOutside) {
  form.RunExtraStake();
  EXPECT_EQ(LastMessage().text, "你输入加桩桩号了吗？\r\n请重新输入。");
  EXPECT_EQ(LastMessage().title, "输入数据出错");
  form.fields.Text9 = "900";
  form.fields.Text3 = "";
  form.RunExtraStake();
  EXPECT_EQ(LastMessage().text, "你输入所有数据了吗？\r\n请重新输入。");
  form.fields = CurveFields();
  form.fields.Text9 = "900";
  form.fields.Text6 = "";
  form.RunExtraStake();
  EXPECT_EQ(LastMessage().text, "你输入所有数据了吗？\r\n请重新输入。");
  form.fields.Text6 = "55.5659";
  form.fields.Text7 = "0";
  form.RunExtraStake();
  EXPECT_EQ(LastMessage().text, "对不起，偏角角度及曲线半径不能为零！");
  EXPECT_TRUE(table.rows.empty());

  form.fields = CurveFields();
  const std::size_t messages = host.messages.size();
  for (const char* k : {"875", "2096", "abc", "-1"}) {
    form.fields.Text9 = k;
    form.RunExtraStake();
  }
  EXPECT_EQ(host.messages.size(), messages);
  EXPECT_TRUE(table.rows.empty());
  EXPECT_EQ(form.gridVersion, 0u);
  // The ends themselves are computed.
  form.fields.Text9 = "875.262";
  form.RunExtraStake();
  form.fields.Text9 = "2095.896";
  form.RunExtraStake();
  EXPECT_EQ(table.rows.size(), 2u);
  EXPECT_EQ(table.rows[0].zx, "46722.855");
}

TEST_F(FormTest, SaveAndOpenTheParameterFile) {
  coordinates::testing::MemoryTextFiles files;
  host.savePath = "/tmp/a.xq";
  form.SaveParameters(files);
  EXPECT_EQ(LastMessage().text, "保存成功");
  EXPECT_EQ(LastMessage().title, "Tallyfen");
  EXPECT_EQ(files.files["/tmp/a.xq"],
            "[qxzb]\r\n用鼠标双击后输入工程名称\r\n\r\n46722.855\r\n-7619.616\r\n47307.8854\r\n-7992.9398\r\n875.262\r\n"
            "55.5659\r\n1250\r\n0\r\n0\r\n 1 \r\n\r\n");

  host.openPath = "/tmp/a.xq";
  CurveForm other(host, table);
  other.ClearInputs();
  other.fields.Option1 = false;
  other.fields.Text10 = "7";
  other.OpenParameters(files);
  EXPECT_EQ(LastMessage().text, "打开文件成功");
  EXPECT_EQ(other.ParameterValues(), form.ParameterValues());
  EXPECT_TRUE(other.fields.Option1);

  files.files["/tmp/b.xq"] = "[QXZB]\r\n";
  host.openPath = "/tmp/b.xq";
  other.fields.Text1 = "kept";
  other.OpenParameters(files);
  EXPECT_EQ(LastMessage().text, "文件类型出错");
  EXPECT_EQ(other.fields.Text1, "kept");
}

TEST_F(FormTest, ExportAndPrintUseTheGridAndTheTable) {
  coordinates::testing::MemoryTextFiles files;
  coordinates::testing::RecordingReportPrinter printer;
  SetWorkedCurve();
  form.RunCurveComputation();
  host.savePath = "/tmp/c.ly";
  form.ExportGrid(files);
  EXPECT_EQ(LastMessage().text, "导出成功");
  EXPECT_EQ(host.saveRequests.back().initialName, "曲线坐标导出文件");
  const std::string& ly = files.files["/tmp/c.ly"];
  EXPECT_EQ(ly.substr(0, ly.find("\r\n")), "1003.5,1003.536,1996.465,1000,2000,996.465,2003.536");
  EXPECT_EQ(std::count(ly.begin(), ly.end(), '\n'), 37);
  form.PrintReport(printer);
  ASSERT_EQ(printer.reports.size(), 1u);
  EXPECT_EQ(printer.reports[0].rows.size(), 37u);
  EXPECT_EQ(printer.reports[0].values[3], " 164.0514");
  EXPECT_EQ(printer.reports[0].values[7], "60");
  EXPECT_EQ(printer.reports[0].values[8], "5");
}

TEST_F(FormTest, ReportOfMoreRowsThanItsCapIsRefused) {
  coordinates::testing::RecordingReportPrinter printer;
  form.fields.Text6 = "90";
  form.fields.Text7 = "70000";  // about 11,000 whole stations
  form.RunCurveComputation();
  ASSERT_GT(table.rows.size(), coordinates::kMaxReportRows);
  EXPECT_FALSE(form.PrintReport(printer));
  EXPECT_TRUE(printer.reports.empty());
  EXPECT_TRUE(LastMessage().refusal);
  EXPECT_NE(LastMessage().text.find("超过10000行"), std::string::npos);
}

TEST_F(FormTest, CancelledComputationKeepsThePreviousTableSilently) {
  form.RunCurveComputation();
  const std::vector<StakeRecord> before = table.rows;
  const std::size_t messages = host.messages.size();
  form.fields.Text7 = "2500";
  form.progress = [](std::size_t, std::size_t) { return false; };
  form.RunCurveComputation();
  EXPECT_EQ(host.messages.size(), messages);
  EXPECT_EQ(table.rows, before);
  EXPECT_EQ(form.grid, before);
}

TEST_F(FormTest, ClosingEmptiesTheTable) {
  form.RunCurveComputation();
  EXPECT_TRUE(form.ClearStakeTable());
  EXPECT_TRUE(table.rows.empty());
}

TEST(CurveFormFailures, TableWriteFailureIsNotReportedAsSuccess) {
  survey::RecordingHost host;
  BrokenTable table;
  CurveForm form(host, table);
  form.RunCurveComputation();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_TRUE(host.messages[0].refusal);
  EXPECT_EQ(host.messages[0].icon, MessageIcon::Critical);
  EXPECT_EQ(form.gridVersion, 0u);
  form.fields.Text9 = "900";
  form.RunExtraStake();
  EXPECT_TRUE(host.messages.back().refusal);
}

}  // namespace
}  // namespace tallyfen
