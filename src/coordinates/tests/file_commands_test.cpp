#include "coordinates/file_commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "coordinates/testing/memory_stores.h"

namespace coordinates {
namespace {

using Status = survey::Outcome::Status;

const std::vector<std::string> kValues = {"1", "2", "3", "4", "10", "0", "100", "200", "", "0"};

struct FileCommandsTest : ::testing::Test {
  survey::RecordingHost host;
  testing::MemoryTextFiles files;
};

// Save and export: the dialog, the file, "done" under the program's title; a cancel is silent
// and a failed write names the file and the reason. The busy pointer is off again either way.
TEST_F(FileCommandsTest, SaveAndExportWriteTheFileAndSaySo) {
  const std::vector<StakeRecord> rows = {{"1", " ", " ", "2", "3", " ", " "}};
  const auto save = [&] { return SaveParameters(host, files, ParameterKind::StraightLine, kValues, "Marlowby"); };
  const auto exportRows = [&] { return ExportStakeRows(host, files, rows, std::string(kStraightExportName), "Marlowby"); };
  const struct {
    std::function<survey::Outcome()> command;
    const char* path;
    std::string bytes, done, failed, initialName, filter;
  } cases[] = {
      {save, "坐标参数.xq", ParameterFileText(ParameterKind::StraightLine, kValues), "保存成功", "保存失败", "坐标参数", "默认导出格式(*.xq)"},
      {exportRows, "out.ly", "1, , ,2,3, , \r\n", "导出成功", "导出失败", "直线坐标导出文件", "默认导出格式(*.ly)"},
  };
  for (const auto& c : cases) {
    host = {};
    EXPECT_EQ(c.command(), Status::Cancelled);
    EXPECT_TRUE(host.messages.empty());
    host.savePath = c.path;
    EXPECT_EQ(c.command(), Status::Done);
    EXPECT_EQ(files.files[c.path], c.bytes);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, c.done);
    EXPECT_EQ(host.messages[0].title, "Marlowby");
    ASSERT_EQ(host.saveRequests.size(), 2u);
    EXPECT_EQ(host.saveRequests[1].initialName, c.initialName);
    EXPECT_EQ(host.saveRequests[1].filters.at(0).description, c.filter);
    host.savePath = std::string("/readonly/") + c.path;
    EXPECT_EQ(c.command(), Status::Refused);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[1].text, c.failed + std::string("：/readonly/") + c.path + "\r\nPermission denied");
    EXPECT_FALSE(host.busy);
  }
}

TEST_F(FileCommandsTest, OpenHandsBackOnlyACompleteFileOfItsKind) {
  files.files = {{"good", ParameterFileText(ParameterKind::StraightLine, kValues)},
                 {"curve", ParameterFileText(ParameterKind::Curve, std::vector<std::string>(13, "1"))},
                 {"short", "[zxzb]\r\n1\r\n2\r\n3\r\n4\r\n"}};
  // Path -> outcome and the message shown; a file that cannot be read or is cut short ends silently.
  const std::tuple<const char*, Status, const char*> cases[] = {
      {"good", Status::Done, "打开文件成功"}, {"curve", Status::Refused, "文件类型出错"},
      {"short", Status::Failed, nullptr},     {"missing", Status::Failed, nullptr}};
  for (const auto& [path, status, message] : cases) {
    host.messages.clear();
    host.openPath = path;
    const OpenedParameters opened = OpenParameters(host, files, ParameterKind::StraightLine, "t");
    EXPECT_EQ(opened.outcome, status) << path;
    EXPECT_EQ(opened.content.values, status == Status::Done ? kValues : std::vector<std::string>()) << path;
    EXPECT_EQ(opened.outcome.error.empty(), status != Status::Failed) << path;
    ASSERT_EQ(host.messages.size(), message ? 1u : 0u) << path;
    EXPECT_EQ(message ? host.messages[0].text : "", message ? message : "");
  }
  EXPECT_EQ(host.openRequests.at(0).filters.at(0).description, "默认打开出格式(*.xq)");
  EXPECT_FALSE(host.busy);
}

TEST(Report, LayoutPlaceholdersAreFilledAndEscaped) {
  ReportValues values;
  values[0] = "A&B <路>";
  values[9] = "张三";
  EXPECT_EQ(FillReportLayout("<p>{{VarC}}|{{zbname}}|{{alf}}|{{nope}}|{{", values), "<p>A&amp;B &lt;路&gt;|张三||{{nope}}|{{");
}

}  // namespace
}  // namespace coordinates
