// Inside the LandXML reader only: the XML parse with its bounds, and the small text helpers
// the reader and the parse share. Nothing outside alignment_core sees pugixml.
#pragma once

#include <pugixml.hpp>

#include <optional>
#include <string_view>
#include <vector>

namespace survey::alignment::landxml {

// Parses `bytes` (any declared or marked encoding glibc can decode, normalised to UTF-8) into
// `xml`. Refuses, in Chinese with the line and column, what is not well-formed XML, a file
// over the size or markup limits, and an encoding that cannot be decoded (named).
void ParseXml(std::string_view bytes, pugi::xml_document& xml);

// Files may put the LandXML namespace on a prefix ("lx:Alignment"); only the local name counts.
std::string_view LocalName(const pugi::xml_node& node);
pugi::xml_node Child(const pugi::xml_node& node, std::string_view name);
std::string_view Trim(std::string_view s);
// A finite decimal number and nothing else ("nan", "inf" and trailing text are not numbers).
std::optional<double> ParseNumber(std::string_view text);
// Words separated by blanks or commas.
std::vector<std::string_view> Words(std::string_view text);

}  // namespace survey::alignment::landxml
