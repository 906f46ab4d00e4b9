// `alignment report --table stakes|curves|sections --pdf OUT [--project NAME] ROUTE-OPTIONS ...`: the
// rows of the stakes or curves command printed to a PDF. It paints with Qt, so it is part of
// the program only where the window is, and runs on the offscreen platform.
#include "alignment/cli/report.h"

#include <QFileInfo>
#include <QString>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>

#include "alignment/alignment_error.h"
#include "alignment/cli/check_report.h"
#include "alignment/cli/commands.h"
#include "alignment/cli/program.h"
#include "alignment/cli/section_report.h"
#include "alignment/output_guard.h"
#include "alignment/row_layout.h"
#include "alignment/window/report.h"
#include "platform/qt_host.h"

namespace survey::alignment::cli {

namespace {

int RefuseReport(const std::string& message) {
  std::cerr << "alignment: " << message << '\n';
  return 2;
}

}  // namespace

int RunReport(const std::vector<std::string>& args) {
  std::string table, pdf, project;
  std::vector<std::string> rest;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto take = [&](const std::string& name, std::string& into) {
      if (a == "--" + name) {
        if (i + 1 >= args.size()) return false;
        into = args[++i];
        return true;
      }
      if (a.rfind("--" + name + "=", 0) == 0) {
        into = a.substr(name.size() + 3);
        return true;
      }
      return false;
    };
    if (take("table", table) || take("pdf", pdf) || take("project", project)) continue;
    rest.push_back(a);
  }
  if (table != "stakes" && table != "curves" && table != "sections" && table != "check") {
    return RefuseReport("report 命令需要 --table stakes、--table curves、--table sections 或 --table check。");
  }
  if (pdf.empty()) return RefuseReport("report 命令需要 --pdf 文件名。");
  bool degrees = false;
  for (const std::string& a : rest) degrees = degrees || a == "--degrees";
  if (project.empty()) {
    for (std::size_t i = 0; i < rest.size(); ++i) {
      for (const char* source : {"--jd", "--elements", "--landxml"}) {
        const std::string s = source;
        if (rest[i] == s && i + 1 < rest.size()) project = QFileInfo(platform::ToQString(rest[i + 1])).completeBaseName().toStdString();
        if (rest[i].rfind(s + "=", 0) == 0) {
          project = QFileInfo(platform::ToQString(rest[i].substr(s.size() + 1))).completeBaseName().toStdString();
        }
      }
    }
  }
  // The PDF must not replace a file the report is computed from.
  std::vector<std::string> inputs;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    for (const char* name : kInputFileOptions) {
      const std::string option = std::string("--") + name;
      if (rest[i] == option && i + 1 < rest.size()) inputs.push_back(rest[i + 1]);
      if (rest[i].rfind(option + "=", 0) == 0) inputs.push_back(rest[i].substr(option.size() + 1));
    }
  }
  try {
    RefuseOutputOverInput("pdf", pdf, inputs);
  } catch (const AlignmentError& e) {
    return RefuseReport(e.what());
  }
  if (table == "sections") return RunSectionsReport(rest, pdf, project);
  if (table == "check") return RunCheckReport(rest, pdf, project);
  // Rows beyond the report's cap are only counted: a stake list of millions is refused with its
  // count without being held or laid out.
  std::shared_ptr<ResultTable> rows;
  std::function<std::size_t(CommandContext&)> collect;
  if (table == "stakes") {
    collect = [&](CommandContext& ctx) {
      const StakeRun run = ReadStakeRun(ctx);
      const bool withProfile = run.design->profile.has_value();
      rows = std::make_shared<ResultTable>(ResultTable::Kind::Stakes, layout::StakeKeys(run.offsetLabels, withProfile),
                                           CellFormat{ctx.format.decimals, ctx.format.angles});
      rows->withProfile = withProfile;
      std::size_t count = 0;
      ForEachStakeRow(*run.design, run.query, [&](const StakeRow& row) {
        if (++count <= kMaxReportRows) rows->stakes.push_back(row);
      });
      return count;
    };
  } else {
    collect = [&](CommandContext& ctx) {
      const Route& route = CurvesRoute(ctx);
      rows = std::make_shared<ResultTable>(ResultTable::Kind::Curves, layout::CurveKeys(),
                                           CellFormat{ctx.format.decimals, ctx.format.angles});
      rows->curves = CurveOrJdRows(route);
      return rows->curves.size();
    };
  }
  return PrintCommandRows(table, rest, pdf, collect, [&] {
    return window::MakeReportTable(table == "stakes" ? window::ReportKind::Stakes : window::ReportKind::Curves, *rows,
                                   platform::ToQString(project), degrees);
  });
}

int PrintCommandRows(const std::string& command, const std::vector<std::string>& options, const std::string& pdf,
                     const std::function<std::size_t(CommandContext& ctx)>& collect,
                     const std::function<window::ReportTable()>& table) {
  CommandTable program = AlignmentCommandLine();
  std::optional<std::size_t> rowCount;
  program.SetRun(command, [&](CommandContext& ctx) { rowCount = collect(ctx); });
  std::vector<std::string> args = {command};
  args.insert(args.end(), options.begin(), options.end());
  std::ostringstream out, err;
  const int status = program.Run(args, out, err);
  std::cerr << err.str();  // the refusal, or the notes of a LandXML import
  if (status != 0) return 2;
  // --help among the options: the command printed its help, not rows.
  if (!rowCount) return RefuseReport("report 命令打印表格，不显示帮助；选项见 alignment --help。");
  if (*rowCount > kMaxReportRows) return RefuseReport(ReportTooLongText(*rowCount));
  QString error;
  if (!window::WriteReportPdf(table(), platform::ToQString(pdf), &error)) return RefuseReport(error.toStdString());
  return 0;
}

}  // namespace survey::alignment::cli
