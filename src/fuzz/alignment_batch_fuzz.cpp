// libFuzzer entry point: the alignment program's batch commands run in-process on a fuzzed
// argument vector and fuzzed input files, through route building and every query.
//
// Byte 0 picks the command, byte 1 the route source and the extra inputs; the rest, split at
// NUL bytes, is the route file, the profile table, the points table and up to eight further
// arguments. A run must end in status 0 with output, or status 2 with a message and nothing
// on the output; the message must show the input's control characters escaped.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "alignment/alignment_error.h"
#include "alignment/cli/program.h"
#include "common/testing/counting_buffer.h"
#include "fuzz/fuzz_fields.h"

namespace {

const char* const kCommands[] = {"curves", "stakes", "point", "locate", "profile", "stakeout"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace survey::alignment;
  using cli::FileReader;
  if (size < 2) return 0;

  const std::vector<std::string> fields = survey::fuzz::SplitFields(data + 2, size - 2, 11);
  const std::map<std::string, std::string> files = {
      {"route.csv", fields[0]}, {"route.xml", fields[0]}, {"profile.csv", fields[1]}, {"points.csv", fields[2]}};
  const FileReader readFile = [&files](const std::string& path) -> std::string {
    const auto found = files.find(path);
    if (found == files.end()) throw AlignmentError("无法打开文件“" + path + "”。");
    return found->second;
  };

  std::vector<std::string> args = {kCommands[data[0] % std::size(kCommands)]};
  switch (data[1] % 3) {
    case 0: args.insert(args.end(), {"--jd", "route.csv"}); break;
    case 1:
      args.insert(args.end(), {"--elements", "route.csv", "--start-x", "3000000", "--start-y", "500000",
                               "--start-azimuth", "30.1530"});
      break;
    default: args.insert(args.end(), {"--landxml", "route.xml"}); break;
  }
  if (data[1] & 4) args.insert(args.end(), {"--profile", "profile.csv"});
  if (data[1] & 8) args.insert(args.end(), {"--points", "points.csv"});
  if (data[1] & 16) args.insert(args.end(), {"--setup", "3000100,500100", "--backsight", "3000900,500400"});
  for (std::size_t i = 3; i < fields.size(); ++i) {
    if (!fields[i].empty()) args.push_back(fields[i]);
  }

  survey::testing::CountingBuffer sink;
  std::ostream out(&sink);
  std::ostringstream err;
  const int status = cli::RunBatch(args, out, err, readFile);
  if (status == 0 && sink.bytes == 0) std::abort();  // success without output
  if (status == 2 && (sink.bytes != 0 || err.str().empty())) std::abort();  // a refusal that wrote rows
  if (status != 0 && status != 2) std::abort();
  for (const char c : err.str()) {
    if (c == '\x1b' || c == '\r') std::abort();  // the input's controls reached the terminal raw
  }
  return 0;
}
