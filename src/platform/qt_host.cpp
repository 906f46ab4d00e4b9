#include "platform/qt_host.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace platform {

QString ToQString(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }
std::string ToUtf8(const QString& text) { return text.toUtf8().toStdString(); }

namespace {

MessagePresenter& Presenter() {
  static MessagePresenter presenter;
  return presenter;
}

FileChooser& Chooser() {
  static FileChooser chooser;
  return chooser;
}

survey::MessageAnswer ShowRealMessage(QWidget* parent, const survey::Message& m) {
  QMessageBox box(parent);
  box.setWindowTitle(ToQString(m.title));
  QString text = ToQString(m.text);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  box.setText(text);
  switch (m.icon) {
    case survey::MessageIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case survey::MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
    case survey::MessageIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case survey::MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case survey::MessageIcon::None: box.setIcon(QMessageBox::NoIcon); break;
  }
  QList<QMessageBox::StandardButton> buttons;
  switch (m.buttons) {
    case survey::MessageButtons::Ok: buttons = {QMessageBox::Ok}; break;
    case survey::MessageButtons::OkCancel: buttons = {QMessageBox::Ok, QMessageBox::Cancel}; break;
    case survey::MessageButtons::YesNo: buttons = {QMessageBox::Yes, QMessageBox::No}; break;
    case survey::MessageButtons::YesNoCancel: buttons = {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}; break;
    case survey::MessageButtons::RetryCancel: buttons = {QMessageBox::Retry, QMessageBox::Cancel}; break;
  }
  for (auto b : buttons) box.addButton(b);
  // The default-button flag names a button that may not exist (one OK button): keep the first.
  const int index = m.defaultButton - 1;
  box.setDefaultButton(buttons.value(index >= 0 && index < buttons.size() ? index : 0));
  switch (box.exec()) {
    case QMessageBox::Cancel: return survey::MessageAnswer::Cancel;
    case QMessageBox::Yes: return survey::MessageAnswer::Yes;
    case QMessageBox::No: return survey::MessageAnswer::No;
    case QMessageBox::Retry: return survey::MessageAnswer::Retry;
    default: return survey::MessageAnswer::Ok;
  }
}

}  // namespace

void SetMessagePresenter(MessagePresenter presenter) { Presenter() = std::move(presenter); }

survey::MessageAnswer PresentMessage(QWidget* parent, const survey::Message& message) {
  if (Presenter()) return Presenter()(parent, message);
  return ShowRealMessage(parent, message);
}

MessageRecorder::MessageRecorder(survey::MessageAnswer a) : answer(a) {
  SetMessagePresenter([this](QWidget*, const survey::Message& m) {
    messages.push_back(m);
    return answer;
  });
}

MessageRecorder::~MessageRecorder() { SetMessagePresenter({}); }

void SetFileChooser(FileChooser chooser) { Chooser() = std::move(chooser); }

QString QtFilterText(const survey::FileRequest& request) {
  QStringList parts;
  for (const auto& f : request.filters) {
    const QString desc = ToQString(f.description);
    const QString pattern = ToQString(f.pattern);
    // Qt reads the patterns from the parentheses; a description that already shows them, as
    // "文本文件(*.txt)", keeps its look.
    parts << (desc.contains(QLatin1Char('(')) ? desc : desc + QStringLiteral(" (") + pattern + QStringLiteral(")"));
  }
  return parts.join(QStringLiteral(";;"));
}

survey::MessageAnswer QtHost::ShowMessage(const survey::Message& message) { return PresentMessage(window_, message); }

static std::optional<std::string> AskFile(QWidget* window, bool save, const survey::FileRequest& request) {
  QString path;
  if (Chooser()) {
    path = Chooser()(window, save, request);
  } else {
    QFileDialog dialog(window, ToQString(request.title), QString(), QtFilterText(request));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.defaultSuffix.empty()) dialog.setDefaultSuffix(ToQString(request.defaultSuffix));
    if (!request.initialName.empty()) dialog.selectFile(ToQString(request.initialName));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) path = dialog.selectedFiles().first();
  }
  if (path.isEmpty()) return std::nullopt;
  return ToUtf8(path);
}

std::optional<std::string> QtHost::AskSaveFile(const survey::FileRequest& request) { return AskFile(window_, true, request); }
std::optional<std::string> QtHost::AskOpenFile(const survey::FileRequest& request) { return AskFile(window_, false, request); }

void QtHost::SetBusy(bool on) {
  if (on) {
    if (busyDepth_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (busyDepth_ > 0) {
    if (--busyDepth_ == 0) QApplication::restoreOverrideCursor();
  }
}

}  // namespace platform
