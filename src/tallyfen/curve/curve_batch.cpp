#include "tallyfen/curve/curve_batch.h"

#include <iostream>

#include "coordinates/gbk_text_files.h"
#include "coordinates/report_printing.h"
#include "platform/qt_host.h"
#include "tallyfen/curve/curve_batch_mode.h"

namespace tallyfen {

namespace {

// The report with the program's delivered layout, painted into the PDF file of --report.
class PdfFilePrinter final : public PdfReportPrinter {
 public:
  void SetPdfPath(const std::string& path) override { printer_.SetPdfPath(platform::ToQString(path)); }
  bool ShowReport(const coordinates::ReportData& report, std::string* error) override {
    return printer_.ShowReport(report, error);
  }

 private:
  coordinates::QtReportPrinter printer_{nullptr,
                                        coordinates::ReportLayoutPath(QStringLiteral("tallyfen"), QStringLiteral("zb.html"))};
};

}  // namespace

int RunCurveBatch(const std::vector<std::string>& args) { return RunCurveBatch(args, std::cout, std::cerr); }

int RunCurveBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  coordinates::GbkTextFileStore files;
  PdfFilePrinter report;
  CurveBatchServices services{files, report};
  return RunCurveBatch(args, out, err, services);
}

}  // namespace tallyfen
