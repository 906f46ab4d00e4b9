#include "tallyfen/curve/curve_batch_mode.h"

#include <ostream>
#include <utility>

#include "common/batch_cli.h"
#include "tallyfen/curve/curve_coordinate_form.h"

namespace tallyfen {

namespace {

const survey::BatchProgram& CurveProgram() {
  static const survey::BatchProgram program{
      "tallyfen --curve",
      "usage: tallyfen --curve [--open FILE] [--project T] [--tabulator T] [--zh-x T] [--zh-y T]\n"
      "                [--jd-x T] [--jd-y T] [--zh-station T] [--alpha T] [--radius T] [--ls T]\n"
      "                [--offset T] [--left|--right] [--extra T]... [--export FILE] [--save FILE]\n"
      "                [--export-cass FILE.dat] [--report FILE.pdf]\n"
      "Fields start from the window's defaults; --open reads a [qxzb] parameter file first. The\n"
      "curve is computed, then one extra stake per --extra; the grid is printed as .ly lines.\n"
      "--export-cass writes the stakes as a CASS point list (点名,编码,Y(东),X(北),高程; GBK).\n"
      "Use --name=VALUE for values that begin with '-'.\n",
      {{"open"},        {"project"}, {"tabulator"},   {"zh-x"},      {"zh-y"},        {"jd-x"},
       {"jd-y"},        {"zh-station"}, {"alpha"},    {"radius"},    {"ls"},          {"offset"},
       {"left", false}, {"right", false}, {"extra", true, true}, {"export"}, {"export-cass"}, {"save"}, {"report"}}};
  return program;
}

// The options that set a field's text.
constexpr std::pair<const char*, std::string CurveFields::*> kFieldOptions[] = {
    {"project", &CurveFields::projectName}, {"tabulator", &CurveFields::tabulator},
    {"zh-x", &CurveFields::zhX},            {"zh-y", &CurveFields::zhY},
    {"jd-x", &CurveFields::jdX},            {"jd-y", &CurveFields::jdY},
    {"zh-station", &CurveFields::zhStation}, {"alpha", &CurveFields::alpha},
    {"radius", &CurveFields::radius},       {"ls", &CurveFields::ls},
    {"offset", &CurveFields::offset}};

}  // namespace

int RunCurveBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const coordinates::StakeBatchServices& services) {
  const survey::BatchProgram& program = CurveProgram();
  survey::ParsedOptions o;
  if (const std::optional<int> status = survey::StartBatch(program, args, o, out, err)) return *status;
  if (o.Has("left") && o.Has("right")) {
    err << program.name << ": --left and --right exclude each other\n";
    return 2;
  }
  if (!services.Usable(err)) return 2;

  // The file dialogs answer with the paths of the command line.
  survey::RecordingHost host;
  coordinates::MemoryStakeTable ownTable;
  coordinates::StakeTable& table = services.table ? *services.table : ownTable;
  CurveCoordinateForm form(host, table, *services.files, *services.report);
  const auto finish = [&] { return survey::FinishBatch(host, coordinates::LyText(form.grid()), out, err); };

  if (o.Has("open")) {
    host.openPath = o.Value("open");
    const coordinates::OpenedParameters opened = form.OpenParameters();
    if (opened.outcome == survey::Outcome::Status::Failed) {
      err << program.name << ": " << opened.path << ": " << opened.outcome.error << '\n';
      return 2;
    }
    if (host.Refused()) return finish();
  }
  CurveFields& fields = form.fields();
  for (const auto& [option, text] : kFieldOptions) {
    if (o.Has(option)) fields.*text = o.Value(option);
  }
  if (o.Has("left")) fields.turnLeft = true;
  if (o.Has("right")) fields.turnLeft = false;

  form.ComputeCurve();
  if (host.Refused()) return finish();
  for (const std::string& station : o.Values("extra")) {
    fields.extraStation = station;
    form.AddExtraStake();
    if (host.Refused()) return finish();
  }
  if (o.Has("export")) {
    host.savePath = o.Value("export");
    form.ExportGrid();
  }
  if (o.Has("export-cass") && !host.Refused()) {
    host.savePath = o.Value("export-cass");
    form.ExportGridAsCass();
  }
  if (o.Has("save") && !host.Refused()) {
    host.savePath = o.Value("save");
    form.SaveParameters();
  }
  if (o.Has("report") && !host.Refused()) {
    services.report->SetPdfFile(o.Value("report"));
    form.PrintReport();
  }
  return finish();
}

}  // namespace tallyfen
