#include "marlowby/batch.h"

#include <QString>
#include <iostream>

#include "common/batch_cli.h"
#include "coordinates/gbk_text_files.h"
#include "coordinates/report_printing.h"
#include "coordinates/stake_table_store.h"
#include "marlowby/form.h"

namespace marlowby {

namespace {

constexpr char kUsage[] =
    "usage: marlowby [--batch] [--open FILE] [--start-x T] [--start-y T] [--forward-x T] [--forward-y T]\n"
    "                [--interval T] [--offset T] [--start-station T] [--end-station T] [--skew T]\n"
    "                [--extra T]... [--export FILE] [--save FILE] [--report FILE.pdf]\n"
    "Computes the stakes of a straight line from the window's default fields, changed by the\n"
    "options (Text1..Text8, Text10), then one extra stake per --extra, and prints the .ly lines.\n"
    "Use --name=VALUE for values that begin with '-'.\n";

// Field options in the order of the window's fields.
const std::pair<const char*, int> kFieldOptions[] = {
    {"start-x", 1},       {"start-y", 2},     {"forward-x", 3}, {"forward-y", 4}, {"interval", 5},
    {"offset", 6},        {"start-station", 7}, {"end-station", 8}, {"skew", 10}};

}  // namespace

int RunBatch(const std::vector<std::string>& args) {
  std::vector<survey::AcceptedOption> specs = {{"batch", false, false}, {"help", false, false}, {"open", true, false},
                                           {"extra", true, true},   {"export", true, false}, {"save", true, false},
                                           {"report", true, false}};
  for (const auto& [name, field] : kFieldOptions) specs.push_back({name, true, false});
  const survey::ParsedOptions options = survey::ParseOptions(args, specs);
  if (!options.error.empty()) {
    std::cerr << "marlowby: " << options.error << '\n' << kUsage;
    return 2;
  }
  if (options.Has("help")) {
    std::cout << kUsage;
    return 0;
  }

  // A table of its own, in memory: emptying it at the end must not empty the table of a window
  // that is open at the same time, and a killed run leaves nothing behind on disk.
  coordinates::SqliteStakeTable table(QStringLiteral(":memory:"));
  if (!table.IsOpen()) {
    std::cerr << table.LastError() << '\n';
    return 2;
  }
  survey::RecordingHost host;
  coordinates::GbkTextFileStore files;
  coordinates::QtReportPrinter printer(nullptr,
                                       coordinates::ReportLayoutPath(QStringLiteral("marlowby"), QStringLiteral("zxzb.html")));
  Form form(host, table, files, printer);
  form.Form_Load();

  // Every step stops the run at the first refusal, as a user would stop at a message box.
  const auto finish = [&](const std::string& output) {
    form.Form_Unload();
    return survey::FinishBatch(host, output, std::cout, std::cerr);
  };

  if (options.Has("open")) {
    host.openPath = options.Value("open");
    const survey::Outcome opened = form.KestrelCommand5_Click();
    if (opened == survey::Outcome::Status::Failed) {
      // The window ends such an open silently; a script must hear of it.
      form.Form_Unload();
      std::cerr << "marlowby: 无法打开参数文件 " << form.LastOpenError() << '\n';
      return 2;
    }
    if (host.Refused()) return finish({});
  }
  for (const auto& [name, field] : kFieldOptions) {
    if (options.Has(name)) form.Text(field) = options.Value(name);
  }

  form.KestrelCommand1_Click();
  if (host.Refused()) return finish({});
  for (const std::string& extra : options.Values("extra")) {
    form.Text(9) = extra;
    form.KestrelCommand4_Click();
    if (host.Refused()) return finish({});
  }
  if (options.Has("export")) {
    host.savePath = options.Value("export");
    form.KestrelCommand3_Click();
    if (host.Refused()) return finish({});
  }
  if (options.Has("save")) {
    host.savePath = options.Value("save");
    form.KestrelCommand6_Click();
    if (host.Refused()) return finish({});
  }
  if (options.Has("report")) {
    printer.SetPdfPath(QString::fromStdString(options.Value("report")));
    form.KestrelCommand2_Click();
    if (host.Refused()) return finish({});
  }
  return finish(coordinates::LyText(form.GridRows()));
}

}  // namespace marlowby
