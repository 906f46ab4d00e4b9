#include <QString>
#include <iostream>

#include "coordinates/gbk_text_files.h"
#include "coordinates/report_printing.h"
#include "coordinates/stake_table_store.h"
#include "marlowby/batch.h"

namespace marlowby {

int RunBatch(const std::vector<std::string>& args) {
  // The run's table lives in memory: a killed run leaves nothing behind on disk.
  coordinates::SqliteStakeTable table(QStringLiteral(":memory:"));
  coordinates::GbkTextFileStore files;
  coordinates::QtReportPrinter printer(nullptr,
                                       coordinates::ReportLayoutPath(QStringLiteral("marlowby"), QStringLiteral("zxzb.html")));
  coordinates::StakeBatchServices services;
  services.files = &files;
  services.table = &table;
  services.report = &printer;
  if (!table.IsOpen()) services.tableError = table.LastError();
  return RunBatch(args, std::cout, std::cerr, services);
}

}  // namespace marlowby
