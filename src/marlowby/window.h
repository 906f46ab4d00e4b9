// The straight-line window under the header name the screenshot tool (src/tools) includes.
#pragma once

#include "marlowby/straight_line_window.h"
