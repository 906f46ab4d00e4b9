// Twips, the unit the windows' layouts are drawn in: 15 to a pixel at the 96 dpi the layouts
// assume. One conversion for the whole suite, rounding half away from zero, so that a control
// and the label beside it never land a pixel apart.
#pragma once

namespace survey {

inline constexpr int kTwipsPerPixel = 15;

constexpr int TwipsToPixels(int twips) {
  const int half = kTwipsPerPixel / 2;
  return twips >= 0 ? (twips + half) / kTwipsPerPixel : -((-twips + half) / kTwipsPerPixel);
}

constexpr int PixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

}  // namespace survey
