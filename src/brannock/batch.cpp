#include "brannock/batch.h"

#include <QDate>

#include "brannock/curve_deflection_form.h"
#include "brannock/curve_deflection_window.h"
#include "coordinates/gbk_text_files.h"
#include "platform/qt_host.h"
#include "platform/text_printing.h"

namespace brannock {

namespace {

class PrintFacePdfWriter final : public survey::PdfTextWriter {
 public:
  survey::Outcome Write(const std::string& pdfPath, const std::string& text) override {
    std::string reason;
    if (platform::PrintTextToPdf(platform::ToQString(pdfPath), platform::ToQString(text),
                                 CurveDeflectionWindow::PrintFont(), 1, &reason))
      return survey::Outcome::Done();
    return survey::Outcome::Failed(reason);
  }
};

}  // namespace

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  coordinates::GbkTextFileStore files;
  PrintFacePdfWriter pdf;
  const QDate today = QDate::currentDate();
  BatchServices services{files, pdf, DateFieldText(today.year(), today.month(), today.day())};
  return RunBatch(args, out, err, services);
}

}  // namespace brannock
