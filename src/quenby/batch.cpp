#include "quenby/batch.h"

#include "common/batch_cli.h"
#include "quenby/form.h"

namespace quenby {

namespace {

constexpr const char* kUsage =
    "usage: quenby --radius R --i1 G1 --i2 G2 --jd STATION --elevation H [--spacing S] [--extra STATION]... [--pdf FILE]\n"
    "Prints the elevation listing of the vertical curve; each --extra appends one extra stake.\n"
    "--pdf prints one copy of the listing into FILE, as the print command does.\n"
    "The spacing is 5 unless given. Use --opt=VALUE for values that begin with \"-\".\n";

}  // namespace

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const PdfPrinter& pdf) {
  const survey::ParsedOptions opts = survey::ParseOptions(
      args, {{"help", false}, {"radius"}, {"i1"}, {"i2"}, {"jd"}, {"elevation"}, {"spacing"}, {"extra", true, true}, {"pdf"}});
  if (!opts.error.empty()) {
    err << "quenby: " << opts.error << '\n' << kUsage;
    return 2;
  }
  if (opts.Has("help")) {
    out << kUsage;
    return 0;
  }
  if (opts.Has("pdf") && !pdf) {
    err << "quenby: --pdf: printing is not available here\n";
    return 2;
  }
  SqxForm1 form;
  const char* names[] = {"radius", "i1", "i2", "jd", "elevation"};
  for (int i = 0; i < 5; ++i) form.Text(i + 1) = opts.Value(names[i]);
  if (opts.Has("spacing")) form.Text(6) = opts.Value("spacing");
  survey::RecordingHost host;
  form.Command1_Click(host);
  for (const std::string& extra : opts.Values("extra")) {
    if (host.Refused()) break;
    form.Text(7) = extra;
    form.Command2_Click(host);
  }
  if (!host.Refused() && opts.Has("pdf")) {
    const std::string path = opts.Value("pdf");
    std::string reason;
    if (!pdf(path, PrintedText(form.listing, 1), reason))
      host.ShowMessage(QuenbyMessage("无法写入PDF文件：" + path + "\r\n" + reason));
  }
  return survey::FinishBatch(host, form.listing, out, err);
}

}  // namespace quenby
