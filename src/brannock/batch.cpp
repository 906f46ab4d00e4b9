#include "brannock/batch.h"

#include <QDate>

#include "brannock/curve_deflection_form.h"
#include "brannock/curve_deflection_window.h"
#include "coordinates/gbk_text_files.h"
#include "platform/qt_host.h"
#include "platform/text_printing.h"

namespace brannock {

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  coordinates::GbkTextFileStore files;
  platform::PdfTextFileWriter pdf(CurveDeflectionWindow::PrintFont());
  const QDate today = QDate::currentDate();
  const survey::BatchServices services{&files, &pdf, DateFieldText(today.year(), today.month(), today.day())};
  return RunBatch(args, out, err, services);
}

}  // namespace brannock
