// Command-line options of the batch modes: "--name VALUE" or "--name=VALUE" (the second form
// for values that begin with "-", though the first takes them too), flags, repeatable options.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace survey {

struct OptionSpec {
  std::string name;  // without the leading "--"
  bool takesValue = true;
  bool repeatable = false;
};

struct ParsedOptions {
  std::map<std::string, std::vector<std::string>> values;  // options with values, in order
  std::vector<std::string> flags;                           // flags present
  std::string error;                                        // empty when the line was understood

  bool Has(const std::string& name) const;
  // The last value given, or `fallback`.
  std::string Value(const std::string& name, const std::string& fallback = "") const;
  const std::vector<std::string>& Values(const std::string& name) const;
};

ParsedOptions ParseOptions(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs);

// Reports use CR LF; the batch modes write LF.
std::string CrLfToLf(std::string_view text);

// True when the arguments ask for batch mode: any argument starting with "--".
bool WantsBatchMode(int argc, char** argv);

}  // namespace survey

#include <ostream>

#include "common/host.h"

namespace survey {

// Ends a batch run: when the handlers refused (a refusal message was "shown"), the message
// texts go to `err` and the status is 2; otherwise `output` goes to `out` with LF line ends
// and the status is 0.
int FinishBatch(const RecordingHost& host, std::string_view output, std::ostream& out, std::ostream& err);

}  // namespace survey
