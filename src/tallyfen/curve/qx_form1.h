// Transitional: the launcher and the screenshot tool still include the window under this name.
// Remove once they include curve_coordinate_window.h and name CurveCoordinateWindow.
#pragma once

#include "tallyfen/curve/curve_coordinate_window.h"

namespace tallyfen {
using QxForm1 = CurveCoordinateWindow;
}
