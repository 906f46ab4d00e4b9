// The file commands the two coordinate windows share: save and open of the ".xq" parameter
// file, export of the grid as a ".ly" file, and the report. They are written against
// survey::Host and two small seams (text files on disk, the report preview), so windows, batch
// modes and tests run the same code. Each window passes its own names (ParameterKind, export
// name, message title).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/host.h"
#include "common/services.h"
#include "coordinates/parameter_file.h"
#include "coordinates/stake_record.h"

namespace coordinates {

// Text files in the user's code page (GBK), written by atomic replace.
using survey::TextFileStore;

// The ten values handed to the report before each print, in entry order, under the names the
// layout files use: VarC (project name), alf (deflection α, degrees-minutes-seconds), zhydzh
// (ZH station), tt (tangent length T), r (radius R), zhydxy (ZH point "x: .. y: .."), jdxy (JD
// point, the same form), ls (transition length Ls), bzjl (边桩距离, side-stake offset) and zbname
// (制表人, who drew up the table). The straight-line calculator leaves all ten empty.
inline constexpr std::array<std::string_view, 10> kReportValueNames = {"VarC", "alf", "zhydzh", "tt", "r",
                                                                      "zhydxy", "jdxy", "ls", "bzjl", "zbname"};
using ReportValues = std::array<std::string, 10>;

// The formula entries as the report receives them: name, "=", the value in double quotes
// (VarC="" when the value is empty).
std::array<std::string, 10> ReportFormulaEntries(const ReportValues& values);

struct ReportData {
  ReportValues values;
  std::vector<StakeRecord> rows;
};

// Every stake report page is painted text by text: 10,000 rows (about 230 pages) take some
// 4 s; a larger table is refused, so that no report runs for minutes (batch_caps_bench).
inline constexpr std::size_t kMaxReportRows = 10000;
survey::Message ReportTooLongMessage(std::size_t rows, const std::string& title);

// Shows a report for printing (the preview window) or writes it as a PDF.
class ReportPrinter {
 public:
  virtual ~ReportPrinter() = default;
  // False with the reason when the report cannot be made (its layout file is missing, ...).
  virtual bool ShowReport(const ReportData& report, std::string* error) = 0;
};

// A report printer a batch mode can point at a PDF file instead of the preview.
class FileReportPrinter : public ReportPrinter {
 public:
  // Every later report is written to the PDF file at `path` (UTF-8) without a preview.
  virtual void SetPdfFile(const std::string& path) = 0;
};

// The layout file with every {{name}} placeholder of kReportValueNames replaced by its value,
// escaped for HTML. Unknown placeholders are left as they are.
std::string FillReportLayout(std::string_view layout, const ReportValues& values);
// Text escaped for HTML (&, <, >, ").
std::string HtmlEscape(std::string_view text);

// The dialogs of the file commands.
survey::FileRequest ParameterSaveRequest();
survey::FileRequest ParameterOpenRequest();
survey::FileRequest ExportRequest(const std::string& initialName);

inline constexpr std::string_view kStraightExportName = "直线坐标导出文件";
inline constexpr std::string_view kCurveExportName = "曲线坐标导出文件";

// Save: asks for a path, writes the parameter file, shows "保存成功" (or the failure with the
// file's name and the reason). `title` is the program's own message title.
survey::Outcome SaveParameters(survey::Host& host, TextFileStore& files, ParameterKind kind,
                                  const std::vector<std::string>& values, const std::string& title);

struct OpenedParameters {
  // Done: read, success shown; Cancelled: dialog cancelled; Refused: wrong file type, told;
  // Failed: unreadable or cut short, nothing shown (its reason is for batch modes).
  survey::Outcome outcome = survey::Outcome::Cancelled();
  std::string path;
  ParameterFileContent content;  // to be applied by the caller when outcome is Done
};

// Open: asks for a path and reads the whole file first. Only a complete file of the right kind
// is handed back (then "打开文件成功" is shown); a wrong header shows "文件类型出错"; a file that
// cannot be read or is cut short ends silently. The caller applies `content` only on Done,
// so an open either changes every field or none.
OpenedParameters OpenParameters(survey::Host& host, TextFileStore& files, ParameterKind kind, const std::string& title);

// Export: asks for a path (initial name `initialName`), writes one ".ly" line per row, shows
// "导出成功" (or the failure with the file's name and the reason).
survey::Outcome ExportStakeRows(survey::Host& host, TextFileStore& files, const std::vector<StakeRecord>& rows,
                                   const std::string& initialName, const std::string& title);

// The messages of the file commands.
survey::Message FileDoneMessage(std::string_view text, const std::string& title);  // "保存成功" ...
survey::Message WrongFileTypeMessage(const std::string& title);
survey::Message WriteFailedMessage(std::string_view what, const std::string& path, const std::string& reason,
                                   const std::string& title);

}  // namespace coordinates
