#include "coordinates/gbk_text_files.h"

#include "platform/text_files.h"

namespace coordinates {

survey::Outcome GbkTextFileStore::Write(const std::string& path, std::string_view utf8) {
  return platform::WriteGbkFile(path, utf8);
}

std::optional<std::string> GbkTextFileStore::Read(const std::string& path, std::string* error) {
  return platform::ReadGbkFile(path, error);
}

}  // namespace coordinates
