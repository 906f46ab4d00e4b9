#include <QApplication>
#include <iostream>

#include "coordinates/gbk_text_files.h"
#include "coordinates/report_printing.h"
#include "coordinates/stake_table_store.h"
#include "marlowby/batch.h"
#include "marlowby/straight_line_window.h"
#include "platform/program_main.h"

namespace {

int RunBatchOnDisk(const std::vector<std::string>& args) {
  // The run's table lives in memory: a killed run leaves nothing behind on disk.
  coordinates::SqliteStakeTable table(QStringLiteral(":memory:"));
  coordinates::GbkTextFileStore files;
  coordinates::QtReportPrinter printer(nullptr,
                                       coordinates::ReportLayoutPath(QStringLiteral("marlowby"), QStringLiteral("zxzb.html")));
  marlowby::BatchServices services{table, files, printer, table.IsOpen() ? std::string() : table.LastError()};
  return marlowby::RunBatch(args, std::cout, std::cerr, services);
}

}  // namespace

int main(int argc, char** argv) {
  return platform::RunProgram(argc, argv, "marlowby", RunBatchOnDisk, [](QApplication& app) {
    marlowby::StraightLineWindow window;
    window.show();
    return app.exec();
  });
}
