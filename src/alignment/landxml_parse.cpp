#include <iconv.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>

#include "alignment/alignment_error.h"
#include "alignment/landxml_reader.h"
#include "alignment/landxml_xml.h"

namespace survey::alignment::landxml {

namespace {

// ---- memory budget -------------------------------------------------------------------
// pugixml spends about 70 bytes per node, so a file of tiny elements needs many times its
// own size. Its allocations go through these two functions, which refuse to go past the
// budget; the parse then fails with "out of memory" and is refused instead of exhausting
// the machine. The budget holds the parser's copy of a file at the size limit and the nodes
// of the markup limit.
constexpr std::size_t kParseMemoryBudget = 320u * 1024u * 1024u;
constexpr std::size_t kHeader = alignof(std::max_align_t);
std::atomic<std::size_t> g_parserBytes{0};

void* BudgetedAllocate(std::size_t size) {
  const std::size_t total = g_parserBytes.fetch_add(size + kHeader) + size + kHeader;
  if (total > kParseMemoryBudget) {
    g_parserBytes.fetch_sub(size + kHeader);
    return nullptr;
  }
  auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
  if (block == nullptr) {
    g_parserBytes.fetch_sub(size + kHeader);
    return nullptr;
  }
  std::memcpy(block, &size, sizeof size);
  return block + kHeader;
}

void BudgetedDeallocate(void* pointer) {
  if (pointer == nullptr) return;
  auto* block = static_cast<unsigned char*>(pointer) - kHeader;
  std::size_t size = 0;
  std::memcpy(&size, block, sizeof size);
  g_parserBytes.fetch_sub(size + kHeader);
  std::free(block);
}

void InstallBudget() {
  static std::once_flag once;
  std::call_once(once, [] { pugi::set_memory_management_functions(BudgetedAllocate, BudgetedDeallocate); });
}

// ---- encodings -------------------------------------------------------------------------
std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The encoding named in the XML declaration, empty when there is none.
std::string DeclaredEncoding(std::string_view bytes) {
  if (bytes.substr(0, 5) != "<?xml") return {};
  const std::string_view declaration = bytes.substr(0, bytes.find("?>"));
  const std::size_t at = declaration.find("encoding");
  if (at == std::string_view::npos) return {};
  std::size_t i = at + 8;
  while (i < declaration.size() && (declaration[i] == ' ' || declaration[i] == '=' || declaration[i] == '\t')) ++i;
  if (i >= declaration.size() || (declaration[i] != '"' && declaration[i] != '\'')) return {};
  const std::size_t close = declaration.find(declaration[i], i + 1);
  if (close == std::string_view::npos) return {};
  return std::string(declaration.substr(i + 1, close - i - 1));
}

struct IconvCloser {
  void operator()(iconv_t* cd) const {
    iconv_close(*cd);
    delete cd;
  }
};

// The text in UTF-8; refuses an encoding glibc does not know and bytes that are not in it.
std::string DecodeToUtf8(std::string_view bytes, const std::string& encoding) {
  // GBK and GB2312 are subsets of GB18030; reading them all as GB18030 also takes the
  // characters some writers add beyond the declared set.
  const std::string lower = Lower(encoding);
  const std::string from = lower == "gbk" || lower == "gb2312" || lower == "cp936" || lower == "gb18030" ? "GB18030" : encoding;
  iconv_t cd = iconv_open("UTF-8", from.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    throw AlignmentError("LandXML 文件声明的编码“" + encoding + "”无法识别，请另存为 UTF-8 后再读取。");
  }
  const std::unique_ptr<iconv_t, IconvCloser> closer(new iconv_t(cd));
  std::string out(bytes.size() * 2 + 16, '\0');
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* outAt = out.data();
  std::size_t outLeft = out.size();
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &outAt, &outLeft) != static_cast<std::size_t>(-1)) continue;
    if (errno == E2BIG) {
      const std::size_t used = static_cast<std::size_t>(outAt - out.data());
      out.resize(out.size() * 2);
      outAt = out.data() + used;
      outLeft = out.size() - used;
      continue;
    }
    const std::size_t position = bytes.size() - inLeft;
    throw AlignmentError("LandXML 文件第 " + std::to_string(position) + " 字节处的内容不是声明的编码“" + encoding +
                         "”（文件损坏或声明有误）。");
  }
  out.resize(static_cast<std::size_t>(outAt - out.data()));
  return out;
}

// UTF-8 (a BOM dropped) as the parser is to read it: a byte-order mark or a declared
// encoding other than UTF-8 is decoded first, so parse errors can name lines and columns.
std::optional<std::string> NormalisedText(std::string_view bytes) {
  const auto starts = [&](std::string_view prefix) { return bytes.substr(0, prefix.size()) == prefix; };
  using namespace std::string_view_literals;
  if (starts("\xEF\xBB\xBF"sv)) return std::string(bytes.substr(3));
  if (starts("\x00\x00\xFE\xFF"sv)) return DecodeToUtf8(bytes.substr(4), "UTF-32BE");
  if (starts("\xFF\xFE\x00\x00"sv)) return DecodeToUtf8(bytes.substr(4), "UTF-32LE");
  if (starts("\xFE\xFF"sv)) return DecodeToUtf8(bytes.substr(2), "UTF-16BE");
  if (starts("\xFF\xFE"sv)) return DecodeToUtf8(bytes.substr(2), "UTF-16LE");
  const std::string encoding = DeclaredEncoding(bytes);
  const std::string lower = Lower(encoding);
  if (lower.empty() || lower == "utf-8" || lower == "utf8" || lower == "us-ascii" || lower == "ascii" ||
      lower.starts_with("utf-16") || lower.starts_with("utf-32")) {
    return std::nullopt;   // read as it is
  }
  return DecodeToUtf8(bytes, encoding);
}

// ---- errors ----------------------------------------------------------------------------
const char* Reason(pugi::xml_parse_status status) {
  switch (status) {
    case pugi::status_unrecognized_tag: return "无法识别的标记";
    case pugi::status_bad_pi: return "XML 声明或处理指令（<?…?>）有误";
    case pugi::status_bad_comment: return "注释（<!--…-->）有误";
    case pugi::status_bad_cdata: return "CDATA 段有误";
    case pugi::status_bad_doctype: return "文档类型声明（<!DOCTYPE…>）有误";
    case pugi::status_bad_pcdata: return "元素的文字内容有误";
    case pugi::status_bad_start_element: return "开始标签有误";
    case pugi::status_bad_attribute: return "属性有误（缺少等号或引号？）";
    case pugi::status_bad_end_element: return "结束标签有误";
    case pugi::status_end_element_mismatch: return "结束标签与开始标签不配对";
    default: return "无法解析";
  }
}

// "第 L 行第 C 列", C counted in characters.
std::string Position(std::string_view text, std::ptrdiff_t offset) {
  const std::size_t end = std::min(text.size(), static_cast<std::size_t>(std::max<std::ptrdiff_t>(offset, 0)));
  std::size_t line = 1, column = 1;
  for (std::size_t i = 0; i < end; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\n') {
      ++line;
      column = 1;
    } else if ((c & 0xC0) != 0x80) {
      ++column;
    }
  }
  return "第 " + std::to_string(line) + " 行第 " + std::to_string(column) + " 列";
}

std::string ParseFailure(const pugi::xml_parse_result& result, std::string_view text) {
  if (result.status == pugi::status_out_of_memory) return "LandXML 文件的元素过多，解析所需内存超出限制。";
  if (result.status == pugi::status_no_document_element) return "LandXML 文件是空的（没有 XML 元素）。";
  // An error in the file's last few bytes is an end that came too early, whatever the
  // parser was reading at the time.
  constexpr std::ptrdiff_t kTail = 64;
  if (result.offset + kTail >= static_cast<std::ptrdiff_t>(text.size())) {
    return "LandXML 文件在结尾处不完整（可能被截断），" + Position(text, result.offset) + "。";
  }
  return "LandXML 文件不是合法的 XML：" + Position(text, result.offset) + "，" + Reason(result.status) + "。";
}

}  // namespace

void ParseXml(std::string_view bytes, pugi::xml_document& xml) {
  if (bytes.size() > kLandXmlMaxBytes) {
    throw AlignmentError("LandXML 文件超过 " + std::to_string(kLandXmlMaxBytes >> 20) + " MB，拒绝读取。");
  }
  // Every node starts with "<" and every attribute has its "=", so counting them bounds the
  // parser's work and memory before it starts: a file of millions of tiny elements or of one
  // element with millions of attributes is refused at once instead of after seconds.
  const auto markup = std::count_if(bytes.begin(), bytes.end(), [](char c) { return c == '<' || c == '='; });
  if (markup > static_cast<std::ptrdiff_t>(kLandXmlMaxMarkup)) {
    throw AlignmentError("LandXML 文件的元素和属性超过 " + std::to_string(kLandXmlMaxMarkup / 1'000'000) +
                         " 百万个，拒绝读取。");
  }
  const std::optional<std::string> decoded = NormalisedText(bytes);
  const std::string_view text = decoded ? std::string_view(*decoded) : bytes;
  InstallBudget();
  // DOCTYPE declarations are skipped, not processed, and only the five predefined entities
  // and character references are expanded: no entity expansion can grow the document, and
  // nothing outside the file is fetched.
  constexpr unsigned kOptions = pugi::parse_cdata | pugi::parse_escapes | pugi::parse_wconv_attribute | pugi::parse_eol;
  const pugi::xml_parse_result result = xml.load_buffer(text.data(), text.size(), kOptions, pugi::encoding_utf8);
  if (!result) throw AlignmentError(ParseFailure(result, text));
}

std::string_view LocalName(const pugi::xml_node& node) {
  std::string_view name = node.name();
  const std::size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

pugi::xml_node Child(const pugi::xml_node& node, std::string_view name) {
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
    if (c.type() == pugi::node_element && LocalName(c) == name) return c;
  }
  return {};
}

std::string_view Trim(std::string_view s) {
  const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  while (!s.empty() && space(s.front())) s.remove_prefix(1);
  while (!s.empty() && space(s.back())) s.remove_suffix(1);
  return s;
}

std::optional<double> ParseNumber(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ','; };
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && space(text[i])) ++i;
    std::size_t j = i;
    while (j < text.size() && !space(text[j])) ++j;
    if (j > i) words.push_back(text.substr(i, j - i));
    i = j;
  }
  return words;
}

}  // namespace survey::alignment::landxml
