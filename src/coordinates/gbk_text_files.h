// TextFileStore on disk: GBK with atomic replace (platform/text_files.h).
#pragma once

#include "coordinates/file_commands.h"

namespace coordinates {

class GbkTextFileStore final : public TextFileStore {
 public:
  bool Write(const std::string& path, std::string_view utf8, std::string* error) override;
  std::optional<std::string> Read(const std::string& path, std::string* error) override;
};

}  // namespace coordinates
