#include "tallyfen/curve/curve_batch.h"

#include <iostream>

#include "common/batch_cli.h"
#include "coordinates/gbk_text_files.h"
#include "coordinates/report_printing.h"
#include "tallyfen/curve/curve_form.h"

namespace tallyfen {

namespace {

constexpr char kUsage[] =
    "usage: tallyfen --curve [--open FILE] [--project T] [--tabulator T] [--zh-x T] [--zh-y T]\n"
    "                [--jd-x T] [--jd-y T] [--zh-station T] [--alpha T] [--radius T] [--ls T]\n"
    "                [--offset T] [--left|--right] [--extra T]... [--export FILE] [--save FILE]\n"
    "                [--report FILE.pdf]\n"
    "Fields start from the window's defaults; --open reads a [qxzb] parameter file first. The\n"
    "curve is computed, then one extra stake per --extra; the grid is printed as .ly lines.\n"
    "Use --name=VALUE for values that begin with '-'.\n";

const std::vector<survey::AcceptedOption>& Specs() {
  static const std::vector<survey::AcceptedOption> specs = {
      {"open"},   {"project"}, {"tabulator"}, {"zh-x"},          {"zh-y"},           {"jd-x"},   {"jd-y"},
      {"zh-station"}, {"alpha"}, {"radius"},  {"ls"},            {"offset"},         {"left", false},
      {"right", false}, {"extra", true, true}, {"export"},       {"save"},           {"report"}, {"help", false}};
  return specs;
}

}  // namespace

int RunCurveBatch(const std::vector<std::string>& args) { return RunCurveBatch(args, std::cout, std::cerr); }

int RunCurveBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const survey::ParsedOptions o = survey::ParseOptions(args, Specs());
  if (!o.error.empty()) {
    err << "tallyfen --curve: " << o.error << '\n' << kUsage;
    return 2;
  }
  if (o.Has("help")) {
    out << kUsage;
    return 0;
  }
  if (o.Has("left") && o.Has("right")) {
    err << "tallyfen --curve: --left and --right exclude each other\n";
    return 2;
  }

  survey::RecordingHost host;
  coordinates::MemoryStakeTable table;
  coordinates::GbkTextFileStore files;
  CurveForm form(host, table);
  const auto finish = [&] { return survey::FinishBatch(host, coordinates::LyText(form.grid), out, err); };

  if (o.Has("open")) {
    host.openPath = o.Value("open");
    const coordinates::OpenedParameters opened = form.OpenParameters(files);
    if (opened.outcome == survey::Outcome::Status::Failed) {
      err << "tallyfen --curve: " << opened.path << ": " << opened.outcome.error << '\n';
      return 2;
    }
    if (host.Refused()) return finish();
  }
  CurveFields& f = form.fields;
  const std::pair<const char*, std::string*> fields[] = {
      {"project", &f.Text11}, {"tabulator", &f.Text12}, {"zh-x", &f.Text1},   {"zh-y", &f.Text2},
      {"jd-x", &f.Text3},     {"jd-y", &f.Text4},       {"zh-station", &f.Text5}, {"alpha", &f.Text6},
      {"radius", &f.Text7},   {"ls", &f.Text8},         {"offset", &f.Text10}};
  for (const auto& [name, text] : fields) {
    if (o.Has(name)) *text = o.Value(name);
  }
  if (o.Has("left")) f.Option1 = true;
  if (o.Has("right")) f.Option1 = false;

  form.RunCurveComputation();
  if (host.Refused()) return finish();
  for (const std::string& k : o.Values("extra")) {
    f.Text9 = k;
    form.RunExtraStake();
    if (host.Refused()) return finish();
  }
  if (o.Has("export")) {
    host.savePath = o.Value("export");
    form.ExportGrid(files);
  }
  if (o.Has("save") && !host.Refused()) {
    host.savePath = o.Value("save");
    form.SaveParameters(files);
  }
  if (o.Has("report") && !host.Refused()) {
    coordinates::QtReportPrinter printer(nullptr,
                                         coordinates::ReportLayoutPath(QStringLiteral("tallyfen"), QStringLiteral("zb.html")));
    printer.SetPdfPath(QString::fromStdString(o.Value("report")));
    form.PrintReport(printer);
  }
  return finish();
}

}  // namespace tallyfen
