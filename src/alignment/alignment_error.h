// The one exception of the alignment core: a refusal of the input, with a message in Chinese that
// names the JD, element, line or station at fault. Nothing has been produced when it is thrown.
#pragma once

#include <stdexcept>
#include <string>

namespace survey::alignment {

class AlignmentError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace survey::alignment
