// The one exception of the transform core: a refusal of the input, with a message in Chinese
// that names the option, the line or the point at fault. Nothing has been written when it is
// thrown.
#pragma once

#include <stdexcept>
#include <string>

namespace survey::transform {

class TransformError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

[[noreturn]] inline void Refuse(const std::string& message) { throw TransformError(message); }

}  // namespace survey::transform
