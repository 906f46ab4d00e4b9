// A refused exchange file or value. The message is the user's (Chinese) and, for a file that
// is read, begins with the line it names ("第 12 行：…").
#pragma once

#include <stdexcept>
#include <string>

namespace survey::exchange {

class ExchangeError : public std::runtime_error {
 public:
  explicit ExchangeError(const std::string& message, int line = 0) : std::runtime_error(message), line_(line) {}
  // The line of the file the refusal names; 0 when it names none.
  int Line() const { return line_; }

 private:
  int line_;
};

// "第 12 行："
inline std::string LinePrefix(int line) { return "第 " + std::to_string(line) + " 行："; }

[[noreturn]] inline void RefuseLine(int line, const std::string& what) {
  throw ExchangeError(LinePrefix(line) + what, line);
}

}  // namespace survey::exchange
