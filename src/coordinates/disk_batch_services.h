// The services of a stake program's batch mode on disk: parameter and export files in GBK, and
// the report with the program's delivered layout, painted into the PDF file of --report.
#pragma once

#include <QString>

#include "coordinates/gbk_text_files.h"
#include "coordinates/report_printing.h"
#include "coordinates/stake_batch_services.h"

namespace coordinates {

class DiskBatchServices {
 public:
  // The layout `layoutFile` of `program` (see ReportLayoutPath). No stake table: a run that
  // keeps one sets `services.table`.
  DiskBatchServices(const QString& program, const QString& layoutFile);
  DiskBatchServices(const DiskBatchServices&) = delete;
  DiskBatchServices& operator=(const DiskBatchServices&) = delete;

  StakeBatchServices services;

 private:
  GbkTextFileStore files_;
  QtReportPrinter report_;
};

}  // namespace coordinates
