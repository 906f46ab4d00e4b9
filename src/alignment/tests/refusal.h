// The message a call is refused with, or "(accepted)".
#pragma once

#include <string>

#include "alignment/alignment_error.h"

namespace survey::alignment {

template <class F>
std::string RefusalOf(F&& f) {
  try {
    f();
  } catch (const AlignmentError& e) {
    return e.what();
  }
  return "(accepted)";
}

}  // namespace survey::alignment
