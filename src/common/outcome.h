// What a file write, a print or a program start reports back: one type for every such outcome
// of the suite, so that a window, a batch run and a test read it the same way.
#pragma once

#include <string>
#include <utility>

namespace survey {

struct Outcome {
  enum class Status {
    Done,
    Cancelled,  // the user closed a dialog: nothing happened, and that is not a failure
    Refused,    // not done, and a message has already told the user why
    Failed,     // not done; `error` says why and nobody has been told yet
  };
  Status status = Status::Done;
  std::string error;  // the reason, in the user's language, when Failed or Refused
  int code = 0;       // the number some failure messages show after the reason

  static Outcome Done() { return {}; }
  static Outcome Cancelled() { return {Status::Cancelled, {}, 0}; }
  static Outcome Refused(std::string reason = {}) { return {Status::Refused, std::move(reason), 0}; }
  static Outcome Failed(std::string reason, int code = 0) { return {Status::Failed, std::move(reason), code}; }

  bool ok() const { return status == Status::Done; }
  bool cancelled() const { return status == Status::Cancelled; }
  friend bool operator==(const Outcome& o, Status s) { return o.status == s; }
};

}  // namespace survey
