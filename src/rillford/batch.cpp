#include "rillford/batch.h"

#include <span>

#include "common/batch_cli.h"
#include "rillford/forward_inverse_form.h"

namespace rillford {

namespace {

constexpr const char* kUsage =
    "usage: rillford --forward --ax X --ay Y --deg D --min M --sec S --dist L\n"
    "       rillford --inverse --ax X --ay Y --bx X --by Y\n"
    "Forward prints the X and Y of point B; inverse prints degrees, minutes, seconds of the\n"
    "azimuth A->B and the distance. Use --opt=VALUE for values that begin with \"-\".\n";

// The options of each problem, in the order its fields are filled.
struct OptionField {
  const char* option;
  std::string ForwardInverseFields::*text;
};
using F = ForwardInverseFields;
constexpr OptionField kForwardOptions[] = {{"ax", &F::forwardAx},       {"ay", &F::forwardAy},
                                           {"deg", &F::forwardDegrees},  {"min", &F::forwardMinutes},
                                           {"sec", &F::forwardSeconds},  {"dist", &F::forwardDistance}};
constexpr OptionField kInverseOptions[] = {
    {"ax", &F::inverseAx}, {"ay", &F::inverseAy}, {"bx", &F::inverseBx}, {"by", &F::inverseBy}};

}  // namespace

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const survey::BatchProgram program{
      "rillford",
      kUsage,
      {{"forward", false}, {"inverse", false}, {"ax"}, {"ay"}, {"bx"}, {"by"}, {"deg"}, {"min"}, {"sec"}, {"dist"}}};
  survey::ParsedOptions opts;
  if (const auto status = survey::StartBatch(program, args, opts, out, err)) return *status;
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

  survey::RecordingHost host;
  ForwardInverseForm form(host);
  F& fields = form.fields();
  for (const OptionField& o : forward ? std::span<const OptionField>(kForwardOptions)
                                      : std::span<const OptionField>(kInverseOptions))
    fields.*o.text = opts.Value(o.option);
  std::string output;
  if (forward) {
    form.ComputeForward();
    output = fields.forwardBx + " " + fields.forwardBy + "\n";
  } else {
    form.ComputeInverse();
    output = fields.inverseDegrees + " " + fields.inverseMinutes + " " + fields.inverseSeconds + " " +
             fields.inverseDistance + "\n";
  }
  return survey::FinishBatch(host, output, out, err);
}

}  // namespace rillford
