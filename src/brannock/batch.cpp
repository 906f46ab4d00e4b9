#include "brannock/batch.h"

#include <QDate>
#include <iostream>

#include "brannock/form.h"
#include "brannock/qxjs_form1.h"
#include "common/batch_cli.h"
#include "platform/text_files.h"

namespace brannock {

namespace {

constexpr const char* kUsage =
    "用法 Usage: brannock --jd JD --alpha ALPHA --radius R [--ls LS] [--date yy-M-d] [--extra STATION]... "
    "[--save FILE] [--pdf FILE]\n"
    "  ALPHA is packed D.MMSS (88.2222 = 88°22′22″); LS defaults to 0 (no transitions).\n"
    "  The report goes to stdout; --save writes the saved-report file (GBK) as the window's save does;\n"
    "  --pdf prints one copy of the report to a PDF file as the window's print command does.\n";

}  // namespace

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const survey::ParsedOptions o = survey::ParseOptions(
      args, {{"jd"}, {"alpha"}, {"radius"}, {"ls"}, {"date"}, {"extra", true, true}, {"save"}, {"pdf"}, {"help", false}});
  if (!o.error.empty()) {
    err << o.error << "\n" << kUsage;
    return 2;
  }
  if (o.Has("help")) {
    out << kUsage;
    return 0;
  }
  const QDate today = QDate::currentDate();
  Form form;
  form.Text1 = o.Value("jd");
  form.Text2 = o.Value("alpha");
  form.Text3 = o.Value("radius");
  form.Text4 = o.Value("ls", "0");
  form.Text7 = o.Value("date", DateFieldText(today.year(), today.month(), today.day()));
  form.writeTextFile = [](const std::string& path, const std::string& utf8) {
    const survey::Outcome w = platform::WriteGbkFile(path, utf8);
    return Outcome{w.ok(), false, w.error, w.ok() ? 0 : 1};
  };

  survey::RecordingHost host;
  if (form.Command1_Click(host)) {
    for (const std::string& extra : o.Values("extra")) {
      form.Text5 = extra;
      if (!form.Command2_Click(host)) break;
    }
    if (!host.Refused() && o.Has("save")) {
      host.savePath = o.Value("save");
      form.Command7_Click(host);
    }
    if (!host.Refused() && o.Has("pdf")) {
      form.printText = [path = o.Value("pdf")](const std::string& text) { return PrintReportToPdf(path, text); };
      form.Command4_Click(host);
    }
  }
  return survey::FinishBatch(host, form.report, out, err);
}

int RunBatch(const std::vector<std::string>& args) { return RunBatch(args, std::cout, std::cerr); }

}  // namespace brannock
