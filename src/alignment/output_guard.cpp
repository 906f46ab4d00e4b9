#include "alignment/output_guard.h"

#include <sys/stat.h>

#include <algorithm>

#include "alignment/alignment_error.h"

namespace survey::alignment {

std::vector<std::string> InputFiles(const ParsedOptions& options) {
  std::vector<std::string> files;
  for (const char* name : kInputFileOptions) {
    for (const std::string& value : options.Values(name)) files.push_back(value);
  }
  return files;
}

void RefuseOutputOverInput(const std::string& option, const std::string& output,
                           const std::vector<std::string>& inputs) {
  struct stat out {};
  if (::stat(output.c_str(), &out) != 0) return;  // a new file is no input
  for (const std::string& input : inputs) {
    struct stat in {};
    if (::stat(input.c_str(), &in) == 0 && in.st_dev == out.st_dev && in.st_ino == out.st_ino) {
      throw AlignmentError("--" + option + " 的输出文件“" + output + "”就是输入文件“" + input +
                           "”，写入会毁掉输入；请另选输出文件名。");
    }
  }
}

std::string ReportTooLongText(std::size_t rows) {
  return "报表有" + std::to_string(rows) + "行，超过" + std::to_string(kMaxReportRows) +
         "行，无法打印。\n请加大点间距离或分段计算后打印。";
}

std::streamsize LineCappedBuffer::xsputn(const char* data, std::streamsize n) {
  const char* end = data + n;
  for (const char* p = data; p < end;) {
    const char* newline = std::find(p, end, '\n');
    if (lines_ < keep_) kept_.append(p, static_cast<std::size_t>((newline < end ? newline + 1 : end) - p));
    if (newline == end) break;
    ++lines_;
    p = newline + 1;
  }
  return n;
}

LineCappedBuffer::int_type LineCappedBuffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char ch = traits_type::to_char_type(c);
  xsputn(&ch, 1);
  return c;
}

}  // namespace survey::alignment
