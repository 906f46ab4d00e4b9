#include "rillford/batch.h"

#include "common/batch_cli.h"
#include "rillford/form.h"

namespace rillford {

namespace {

constexpr const char* kUsage =
    "usage: rillford --forward --ax X --ay Y --deg D --min M --sec S --dist L\n"
    "       rillford --inverse --ax X --ay Y --bx X --by Y\n"
    "Forward prints the X and Y of point B; inverse prints degrees, minutes, seconds of the\n"
    "azimuth A->B and the distance. Use --opt=VALUE for values that begin with \"-\".\n";

}  // namespace

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const survey::ParsedOptions opts = survey::ParseOptions(
      args, {{"forward", false}, {"inverse", false}, {"help", false}, {"ax"}, {"ay"}, {"bx"}, {"by"},
             {"deg"}, {"min"}, {"sec"}, {"dist"}});
  if (!opts.error.empty()) {
    err << "rillford: " << opts.error << '\n' << kUsage;
    return 2;
  }
  if (opts.Has("help")) {
    out << kUsage;
    return 0;
  }
  const bool forward = opts.Has("forward");
  if (forward == opts.Has("inverse")) {
    err << "rillford: give exactly one of --forward and --inverse\n" << kUsage;
    return 2;
  }
  const std::vector<std::string> unused = forward ? std::vector<std::string>{"bx", "by"}
                                                  : std::vector<std::string>{"deg", "min", "sec", "dist"};
  for (const auto& name : unused) {
    if (opts.Has(name)) {
      err << "rillford: --" << name << " does not belong to --" << (forward ? "forward" : "inverse") << '\n';
      return 2;
    }
  }

  Form4 form;
  survey::RecordingHost host;
  std::string output;
  if (forward) {
    const char* names[] = {"ax", "ay", "deg", "min", "sec", "dist"};
    for (int i = 0; i < 6; ++i) form.Text(i + 1) = opts.Value(names[i]);
    form.Command1_Click(host);
    output = form.Text(7) + " " + form.Text(8) + "\n";
  } else {
    const char* names[] = {"ax", "ay", "bx", "by"};
    for (int i = 0; i < 4; ++i) form.Text(i + 9) = opts.Value(names[i]);
    form.Command3_Click(host);
    output = form.Text(13) + " " + form.Text(14) + " " + form.Text(15) + " " + form.Text(16) + "\n";
  }
  return survey::FinishBatch(host, output, out, err);
}

}  // namespace rillford
