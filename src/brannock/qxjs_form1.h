// The window's earlier header and class name, kept for the screenshot tool until it names
// CurveDeflectionWindow itself.
#pragma once

#include "brannock/curve_deflection_window.h"

namespace brannock {
using qxjsForm1 = CurveDeflectionWindow;
}  // namespace brannock
