#include "tallyfen/curve/curve_batch.h"

#include <iostream>

#include "coordinates/disk_batch_services.h"
#include "platform/qt_host.h"
#include "tallyfen/curve/curve_batch_mode.h"

namespace tallyfen {

int RunCurveBatch(const std::vector<std::string>& args) { return RunCurveBatch(args, std::cout, std::cerr); }

int RunCurveBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  coordinates::DiskBatchServices disk(QStringLiteral("tallyfen"), QStringLiteral("zb.html"));
  return RunCurveBatch(args, out, err, disk.services);
}

}  // namespace tallyfen
