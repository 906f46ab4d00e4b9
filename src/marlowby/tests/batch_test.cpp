#include "marlowby/batch.h"

#include <gtest/gtest.h>

#include <sstream>

#include "coordinates/testing/memory_stores.h"

namespace marlowby {
namespace {

class BatchTest : public ::testing::Test {
 protected:
  // The run's status; its stdout and stderr are left in `out` and `err`.
  int Batch(const std::vector<std::string>& args, std::string tableError = {}) {
    std::ostringstream outStream, errStream;
    coordinates::StakeBatchServices services;
    services.files = &files;
    services.table = &table;
    services.report = &printer;
    services.tableError = std::move(tableError);
    const int status = RunBatch(args, outStream, errStream, services);
    out = outStream.str();
    err = errStream.str();
    return status;
  }
  std::string out, err;
  coordinates::MemoryStakeTable table;
  coordinates::testing::MemoryTextFiles files;
  coordinates::testing::RecordingReportPrinter printer;
};

constexpr char kUsageStart[] = "usage: marlowby [--batch] [--open FILE]";

TEST_F(BatchTest, RefusalsGoToStderrWithStatusTwo) {
  files.files["curve.xq"] = "[qxzb]\r\n";
  const std::pair<std::vector<std::string>, std::string> cases[] = {  // arguments -> the start of stderr
      {{"--skew", "90"}, "你输入的斜交角度有问题！\n请重新输入。\n"},
      {{"--start-station="}, "你输入所有数据了吗？\n请重新输入。\n"},
      {{"--interval=-1"}, "你输入的点间距离有问题！\n点间距离必须大于零，请重新输入。\n"},
      {{"--open", "missing.xq"}, "marlowby: 无法打开参数文件 missing.xq: No such file\n"},
      {{"--open", "curve.xq"}, "文件类型出错\n"},
      {{"--export", "/readonly/x.ly"}, "导出失败：/readonly/x.ly\nPermission denied\n"},
      {{"--export-cass", "/readonly/x.dat"}, "导出失败：/readonly/x.dat\nPermission denied\n"},
      {{"--bogus"}, "marlowby: unknown option: --bogus\n" + std::string(kUsageStart)},
  };
  for (const auto& [args, expected] : cases) {
    EXPECT_EQ(Batch(args), 2) << expected;
    EXPECT_EQ(out, "");
    EXPECT_EQ(err.substr(0, args[0] == "--bogus" ? expected.size() : std::string::npos), expected);
  }
  EXPECT_EQ(Batch({}, "无法打开坐标数据库"), 2);
  EXPECT_EQ(err, "无法打开坐标数据库\n");
}

TEST_F(BatchTest, FieldsExtrasAndFilesAndTheSavedFileOpensAgain) {
  EXPECT_EQ(Batch({"--offset", "5", "--skew=30", "--end-station", "1850", "--extra", "5000", "--extra=-20",
                         "--export", "直线.ly", "--save", "p.xq", "--report", "r.pdf"}), 0);
  const std::string line1850 = "1850,46262.109,-4492.791,46258.884,-4497.579,46255.659,-4502.368";
  EXPECT_EQ(out.substr(out.find("1850,")), line1850 +
            "\n5000,44879.246,-1662.563,44876.021,-1667.351,44872.796,-1672.14\n"
            "-20,47083.047,-6172.958,47079.822,-6177.746,47076.597,-6182.535\n");
  EXPECT_NE(files.files["直线.ly"].find(line1850 + "\r\n5000,"), std::string::npos);
  EXPECT_EQ(files.files["p.xq"],
            "[zxzb]\r\n46276.097\r\n-4532.808\r\n44992.796\r\n-1906.348\r\n10\r\n5\r\n1810.791\r\n1850\r\n-20\r\n30\r\n");
  EXPECT_EQ(printer.pdfFile, "r.pdf");
  EXPECT_EQ(printer.reports.size(), 1u);
  // The CASS list beside it: east before north, side stakes named by side and offset, and the
  // .ly output the same as without it.
  const std::string ly = files.files["直线.ly"];
  EXPECT_EQ(Batch({"--offset", "5", "--skew=30", "--end-station", "1850", "--extra", "5000", "--extra=-20",
                   "--export", "直线.ly", "--export-cass", "直线.dat"}), 0);
  EXPECT_EQ(files.files["直线.ly"], ly);
  const std::string& cass = files.files["直线.dat"];
  EXPECT_NE(cass.find("\r\nK1+850,,-4497.579,46258.884,\r\nK1+850左5,,-4492.791,46262.109,\r\n"
                      "K1+850右5,,-4502.368,46255.659,\r\nK5+000,,-1667.351,44876.021,\r\n"), std::string::npos) << cass;
  EXPECT_NE(cass.find("\r\n-20,,-6177.746,47079.822,\r\n"), std::string::npos) << cass;

  EXPECT_TRUE(table.rows.empty());  // a run ends with an empty table
  // Each field option sets its own field.
  EXPECT_EQ(Batch({"--start-x=1", "--start-y=2", "--forward-x=3", "--forward-y=4", "--interval=5", "--offset=6",
                   "--start-station=7", "--end-station=8", "--extra=9", "--skew=10", "--save", "all.xq"}), 0);
  EXPECT_EQ(files.files["all.xq"], "[zxzb]\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n");
  EXPECT_EQ(Batch({"--open", "p.xq"}), 0);
  EXPECT_EQ(out.substr(out.find("1850,")), line1850 + "\n");
}

}  // namespace
}  // namespace marlowby
