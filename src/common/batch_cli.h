// Command-line options of the batch modes: "--name VALUE" or "--name=VALUE" (the second form
// for values that begin with "-", though the first takes them too), flags, repeatable options.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace survey {

// One option a batch mode accepts.
struct AcceptedOption {
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

ParsedOptions ParseOptions(const std::vector<std::string>& args, const std::vector<AcceptedOption>& accepted);

// Reports use CR LF; the batch modes write LF.
std::string CrLfToLf(std::string_view text);

// True when the arguments ask for batch mode: any argument starting with "--".
bool WantsBatchMode(int argc, char** argv);

}  // namespace survey

#include <optional>
#include <ostream>

#include "common/host.h"
#include "common/services.h"

namespace survey {

// Ends a batch run: when the handlers refused (a refusal message was "shown"), the message
// texts go to `err` and the status is 2; otherwise `output` goes to `out` with LF line ends
// and the status is 0.
int FinishBatch(const RecordingHost& host, std::string_view output, std::ostream& out, std::ostream& err);

// What every batch mode starts from: its name (put before a refusal of the command line, with
// ": "; empty for none), its usage text and the options it accepts. "--help" is accepted too.
struct BatchProgram {
  std::string_view name;
  std::string_view usage;
  std::vector<AcceptedOption> options;
};

// The shared start of a batch run. Parses `args`: on "--help" the usage goes to `out` (status 0);
// on a command line that is not understood the reason and the usage go to `err` (status 2).
// Either way the status to end with is returned; otherwise nullopt, and `parsed` holds the
// options for the run.
std::optional<int> StartBatch(const BatchProgram& program, const std::vector<std::string>& args, ParsedOptions& parsed,
                              std::ostream& out, std::ostream& err);
// The end of a calculator's batch run once its result is computed: each --extra through
// `addExtra(value)` while nothing has been refused, then `print()` when --pdf asks for it; ends
// as FinishBatch does, with the text `result()` gives then.
template <class AddExtra, class Print, class Result>
int FinishWithExtras(const RecordingHost& host, const ParsedOptions& options, AddExtra&& addExtra, Print&& print,
                     Result&& result, std::ostream& out, std::ostream& err) {
  for (const std::string& extra : options.Values("extra")) {
    if (host.Refused()) break;
    addExtra(extra);
  }
  if (!host.Refused() && options.Has("pdf")) print();
  return FinishBatch(host, result(), out, err);
}

// StartBatch for a program whose --pdf prints through `services.pdf`; where it has no PDF writer
// a --pdf is refused: "<name>: --pdf: printing is not available here" on `err`, status 2.
std::optional<int> StartPrintingBatch(const BatchProgram& program, const std::vector<std::string>& args,
                                      const BatchServices& services, ParsedOptions& parsed, std::ostream& out,
                                      std::ostream& err);

}  // namespace survey
