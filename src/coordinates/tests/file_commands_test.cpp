#include "coordinates/file_commands.h"

#include <gtest/gtest.h>

#include "coordinates/testing/memory_stores.h"

namespace coordinates {
namespace {

const std::vector<std::string> kValues = {"1", "2", "3", "4", "10", "0", "100", "200", "", "0"};

TEST(SaveParameters, WritesTheFileAndSaysSo) {
  survey::RecordingHost host;
  testing::MemoryTextFiles files;
  host.savePath = "/tmp/坐标参数.xq";
  EXPECT_EQ(SaveParameters(host, files, ParameterKind::StraightLine, kValues, "Marlowby"), survey::Outcome::Status::Done);
  EXPECT_EQ(files.files["/tmp/坐标参数.xq"], ParameterFileText(ParameterKind::StraightLine, kValues));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "保存成功");
  EXPECT_EQ(host.messages[0].title, "Marlowby");
  EXPECT_EQ(host.messages[0].icon, survey::MessageIcon::None);
  EXPECT_FALSE(host.busy);
  ASSERT_EQ(host.saveRequests.size(), 1u);
  EXPECT_EQ(host.saveRequests[0].initialName, "坐标参数");
  EXPECT_EQ(host.saveRequests[0].filters[0].description, "默认导出格式(*.xq)");
  EXPECT_TRUE(host.saveRequests[0].defaultSuffix.empty());
}

TEST(SaveParameters, CancelIsSilentAndAFailureNamesTheFile) {
  survey::RecordingHost host;
  testing::MemoryTextFiles files;
  EXPECT_EQ(SaveParameters(host, files, ParameterKind::StraightLine, kValues, "t"), survey::Outcome::Status::Cancelled);
  EXPECT_TRUE(host.messages.empty());
  host.savePath = "/readonly/a.xq";
  EXPECT_EQ(SaveParameters(host, files, ParameterKind::StraightLine, kValues, "t"), survey::Outcome::Status::Refused);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find("/readonly/a.xq"), std::string::npos);
  EXPECT_NE(host.messages[0].text.find("Permission denied"), std::string::npos);
  EXPECT_TRUE(host.messages[0].refusal);
  EXPECT_FALSE(host.busy);
}

TEST(OpenParameters, HandsBackOnlyACompleteFileOfItsKind) {
  survey::RecordingHost host;
  testing::MemoryTextFiles files;
  files.files["good"] = ParameterFileText(ParameterKind::StraightLine, kValues);
  files.files["curve"] = ParameterFileText(ParameterKind::Curve, std::vector<std::string>(13, "1"));
  files.files["short"] = "[zxzb]\r\n1\r\n2\r\n3\r\n4\r\n";

  host.openPath = "good";
  OpenedParameters opened = OpenParameters(host, files, ParameterKind::StraightLine, "t");
  EXPECT_EQ(opened.outcome, survey::Outcome::Status::Done);
  EXPECT_EQ(opened.content.values, kValues);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "打开文件成功");
  EXPECT_EQ(host.openRequests[0].filters[0].description, "默认打开出格式(*.xq)");

  host.messages.clear();
  host.openPath = "curve";
  opened = OpenParameters(host, files, ParameterKind::StraightLine, "t");
  EXPECT_EQ(opened.outcome, survey::Outcome::Status::Refused);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "文件类型出错");

  for (const char* silent : {"short", "missing"}) {
    host.messages.clear();
    host.openPath = silent;
    opened = OpenParameters(host, files, ParameterKind::StraightLine, "t");
    EXPECT_EQ(opened.outcome, survey::Outcome::Status::Failed) << silent;
    EXPECT_TRUE(host.messages.empty()) << silent;
    EXPECT_FALSE(opened.outcome.error.empty());
  }
  EXPECT_FALSE(host.busy);
}

TEST(ExportStakeRows, WritesEveryRowAndSaysSo) {
  survey::RecordingHost host;
  testing::MemoryTextFiles files;
  host.savePath = "out.ly";
  const std::vector<StakeRecord> rows = {{"1", " ", " ", "2", "3", " ", " "}};
  EXPECT_EQ(ExportStakeRows(host, files, rows, std::string(kStraightExportName), "t"), survey::Outcome::Status::Done);
  EXPECT_EQ(files.files["out.ly"], "1, , ,2,3, , \r\n");
  EXPECT_EQ(host.saveRequests[0].initialName, "直线坐标导出文件");
  EXPECT_EQ(host.saveRequests[0].filters[0].description, "默认导出格式(*.ly)");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "导出成功");
  EXPECT_GE(host.busyChanges, 2);
  EXPECT_FALSE(host.busy);
}

TEST(Report, FormulaEntriesQuoteTheirValues) {
  ReportValues values;
  auto entries = ReportFormulaEntries(values);
  EXPECT_EQ(entries[0], "VarC=\"\"");
  EXPECT_EQ(entries[9], "zbname=\"\"");
  values[4] = "1250";
  entries = ReportFormulaEntries(values);
  EXPECT_EQ(entries[4], "r=\"1250\"");
}

TEST(Report, LayoutPlaceholdersAreFilledAndEscaped) {
  ReportValues values;
  values[0] = "A&B <路>";
  values[9] = "张三";
  EXPECT_EQ(FillReportLayout("<p>{{VarC}}|{{zbname}}|{{alf}}|{{nope}}|{{", values),
            "<p>A&amp;B &lt;路&gt;|张三||{{nope}}|{{");
}

}  // namespace
}  // namespace coordinates
