// TextFileStore on disk: GBK with atomic replace (platform/text_files.h).
#pragma once

#include "coordinates/file_commands.h"

namespace coordinates {

class GbkTextFileStore final : public TextFileStore {
 public:
  survey::Outcome Write(const std::string& path, std::string_view utf8) override;
  std::optional<std::string> Read(const std::string& path, std::string* error) override;
};

}  // namespace coordinates
