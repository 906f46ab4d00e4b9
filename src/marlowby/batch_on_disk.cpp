#include <QString>
#include <iostream>

#include "coordinates/disk_batch_services.h"
#include "coordinates/stake_table_store.h"
#include "marlowby/batch.h"

namespace marlowby {

int RunBatch(const std::vector<std::string>& args) {
  // The run's table lives in memory: a killed run leaves nothing behind on disk.
  coordinates::SqliteStakeTable table(QStringLiteral(":memory:"));
  coordinates::DiskBatchServices disk(QStringLiteral("marlowby"), QStringLiteral("zxzb.html"));
  disk.services.table = &table;
  if (!table.IsOpen()) disk.services.tableError = table.LastError();
  return RunBatch(args, std::cout, std::cerr, disk.services);
}

}  // namespace marlowby
