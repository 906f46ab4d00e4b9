// The geometry and state logic of the floating button, free of any widget toolkit.
#pragma once

#include <array>

#include "fennick/ole_color.h"

namespace fennick {

enum class Look { Flat, Raised, Sunken };

// Colours of Line1 (top), Line2 (left), Line3 (bottom) and Line4 (right) for a look; the flat
// look paints every line in the surface's back colour, so the bevel disappears.
std::array<OleColor, 4> BevelColours(Look look, OleColor backColour);

// A horizontal or vertical line in pixels: it covers the pixels from (x, y) over `length`
// pixels to the right (horizontal) or downwards (vertical).
struct BevelLine {
  int x = 0;
  int y = 0;
  int length = 0;
  bool horizontal = true;
  friend bool operator==(const BevelLine&, const BevelLine&) = default;
};

// The surface's own frame is in twips, 15 to a pixel at 96 dpi; the bevel sits 7 twips in
// from the top and left and 8 twips in from the bottom and right, which lands each line on the
// outermost pixel row or column of the control.
inline constexpr int kTwipsPerPixel = 15;
std::array<BevelLine, 4> BevelLines(int widthPixels, int heightPixels);

// Offset that centres an element of size `inner` inside `outer` (negative when the element is
// larger: it then overhangs on both sides).
int CentreOffset(int outer, int inner);

// The pointer counts as over the control only strictly inside its rectangle, and only while
// the window under the pointer belongs to the control (another window on top hides it).
bool PointerInside(double x, double y, int width, int height, bool ownWindowUnderPointer);

// What one pointer report asks of the control.
struct HoverActions {
  bool showRaised = false;
  bool takeCapture = false;
  bool showFlat = false;
  bool releaseCapture = false;
  friend bool operator==(const HoverActions&, const HoverActions&) = default;
};

// Follows the pointer: raised while it is over the control, flat when it leaves. While it
// hovers the control holds the mouse capture, so it still hears the move that leaves it.
class HoverTracker {
 public:
  HoverActions Track(bool inside, bool holdsCapture);
  // Forgets the hover (the control is hidden or goes away): flat look and capture released
  // when it was hovering.
  HoverActions Leave();
  bool Hovering() const { return hovering_; }

 private:
  bool hovering_ = false;
};

}  // namespace fennick
