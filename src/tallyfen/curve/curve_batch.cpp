#include "tallyfen/curve/curve_batch.h"

#include <iostream>

#include "coordinates/gbk_text_files.h"
#include "coordinates/report_printing.h"
#include "platform/qt_host.h"
#include "tallyfen/curve/curve_batch_mode.h"

namespace tallyfen {

int RunCurveBatch(const std::vector<std::string>& args) { return RunCurveBatch(args, std::cout, std::cerr); }

int RunCurveBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  coordinates::GbkTextFileStore files;
  // The report with the program's delivered layout, painted into the PDF file of --report.
  coordinates::QtReportPrinter report(nullptr,
                                      coordinates::ReportLayoutPath(QStringLiteral("tallyfen"), QStringLiteral("zb.html")));
  coordinates::StakeBatchServices services;
  services.files = &files;
  services.report = &report;
  return RunCurveBatch(args, out, err, services);
}

}  // namespace tallyfen
