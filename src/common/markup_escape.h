// Text placed inside HTML or XML, in element content or a double-quoted attribute.
#pragma once

#include <string>
#include <string_view>

namespace survey {

// Escapes &, <, > and " so the text reads back as it was.
std::string MarkupEscape(std::string_view text);

}  // namespace survey
