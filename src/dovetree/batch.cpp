#include "dovetree/batch.h"

#include "common/batch_cli.h"
#include "common/host.h"
#include "dovetree/form.h"

namespace dovetree {

namespace {

constexpr const char* kUsage =
    "usage: dovetree --jd JD --alpha ALPHA --radius R --ls LS --station M [--extra JZ]... [--pdf FILE]\n"
    "  JD, M, JZ   stations in metres (intersection point, instrument station, extra stake)\n"
    "  ALPHA       deflection angle, packed D.MMSS (30.1545 is 30°15'45\")\n"
    "  R, LS       radius and transition length in metres\n"
    "  FILE        the report printed as the print command prints it (one copy), as PDF\n"
    "Writes the deflection report to standard output. Use --opt=VALUE for negative values.\n";

}  // namespace

int RunDovetreeBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const PdfPrinter& pdf) {
  const survey::ParsedOptions options = survey::ParseOptions(
      args, {{"jd"}, {"alpha"}, {"radius"}, {"ls"}, {"station"}, {"extra", true, true}, {"pdf"}, {"help", false}});
  if (!options.error.empty()) {
    err << "dovetree: " << options.error << '\n' << kUsage;
    return 2;
  }
  if (options.Has("help")) {
    out << kUsage;
    return 0;
  }
  if (options.Has("pdf") && !pdf) {
    err << "dovetree: --pdf: printing is not available here\n";
    return 2;
  }
  HhForm form;
  survey::RecordingHost host;
  form.Text1 = options.Value("jd");
  form.Text2 = options.Value("alpha");
  form.Text3 = options.Value("radius");
  form.Text4 = options.Value("ls");
  form.Text5 = options.Value("station");
  form.Command1_Click(host);
  for (const std::string& extra : options.Values("extra")) {
    if (host.Refused()) break;
    form.Text6 = extra;
    form.Command2_Click(host);
  }
  if (!host.Refused() && options.Has("pdf")) {
    form.printText = [&pdf, path = options.Value("pdf")](const std::string& text) { return pdf(path, text); };
    form.Command3_Click(host);
  }
  return survey::FinishBatch(host, form.Report(), out, err);
}

}  // namespace dovetree
