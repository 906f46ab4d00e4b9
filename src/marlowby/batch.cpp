#include "marlowby/batch.h"

#include "common/batch_cli.h"
#include "marlowby/straight_line_form.h"

namespace marlowby {

namespace {

constexpr char kUsage[] =
    "usage: marlowby [--batch] [--open FILE] [--start-x T] [--start-y T] [--forward-x T] [--forward-y T]\n"
    "                [--interval T] [--offset T] [--start-station T] [--end-station T] [--skew T]\n"
    "                [--extra T]... [--export FILE] [--export-cass FILE.dat] [--save FILE]\n"
    "                [--report FILE.pdf]\n"
    "Computes the stakes of a straight line from the window's default fields, changed by the\n"
    "options (Text1..Text8, Text10), then one extra stake per --extra, and prints the .ly lines.\n"
    "--export-cass writes the stakes as a CASS point list (点名,编码,Y(东),X(北),高程; GBK).\n"
    "Use --name=VALUE for values that begin with '-'.\n";

// The options that set a field, in the order of the window's fields.
constexpr struct {
  const char* option;
  std::string StraightLineFields::*field;
} kFieldOptions[] = {{"start-x", &StraightLineFields::startX},
                     {"start-y", &StraightLineFields::startY},
                     {"forward-x", &StraightLineFields::forwardX},
                     {"forward-y", &StraightLineFields::forwardY},
                     {"interval", &StraightLineFields::interval},
                     {"offset", &StraightLineFields::offset},
                     {"start-station", &StraightLineFields::startStation},
                     {"end-station", &StraightLineFields::endStation},
                     {"skew", &StraightLineFields::skew}};

survey::BatchProgram Program() {
  survey::BatchProgram program{"marlowby", kUsage,
                               {{"batch", false, false},
                                {"help", false, false},
                                {"open", true, false},
                                {"extra", true, true},
                                {"export", true, false},
                                {"export-cass", true, false},
                                {"save", true, false},
                                {"report", true, false}}};
  for (const auto& [option, field] : kFieldOptions) program.options.push_back({option, true, false});
  return program;
}

}  // namespace

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const coordinates::StakeBatchServices& services) {
  survey::ParsedOptions options;
  if (const std::optional<int> status = survey::StartBatch(Program(), args, options, out, err)) return *status;
  if (!services.Usable(err)) return 2;
  coordinates::MemoryStakeTable ownTable;
  coordinates::StakeTable& table = services.table ? *services.table : ownTable;
  survey::RecordingHost host;
  StraightLineForm form(host, table, *services.files, *services.report);
  form.ReloadGrid();

  // Every step stops the run at the first refusal, as a user would stop at a message box.
  const auto finish = [&](const std::string& output) {
    form.ClearStakeTable();
    return survey::FinishBatch(host, output, out, err);
  };

  if (options.Has("open")) {
    host.openPath = options.Value("open");
    if (form.OpenParameters() == survey::Outcome::Status::Failed) {
      // The window ends such an open silently; a script must hear of it.
      form.ClearStakeTable();
      err << "marlowby: 无法打开参数文件 " << form.LastOpenError() << '\n';
      return 2;
    }
    if (host.Refused()) return finish({});
  }
  for (const auto& [option, field] : kFieldOptions) {
    if (options.Has(option)) form.fields().*field = options.Value(option);
  }

  form.ComputeStraightLine();
  if (host.Refused()) return finish({});
  for (const std::string& extra : options.Values("extra")) {
    form.fields().extraStation = extra;
    form.AddExtraStake();
    if (host.Refused()) return finish({});
  }
  if (options.Has("export")) {
    host.savePath = options.Value("export");
    form.ExportGrid();
    if (host.Refused()) return finish({});
  }
  if (options.Has("export-cass")) {
    host.savePath = options.Value("export-cass");
    form.ExportGridAsCass();
    if (host.Refused()) return finish({});
  }
  if (options.Has("save")) {
    host.savePath = options.Value("save");
    form.SaveParameters();
    if (host.Refused()) return finish({});
  }
  if (options.Has("report")) {
    services.report->SetPdfFile(options.Value("report"));
    form.PrintReport();
    if (host.Refused()) return finish({});
  }
  return finish(coordinates::LyText(form.GridRows()));
}

}  // namespace marlowby
