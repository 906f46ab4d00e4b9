// The text encodings of field files: the CASS point list is GBK (what Chinese office and
// field software writes and reads); a file read may be UTF-8 or GBK. Conversion is the suite's
// one GBK converter (common/gbk_text.h); GBK is read as GB18030, its superset.
#pragma once

#include <string>
#include <string_view>

namespace survey::exchange {

// UTF-8 to GBK. A character GBK cannot hold is refused, never replaced (a name that turned
// into "?" could meet another one in the instrument): false, with `badAt` the offset in `utf8`
// of that character.
bool TryUtf8ToGbk(std::string_view utf8, std::string& gbk, std::size_t& badAt);

// The bytes of a file as UTF-8, the byte-order mark removed: bytes that are valid UTF-8 are
// UTF-8, others are read as GBK. Bytes that are neither are refused with their line.
std::string DecodeFieldText(std::string_view bytes);

}  // namespace survey::exchange
