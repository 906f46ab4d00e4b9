#include "brannock/deflection_batch.h"

#include <ostream>

#include "brannock/curve_deflection_form.h"
#include "common/batch_cli.h"

namespace brannock {

namespace {

constexpr std::string_view kUsage =
    "用法 Usage: brannock --jd JD --alpha ALPHA --radius R [--ls LS] [--date yy-M-d] [--extra STATION]... "
    "[--save FILE] [--pdf FILE]\n"
    "  ALPHA is packed D.MMSS (88.2222 = 88°22′22″); LS defaults to 0 (no transitions).\n"
    "  The report goes to stdout; --save writes the saved-report file (GBK) as the window's save does;\n"
    "  --pdf prints one copy of the report to a PDF file as the window's print command does.\n";

// A refused command line shows the reason and the usage without the program's name before it.
const survey::BatchProgram kProgram{
    "", kUsage, {{"jd"}, {"alpha"}, {"radius"}, {"ls"}, {"date"}, {"extra", true, true}, {"save"}, {"pdf"}}};

// A run without a file store: --save fails with the reason, as a disk that refuses it would.
class NoFiles final : public survey::TextFileStore {
 public:
  survey::Outcome Write(const std::string&, std::string_view) override {
    return survey::Outcome::Failed("file saving is not available here");
  }
  std::optional<std::string> Read(const std::string&, std::string* error) override {
    if (error) *error = "file reading is not available here";
    return std::nullopt;
  }
};

}  // namespace

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const survey::BatchServices& services) {
  survey::ParsedOptions options;
  if (const auto status = survey::StartBatch(kProgram, args, options, out, err)) return *status;

  survey::RecordingHost host;
  survey::PdfFilePrinter printer(services.pdf, options.Value("pdf"), 1);
  NoFiles noFiles;
  CurveDeflectionForm form(host, services.files ? *services.files : noFiles, printer);
  CurveDeflectionFields& fields = form.fields();
  fields.jd = options.Value("jd");
  fields.alpha = options.Value("alpha");
  fields.radius = options.Value("radius");
  fields.ls = options.Value("ls", "0");
  fields.printDate = options.Value("date", services.today);

  if (form.ComputeReport().ok()) {
    for (const std::string& extra : options.Values("extra")) {
      fields.extraStation = extra;
      if (!form.AddExtraStake().ok()) break;
    }
    if (!host.Refused() && options.Has("save")) {
      host.savePath = options.Value("save");
      form.SaveReport();
    }
    if (!host.Refused() && options.Has("pdf")) form.PrintReport();
  }
  return survey::FinishBatch(host, form.report(), out, err);
}

}  // namespace brannock
