#include "coordinates/file_commands.h"

#include "common/markup_escape.h"

namespace coordinates {

std::array<std::string, 10> ReportFormulaEntries(const ReportValues& values) {
  std::array<std::string, 10> entries;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    entries[i] = std::string(kReportValueNames[i]) + "=\"" + values[i] + "\"";
  }
  return entries;
}

std::string HtmlEscape(std::string_view text) { return survey::MarkupEscape(text); }

std::string FillReportLayout(std::string_view layout, const ReportValues& values) {
  std::string out;
  out.reserve(layout.size() + 256);
  std::size_t pos = 0;
  while (pos < layout.size()) {
    const std::size_t open = layout.find("{{", pos);
    if (open == std::string_view::npos) break;
    const std::size_t close = layout.find("}}", open + 2);
    if (close == std::string_view::npos) break;
    out.append(layout.substr(pos, open - pos));
    const std::string_view name = layout.substr(open + 2, close - open - 2);
    bool known = false;
    for (std::size_t i = 0; i < kReportValueNames.size(); ++i) {
      if (kReportValueNames[i] == name) {
        out += HtmlEscape(values[i]);
        known = true;
        break;
      }
    }
    if (!known) out.append(layout.substr(open, close + 2 - open));
    pos = close + 2;
  }
  out.append(layout.substr(pos));
  return out;
}

survey::FileRequest ParameterSaveRequest() {
  survey::FileRequest r;
  r.initialName = "坐标参数";
  r.filters = {{"默认导出格式(*.xq)", "*.xq"}, {"所有格式(*.*)", "*"}};
  return r;
}

survey::FileRequest ParameterOpenRequest() {
  survey::FileRequest r;
  r.initialName = "坐标参数";
  r.filters = {{"默认打开出格式(*.xq)", "*.xq"}, {"所有格式(*.*)", "*"}};
  return r;
}

survey::FileRequest ExportRequest(const std::string& initialName) {
  survey::FileRequest r;
  r.initialName = initialName;
  r.filters = {{"默认导出格式(*.ly)", "*.ly"}, {"所有格式(*.*)", "*"}};
  return r;
}

survey::Message FileDoneMessage(std::string_view text, const std::string& title) {
  survey::Message m;
  m.text = std::string(text);
  m.title = title;
  return m;
}

survey::Message WrongFileTypeMessage(const std::string& title) {
  survey::Message m = FileDoneMessage("文件类型出错", title);
  m.refusal = true;
  return m;
}

survey::Message WriteFailedMessage(std::string_view what, const std::string& path, const std::string& reason,
                                   const std::string& title) {
  survey::Message m;
  m.text = std::string(what) + "：" + path + "\r\n" + reason;
  m.title = title;
  m.icon = survey::MessageIcon::Exclamation;
  m.refusal = true;
  return m;
}

survey::Message ReportTooLongMessage(std::size_t rows, const std::string& title) {
  survey::Message m;
  m.text = "报表有" + std::to_string(rows) + "行，超过" + std::to_string(kMaxReportRows) +
           "行，无法打印。\r\n请加大点间距离或分段计算后打印。";
  m.title = title;
  m.icon = survey::MessageIcon::Exclamation;
  m.refusal = true;
  return m;
}

namespace {

survey::Outcome WriteWithMessages(survey::Host& host, TextFileStore& files, const std::string& path,
                                     std::string_view text, std::string_view done, std::string_view failed,
                                     const std::string& title) {
  survey::Outcome written;
  {
    survey::BusyScope busy(host);
    written = files.Write(path, text);
  }
  if (!written.ok()) {
    host.ShowMessage(WriteFailedMessage(failed, path, written.error, title));
    return survey::Outcome::Refused();
  }
  host.ShowMessage(FileDoneMessage(done, title));
  return survey::Outcome::Done();
}

}  // namespace

survey::Outcome SaveParameters(survey::Host& host, TextFileStore& files, ParameterKind kind,
                                  const std::vector<std::string>& values, const std::string& title) {
  // The busy pointer covers the file work, not the dialog the user is choosing in.
  const std::optional<std::string> path = host.AskSaveFile(ParameterSaveRequest());
  if (!path) return survey::Outcome::Cancelled();
  return WriteWithMessages(host, files, *path, ParameterFileText(kind, values), "保存成功", "保存失败", title);
}

OpenedParameters OpenParameters(survey::Host& host, TextFileStore& files, ParameterKind kind, const std::string& title) {
  OpenedParameters opened;
  const std::optional<std::string> path = host.AskOpenFile(ParameterOpenRequest());
  if (!path) return opened;
  opened.path = *path;
  std::optional<std::string> text;
  {
    survey::BusyScope busy(host);
    std::string error;
    text = files.Read(*path, &error);
    if (!text) opened.outcome = survey::Outcome::Failed(error);
  }
  if (!text) return opened;
  opened.content = ReadParameterFileText(kind, *text);
  switch (opened.content.outcome) {
    case ParameterFileContent::Outcome::Ok:
      opened.outcome = survey::Outcome::Done();
      host.ShowMessage(FileDoneMessage("打开文件成功", title));
      break;
    case ParameterFileContent::Outcome::WrongHeader:
      opened.outcome = survey::Outcome::Refused();
      host.ShowMessage(WrongFileTypeMessage(title));
      break;
    case ParameterFileContent::Outcome::Incomplete:
      opened.outcome = survey::Outcome::Failed("文件不完整");
      break;
  }
  return opened;
}

survey::Outcome ExportStakeRows(survey::Host& host, TextFileStore& files, const std::vector<StakeRecord>& rows,
                                   const std::string& initialName, const std::string& title) {
  const std::optional<std::string> path = host.AskSaveFile(ExportRequest(initialName));
  if (!path) return survey::Outcome::Cancelled();
  return WriteWithMessages(host, files, *path, LyText(rows), "导出成功", "导出失败", title);
}

}  // namespace coordinates
