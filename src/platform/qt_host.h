// The window-side Host: message boxes, file dialogs and the busy pointer through Qt.
//
// Message boxes go through a replaceable presenter, so a window test can read what a click
// would have shown without a modal dialog blocking the test.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <string_view>

#include "common/host.h"

namespace platform {

QString ToQString(std::string_view utf8);
std::string ToUtf8(const QString& text);

// Shows a message modally; replaced in tests.
using MessagePresenter = std::function<survey::MessageAnswer(QWidget* parent, const survey::Message&)>;

// The presenter every window uses. Setting an empty function restores the real dialog.
void SetMessagePresenter(MessagePresenter presenter);
survey::MessageAnswer PresentMessage(QWidget* parent, const survey::Message& message);

// Replaces the presenter for the lifetime of the object and records every message; the
// presenter answers `answer`. For window tests.
class MessageRecorder {
 public:
  explicit MessageRecorder(survey::MessageAnswer answer = survey::MessageAnswer::Ok);
  ~MessageRecorder();
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;
  std::vector<survey::Message> messages;
  survey::MessageAnswer answer;
};

// File dialogs, likewise replaceable in tests: they return the chosen path or an empty string.
using FileChooser = std::function<QString(QWidget* parent, bool save, const survey::FileRequest&)>;
void SetFileChooser(FileChooser chooser);

// Answers every file dialog with `path` for the lifetime of the object, then restores the real
// dialogs. For window tests.
class ScopedFileChoice {
 public:
  explicit ScopedFileChoice(const QString& path) {
    SetFileChooser([path](QWidget*, bool, const survey::FileRequest&) { return path; });
  }
  ~ScopedFileChoice() { SetFileChooser({}); }
  ScopedFileChoice(const ScopedFileChoice&) = delete;
  ScopedFileChoice& operator=(const ScopedFileChoice&) = delete;
};

// The filter list of a request in Qt's form: "desc (pattern);;desc (pattern)".
QString QtFilterText(const survey::FileRequest& request);

class QtHost : public survey::Host {
 public:
  explicit QtHost(QWidget* window) : window_(window) {}
  survey::MessageAnswer ShowMessage(const survey::Message& message) override;
  std::optional<std::string> AskSaveFile(const survey::FileRequest& request) override;
  std::optional<std::string> AskOpenFile(const survey::FileRequest& request) override;
  void SetBusy(bool on) override;

 private:
  QWidget* window_;
  int busyDepth_ = 0;
};

}  // namespace platform
