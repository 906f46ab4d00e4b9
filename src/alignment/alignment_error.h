// The one exception of the alignment core: a refusal of the input, with a message in Chinese that
// names the JD, element, line or station at fault. Nothing has been produced when it is thrown.
#pragma once

#include <stdexcept>
#include <string>

namespace survey::alignment {

class AlignmentError : public std::runtime_error {
 public:
  explicit AlignmentError(const std::string& message, int line = 0) : std::runtime_error(message), line_(line) {}

  // The line of the table the message names, counted in the file from 1 as the message counts
  // it (the header line included); 0 when the refusal names no line of a table. A window that
  // shows the table as a grid marks its row from this, never from the message's words.
  int Line() const { return line_; }

 private:
  int line_ = 0;
};

}  // namespace survey::alignment
