#include "dovetree/batch.h"

#include "common/batch_cli.h"
#include "common/host.h"
#include "dovetree/deflection_form.h"

namespace dovetree {

namespace {

const survey::BatchProgram kProgram{
    "dovetree",
    "usage: dovetree --jd JD --alpha ALPHA --radius R --ls LS --station M [--extra JZ]... [--pdf FILE]\n"
    "  JD, M, JZ   stations in metres (intersection point, instrument station, extra stake)\n"
    "  ALPHA       deflection angle, packed D.MMSS (30.1545 is 30°15'45\")\n"
    "  R, LS       radius and transition length in metres\n"
    "  FILE        the report printed as the print command prints it (one copy), as PDF\n"
    "Writes the deflection report to standard output. Use --opt=VALUE for negative values.\n",
    {{"jd"}, {"alpha"}, {"radius"}, {"ls"}, {"station"}, {"extra", true, true}, {"pdf"}, {"help", false}}};

}  // namespace

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const survey::BatchServices& services) {
  survey::ParsedOptions options;
  if (const auto status = survey::StartPrintingBatch(kProgram, args, services, options, out, err)) return *status;
  survey::RecordingHost host;
  survey::PdfFilePrinter printer(services.pdf, options.Value("pdf"), 1);
  StationDeflectionForm form(host, printer);
  DeflectionFields& f = form.fields();
  f.jd = options.Value("jd");
  f.alpha = options.Value("alpha");
  f.radius = options.Value("radius");
  f.ls = options.Value("ls");
  f.station = options.Value("station");
  form.ComputeDeflections();
  const auto addExtra = [&](const std::string& extra) {
    f.extra = extra;
    form.AddExtraStake();
  };
  return survey::FinishWithExtras(
      host, options, addExtra, [&] { form.PrintReport(); }, [&] { return form.Report(); }, out, err);
}

}  // namespace dovetree
