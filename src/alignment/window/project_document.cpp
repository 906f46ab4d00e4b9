#include "alignment/window/project_document.h"

#include <QFileInfo>
#include <QSettings>

#include "alignment/window/project_file.h"
#include "platform/paths.h"

namespace survey::alignment::window {

namespace {

constexpr int kMaxRecent = 8;

QSettings Settings() {
  return QSettings(platform::UserDataDir() + QStringLiteral("/alignment.ini"), QSettings::IniFormat);
}

}  // namespace

QString ProjectDocument::FileName() const {
  return path_.isEmpty() ? QStringLiteral("未命名") : QFileInfo(path_).fileName();
}

QString ProjectDocument::BaseName() const { return path_.isEmpty() ? QString() : QFileInfo(path_).completeBaseName(); }

bool ProjectDocument::Save(const AlignmentForm& form, const QString& path, QString* error) {
  if (!SaveProject(form, path, error)) return false;
  path_ = path;
  modifiedOutsideUndo_ = false;
  undo_.setClean();
  AddRecent(path);
  return true;
}

std::optional<AlignmentForm> ProjectDocument::Open(const QString& path, QString* error) {
  std::optional<AlignmentForm> opened = OpenProject(path, error);
  if (!opened) return std::nullopt;
  undo_.clear();
  path_ = path;
  modifiedOutsideUndo_ = false;
  AddRecent(path);
  return opened;
}

void ProjectDocument::Reset() {
  undo_.clear();
  path_.clear();
  modifiedOutsideUndo_ = false;
}

QStringList ProjectDocument::RecentFiles() const { return Settings().value(QStringLiteral("recentFiles")).toStringList(); }

void ProjectDocument::AddRecent(const QString& path) {
  QSettings settings = Settings();
  QStringList list = settings.value(QStringLiteral("recentFiles")).toStringList();
  const QString full = QFileInfo(path).absoluteFilePath();
  list.removeAll(full);
  list.prepend(full);
  while (list.size() > kMaxRecent) list.removeLast();
  settings.setValue(QStringLiteral("recentFiles"), list);
}

}  // namespace survey::alignment::window
