// Transitional: the window's earlier header name, kept only until the developer tools
// (src/tools/window_shots.cpp) include deflection_window.h; then this file goes.
#pragma once

#include "dovetree/deflection_window.h"

namespace dovetree {
using HhForm1 = DeflectionWindow;
}  // namespace dovetree
