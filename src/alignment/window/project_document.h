// The project the window edits, as a document: its file, whether it has changed since it was
// opened or saved (the undo stack's clean state, plus the changes that are no undo step), and
// the recent files. Widgets stay the window's; this holds what a project is.
#pragma once

#include <QString>
#include <QStringList>
#include <QUndoStack>
#include <optional>

#include "alignment/window/form.h"

namespace survey::alignment::window {

class ProjectDocument {
 public:
  explicit ProjectDocument(QUndoStack& undo) : undo_(undo) {}

  const QString& Path() const { return path_; }
  // "项目 1.alnproj", or "未命名" before the first save.
  QString FileName() const;
  // The file's name without its suffix, or "" before the first save.
  QString BaseName() const;
  bool IsModified() const { return modifiedOutsideUndo_ || !undo_.isClean(); }
  // A change that is no undo step (the input kind, the angle unit, a LandXML import's fields).
  void MarkModified() { modifiedOutsideUndo_ = true; }

  // Writes the form; on success the file is the document's, unmodified and first of the recent
  // files. False with the reason (the old file untouched) otherwise.
  bool Save(const AlignmentForm& form, const QString& path, QString* error);
  // The form of the file; on success the file is the document's, with no undo steps. nullopt
  // with the reason otherwise, the document unchanged.
  std::optional<AlignmentForm> Open(const QString& path, QString* error);
  // A new project: no file, no undo steps.
  void Reset();

  QStringList RecentFiles() const;

 private:
  void AddRecent(const QString& path);
  QUndoStack& undo_;
  QString path_;
  bool modifiedOutsideUndo_ = false;
};

}  // namespace survey::alignment::window
