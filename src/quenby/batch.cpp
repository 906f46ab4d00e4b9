#include "quenby/batch.h"

#include "common/batch_cli.h"
#include "quenby/vertical_curve_form.h"

namespace quenby {

namespace {

const survey::BatchProgram kProgram{
    "quenby",
    "usage: quenby --radius R --i1 G1 --i2 G2 --jd STATION --elevation H [--spacing S] [--extra STATION]... [--pdf FILE]\n"
    "Prints the elevation listing of the vertical curve; each --extra appends one extra stake.\n"
    "--pdf prints one copy of the listing into FILE, as the print command does.\n"
    "The spacing is 5 unless given. Use --opt=VALUE for values that begin with \"-\".\n",
    {{"help", false}, {"radius"}, {"i1"}, {"i2"}, {"jd"}, {"elevation"}, {"spacing"}, {"extra", true, true}, {"pdf"}}};

// The form's printer in batch mode: one copy of the listing goes into the --pdf file.
class PdfFilePrinter : public survey::TextPrinter {
 public:
  PdfFilePrinter(PdfPrinter* pdf, std::string path) : pdf_(pdf), path_(std::move(path)) {}
  survey::Outcome Print(const std::string& listing) override {
    const survey::Outcome written = pdf_->Print(path_, PrintedText(listing, 1));
    if (!(written == survey::Outcome::Status::Failed)) return written;
    return survey::Outcome::Failed("无法写入PDF文件：" + path_ + "\r\n" + written.error);
  }

 private:
  PdfPrinter* pdf_;
  std::string path_;
};

}  // namespace

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const BatchServices& services) {
  survey::ParsedOptions opts;
  if (const auto status = survey::StartBatch(kProgram, args, opts, out, err)) return *status;
  if (opts.Has("pdf") && !services.pdf) {
    err << "quenby: --pdf: printing is not available here\n";
    return 2;
  }
  survey::RecordingHost host;
  PdfFilePrinter printer(services.pdf, opts.Value("pdf"));
  VerticalCurveForm form(host, printer);
  VerticalCurveFields& f = form.fields();
  f.radius = opts.Value("radius");
  f.i1 = opts.Value("i1");
  f.i2 = opts.Value("i2");
  f.jd = opts.Value("jd");
  f.elevation = opts.Value("elevation");
  if (opts.Has("spacing")) f.spacing = opts.Value("spacing");
  form.ComputeListing();
  for (const std::string& extra : opts.Values("extra")) {
    if (host.Refused()) break;
    f.extra = extra;
    form.AddExtraStake();
  }
  if (!host.Refused() && opts.Has("pdf")) form.PrintListing();
  return survey::FinishBatch(host, form.Listing(), out, err);
}

}  // namespace quenby
