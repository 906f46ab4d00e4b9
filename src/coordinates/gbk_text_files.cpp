#include "coordinates/gbk_text_files.h"

#include "platform/text_files.h"

namespace coordinates {

bool GbkTextFileStore::Write(const std::string& path, std::string_view utf8, std::string* error) {
  const platform::FileOutcome outcome = platform::WriteGbkFile(path, utf8);
  if (!outcome.ok && error) *error = outcome.error;
  return outcome.ok;
}

std::optional<std::string> GbkTextFileStore::Read(const std::string& path, std::string* error) {
  return platform::ReadGbkFile(path, error);
}

}  // namespace coordinates
