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

// The form hands over the listing; the file receives it as one printed copy.
class OneCopyPdf final : public survey::PdfTextWriter {
 public:
  explicit OneCopyPdf(survey::PdfTextWriter* pdf) : pdf_(pdf) {}
  survey::Outcome Write(const std::string& path, const std::string& listing) override {
    return pdf_->Write(path, PrintedText(listing, 1));
  }

 private:
  survey::PdfTextWriter* pdf_;
};

}  // namespace

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const survey::BatchServices& services) {
  survey::ParsedOptions opts;
  if (const auto status = survey::StartPrintingBatch(kProgram, args, services, opts, out, err)) return *status;
  survey::RecordingHost host;
  OneCopyPdf oneCopy(services.pdf);
  survey::PdfFilePrinter printer(services.pdf ? &oneCopy : nullptr, opts.Value("pdf"), 0);
  VerticalCurveForm form(host, printer);
  VerticalCurveFields& f = form.fields();
  f.radius = opts.Value("radius");
  f.i1 = opts.Value("i1");
  f.i2 = opts.Value("i2");
  f.jd = opts.Value("jd");
  f.elevation = opts.Value("elevation");
  if (opts.Has("spacing")) f.spacing = opts.Value("spacing");
  form.ComputeListing();
  const auto addExtra = [&](const std::string& extra) {
    f.extra = extra;
    form.AddExtraStake();
  };
  return survey::FinishWithExtras(
      host, opts, addExtra, [&] { form.PrintListing(); }, [&] { return form.Listing(); }, out, err);
}

}  // namespace quenby
