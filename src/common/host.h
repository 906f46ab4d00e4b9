// The seam between a window's handlers and the outside world.
//
// A program's form state and handlers are written against Host: the window implements it
// with dialogs, batch mode with the command line and stderr, tests with RecordingHost.
// So a click, a script and a test all run the same handler code.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/outcome.h"

namespace survey {

enum class MessageIcon { None, Critical, Question, Exclamation, Information };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No, Retry };

struct Message {
  std::string text;  // UTF-8; line breaks as "\r\n" where the program breaks lines
  std::string title;
  MessageIcon icon = MessageIcon::None;
  MessageButtons buttons = MessageButtons::Ok;
  int defaultButton = 1;  // 1-based, as the message box flags give it
  // True when the message refuses the command (bad or missing input, failed file): batch mode
  // prints it to stderr and exits with status 2. Confirmations like "计算成功！" are false.
  bool refusal = false;
};

// One entry of a file dialog's filter list, e.g. {"文本文件(*.txt)", "*.txt"}.
struct FileFilter {
  std::string description;
  std::string pattern;  // blank-separated glob patterns
};

struct FileRequest {
  std::string title;
  std::string initialName;  // initial file name or path
  std::vector<FileFilter> filters;
  std::string defaultSuffix;  // without the dot; added when the user types none
};

class Host {
 public:
  virtual ~Host() = default;
  virtual MessageAnswer ShowMessage(const Message& message) = 0;
  // The chosen path, or nullopt when the dialog was cancelled.
  virtual std::optional<std::string> AskSaveFile(const FileRequest&) { return std::nullopt; }
  virtual std::optional<std::string> AskOpenFile(const FileRequest&) { return std::nullopt; }
  // The hourglass pointer while files are read or written.
  virtual void SetBusy(bool) {}
};

// Keeps the busy pointer on for one scope, so every way out restores it.
class BusyScope {
 public:
  explicit BusyScope(Host& host) : host_(host) { host_.SetBusy(true); }
  ~BusyScope() { host_.SetBusy(false); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  Host& host_;
};

// A Host for tests and batch mode: remembers every message, answers with a preset answer and
// hands out preset file paths.
class RecordingHost : public Host {
 public:
  MessageAnswer ShowMessage(const Message& message) override {
    messages.push_back(message);
    return answer;
  }
  std::optional<std::string> AskSaveFile(const FileRequest& r) override {
    saveRequests.push_back(r);
    return savePath;
  }
  std::optional<std::string> AskOpenFile(const FileRequest& r) override {
    openRequests.push_back(r);
    return openPath;
  }
  void SetBusy(bool on) override {
    busy = on;
    ++busyChanges;
  }
  bool Refused() const {
    for (const auto& m : messages)
      if (m.refusal) return true;
    return false;
  }

  std::vector<Message> messages;
  std::vector<FileRequest> saveRequests, openRequests;
  MessageAnswer answer = MessageAnswer::Ok;
  std::optional<std::string> savePath, openPath;
  bool busy = false;
  int busyChanges = 0;
};

// Shows a refusal's message and answers with the Outcome that says the user has been told.
inline Outcome Refuse(Host& host, const Message& message) {
  host.ShowMessage(message);
  return Outcome::Refused(message.text);
}

// The data-error message most windows show for an empty or unreadable field.
inline Message DataErrorMessage() {
  Message m;
  m.text = "你输入所有数据了吗？\r\n请重新输入。";
  m.title = "输入数据出错";
  m.icon = MessageIcon::Question;
  m.refusal = true;
  return m;
}

// The data error of a curve whose two transitions turn through more than its deflection
// (2β0 > α): the arc between them would have a negative length, so no such curve exists.
inline Message OverlappingTransitionsMessage() {
  Message m = DataErrorMessage();
  m.text = "缓和曲线过长：2β0 大于偏角 α";
  return m;
}

// The warning of a program that refuses to run twice.
inline Message AlreadyRunningMessage() {
  Message m;
  m.text = "系统正在运行，请在下面任务栏寻找系统的最小化图标。";
  m.title = "警告!";
  m.icon = MessageIcon::Exclamation;
  m.defaultButton = 2;
  m.refusal = true;
  return m;
}

}  // namespace survey
