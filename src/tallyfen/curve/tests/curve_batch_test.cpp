#include "tallyfen/curve/curve_batch_mode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "common/batch_cli.h"
#include "coordinates/testing/memory_stores.h"

namespace tallyfen {
namespace {

struct RecordingPdfPrinter : coordinates::FileReportPrinter {
  void SetPdfFile(const std::string& path) override { printed += path; }
  bool ShowReport(const coordinates::ReportData& report, std::string*) override {
    printed += ": " + std::to_string(report.rows.size()) + " rows\n";
    return true;
  }
  std::string printed;  // the path and the rows of each report
};

struct BatchTest : ::testing::Test {
  coordinates::testing::MemoryTextFiles files;
  RecordingPdfPrinter printer;
  std::string out, err;

  int Run(const std::vector<std::string>& args) {
    std::ostringstream o, e;
    coordinates::StakeBatchServices services;
    services.files = &files;
    services.report = &printer;
    const int status = RunCurveBatch(args, o, e, services);
    out = o.str();
    err = e.str();
    return status;
  }
};

TEST_F(BatchTest, OptionsFillTheFieldsAndTheGridGoesToStdout) {
  ASSERT_EQ(Run({"--project", "环城路", "--tabulator", "李四", "--zh-x", "1000", "--zh-y=2000", "--jd-x", "1116.0018",
                 "--jd-y", "2116.0018", "--zh-station", "1003.5", "--alpha", "30.0000", "--radius", "500", "--ls", "60",
                 "--offset", "5", "--right", "--extra", "1100.5", "--extra=5000", "--extra", "1063.5", "--save",
                 "/w.xq", "--export", "/w.ly", "--report", "/w.pdf"}),
            0);
  EXPECT_EQ(files.files["/w.xq"],
            "[qxzb]\r\n环城路\r\n李四\r\n1000\r\n2000\r\n1116.0018\r\n2116.0018\r\n1003.5\r\n30.0000\r\n500\r\n60\r\n5\r\n"
            " 0 \r\n1063.5\r\n");
  // 37 stakes, 5000 lies beyond HZ: LF lines of the exported rows.
  EXPECT_EQ(out.substr(out.find("加桩")),
            "加桩1100.5,1069.04,2068.795,1065.064,2071.826,1061.088,2074.858\n"
            "加桩1063.5,1045.304,2039.942,1041.563,2043.259,1037.822,2046.576\n");
  EXPECT_EQ(survey::CrLfToLf(files.files["/w.ly"]), out);
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 39);
  EXPECT_EQ(printer.printed, "/w.pdf: 39 rows\n");
  // The saved file reproduces the curve (extra stakes come from --extra only).
  const std::string curve = out.substr(0, out.find("加桩"));
  EXPECT_EQ(Run({"--open", "/w.xq"}), 0);
  EXPECT_EQ(out, curve);
  EXPECT_EQ(Run({"--open", "/w.xq", "--left"}), 0);
  EXPECT_NE(out.find("\n1010,1008.13,2001.057,1004.597,2004.595,1001.064,2008.133\n"), std::string::npos);
  EXPECT_EQ(Run({"--open", "/w.xq", "--extra", "1100.5", "--export-cass", "/w.dat"}), 0);
  EXPECT_NE(files.files["/w.dat"].find("\r\n加桩K1+100.5,,2071.826,1065.064,\r\n"
                                       "加桩K1+100.5左5,,2068.795,1069.040,\r\n加桩K1+100.5右5,,2074.858,1061.088,\r\n"),
            std::string::npos)
      << files.files["/w.dat"];
}

TEST_F(BatchTest, RefusalsGoToStderrWithStatusTwo) {
  files.files["/line.xq"] = "[zxzb]\r\n";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--radius", "0"}, "对不起，偏角角度及曲线半径不能为零！\n"},
      {{"--alpha", "22.30", "--radius", "152.45", "--ls", "60", "--export", "/o.ly"}, "缓和曲线过长：2β0 大于偏角 α\n"},
      {{"--left", "--right"}, "tallyfen --curve: --left and --right exclude each other\n"},
      {{"--extra", "900", "--extra="}, "你输入加桩桩号了吗？\n请重新输入。\n"},
      {{"--bogus"}, "tallyfen --curve: unknown option: --bogus\nusage: tallyfen --curve [--open FILE] [--project T]"},
      {{"--open", "/line.xq"}, "文件类型出错\n"},
      {{"--open", "/missing.xq"}, "tallyfen --curve: /missing.xq: No such file\n"},
      {{"--save", "/readonly/x.xq", "--report", "/x.pdf"}, "保存失败：/readonly/x.xq\nPermission denied\n"},
      {{"--alpha", "90", "--radius", "70000", "--report", "/x.pdf"}, "报表有10999行，超过10000行，无法打印。\n"},
  };
  for (const auto& [args, shown] : cases) {
    EXPECT_EQ(Run(args), 2) << shown;
    EXPECT_EQ(err.substr(0, shown.size()), shown);
    EXPECT_EQ(out, "");
  }
  EXPECT_EQ(printer.printed, "/x.pdf");  // no report printed, the save refused before it
  EXPECT_EQ(files.files.count("/o.ly"), 0u);
  // Transitions that meet exactly (2 beta0 = alpha, no arc) are a curve.
  EXPECT_EQ(Run({"--alpha", "30", "--radius", "114.59155902616466", "--ls", "60"}), 0);
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_EQ(out.rfind("usage: tallyfen --curve [--open FILE]", 0), 0u);
}

}  // namespace
}  // namespace tallyfen
