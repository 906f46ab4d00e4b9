// dxflib's ASCII writer, writing into memory instead of its own stream, so that the drawing
// reaches the disk through the suite's atomic writer (and a failed write keeps the old file).
#pragma once

#include <string>

#include <dxflib/dl_writer_ascii.h>

namespace survey::exchange {

class DxfStringWriter : public DL_WriterA {
 public:
  // The base class opens no file for an empty name.
  explicit DxfStringWriter(std::string& out) : DL_WriterA("", DL_VERSION_2000), out_(&out) {}

  void dxfReal(int gc, double value) const override;
  void dxfInt(int gc, int value) const override;
  void dxfHex(int gc, int value) const override;
  void dxfString(int gc, const char* value) const override;
  void dxfString(int gc, const std::string& value) const override;

 private:
  void Code(int gc) const;
  std::string* out_;
};

}  // namespace survey::exchange
