#include "fennick/bevel.h"

#include <cmath>

namespace fennick {

std::array<OleColor, 4> BevelColours(Look look, OleColor backColour) {
  switch (look) {
    case Look::Raised:
      return {kWhite, kWhite, kBlack, kBlack};
    case Look::Sunken:
      return {kBlack, kBlack, kWhite, kWhite};
    case Look::Flat:
      break;
  }
  return {backColour, backColour, backColour, backColour};
}

namespace {

// Twips to the pixel that contains them.
int PixelOf(int twips) {
  return static_cast<int>(std::floor(static_cast<double>(twips) / kTwipsPerPixel));
}

}  // namespace

std::array<BevelLine, 4> BevelLines(int widthPixels, int heightPixels) {
  const int scaleLeft = 0;
  const int scaleTop = 0;
  const int scaleWidth = widthPixels * kTwipsPerPixel;
  const int scaleHeight = heightPixels * kTwipsPerPixel;
  const int width = PixelOf(scaleWidth) - PixelOf(scaleLeft);
  const int height = PixelOf(scaleHeight) - PixelOf(scaleTop);
  return {
      BevelLine{PixelOf(scaleLeft), PixelOf(scaleTop + 7), width, true},
      BevelLine{PixelOf(scaleLeft + 7), PixelOf(scaleTop), height, false},
      BevelLine{PixelOf(scaleLeft), PixelOf(scaleHeight - 8), width, true},
      BevelLine{PixelOf(scaleWidth - 8), PixelOf(scaleTop), height, false},
  };
}

int CentreOffset(int outer, int inner) {
  return static_cast<int>(std::floor(outer / 2.0 - inner / 2.0));
}

bool PointerInside(double x, double y, int width, int height, bool ownWindowUnderPointer) {
  return x > 0 && x < width && y > 0 && y < height && ownWindowUnderPointer;
}

HoverActions HoverTracker::Track(bool inside, bool holdsCapture) {
  HoverActions actions;
  if (inside) {
    if (!hovering_) {
      hovering_ = true;
      actions.showRaised = true;
    }
    actions.takeCapture = !holdsCapture;
    return actions;
  }
  return Leave();
}

HoverActions HoverTracker::Leave() {
  HoverActions actions;
  if (hovering_) {
    actions.showFlat = true;
    actions.releaseCapture = true;
  }
  hovering_ = false;
  return actions;
}

}  // namespace fennick
