// Colours as the host layouts store them: a 32-bit value that is either a plain RGB value
// laid out 0x00BBGGRR, or, with the high bit set, the index of a system colour that follows
// the desktop's palette.
#pragma once

#include <cstdint>

namespace fennick {

using OleColor = std::uint32_t;

inline constexpr OleColor kSystemColourFlag = 0x80000000u;
// System colour 15 and 18: the face and the text of a push button.
inline constexpr OleColor kButtonFace = 0x8000000Fu;
inline constexpr OleColor kButtonText = 0x80000012u;
inline constexpr OleColor kWhite = 0x00FFFFFFu;
inline constexpr OleColor kBlack = 0x00000000u;

constexpr bool IsSystemColour(OleColor c) { return (c & kSystemColourFlag) != 0; }
constexpr int SystemColourIndex(OleColor c) { return static_cast<int>(c & 0xFFu); }
constexpr int RedOf(OleColor c) { return static_cast<int>(c & 0xFFu); }
constexpr int GreenOf(OleColor c) { return static_cast<int>((c >> 8) & 0xFFu); }
constexpr int BlueOf(OleColor c) { return static_cast<int>((c >> 16) & 0xFFu); }
constexpr OleColor RgbColour(int r, int g, int b) {
  return static_cast<OleColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

}  // namespace fennick
