// The window's two drawings of the route, the plan and the profile.
#pragma once

#include "alignment/window/plan_view.h"
#include "alignment/window/profile_view.h"
