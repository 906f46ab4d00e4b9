// For benchmarks and fuzzers: an output that counts and drops what is written to it, so a run
// of millions of rows measures the command, not the holding of its text.
#pragma once

#include <cstddef>
#include <streambuf>

namespace survey::testing {

class CountingBuffer : public std::streambuf {
 public:
  std::size_t bytes = 0;

 protected:
  std::streamsize xsputn(const char*, std::streamsize n) override {
    bytes += static_cast<std::size_t>(n);
    return n;
  }
  int_type overflow(int_type c) override {
    ++bytes;
    return c;
  }
};

}  // namespace survey::testing
