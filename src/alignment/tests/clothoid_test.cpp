#include "alignment/clothoid.h"

#include <gtest/gtest.h>
