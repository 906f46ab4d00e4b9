// The text layer of the PDFs the suite writes, so that copying or searching a page gives the
// characters printed on it.
//
// The PDF engine tells a reader which character each glyph stands for by looking the glyph up
// in the face's character map and taking the lowest code point that maps to it. The CJK faces
// map a Kangxi radical (U+2F00..U+2FD5) or a CJK radical supplement form (U+2E80..U+2EF3) onto
// the very glyph of the common ideograph, so 页, 角, 高, 长, 方, 目, 心 and 人 read back as the
// look-alikes ⻚ ⻆ ⾼ ⻓ ⽅ ⽬ ⼼ ⼈, which no search for 页 or 方位角 finds; and the blank reads
// back as a tab. Nobody prints a radical on a survey report, so the map is put right.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The ideograph whose glyph the radical `codePoint` shares in the CJK faces, or `codePoint`
// itself when it is no such radical. The blank for the tab.
char32_t PrintedCharacter(char32_t codePoint);

// Rewrites the ToUnicode maps of a PDF the engine wrote so that each glyph maps to the
// character printed, not to a radical or a tab. Every entry keeps its length (four hex digits
// for four), so object offsets and the cross-reference table stay valid.
void RepairToUnicodeMaps(std::string& pdf);

}  // namespace platform
