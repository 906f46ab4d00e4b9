// Window layouts kept in twips, as the forms were first drawn (15 twips to a pixel at 96 dpi).
#pragma once

#include <QRect>

#include "common/twips.h"

namespace platform {

// A rectangle given in twips, in pixels; each of the four values is rounded on its own.
inline QRect Twips(int left, int top, int width, int height) {
  return {survey::TwipsToPixels(left), survey::TwipsToPixels(top), survey::TwipsToPixels(width),
          survey::TwipsToPixels(height)};
}

}  // namespace platform
