#include "coordinates/disk_batch_services.h"

namespace coordinates {

DiskBatchServices::DiskBatchServices(const QString& program, const QString& layoutFile)
    : report_(nullptr, ReportLayoutPath(program, layoutFile)) {
  services.files = &files_;
  services.report = &report_;
}

}  // namespace coordinates
