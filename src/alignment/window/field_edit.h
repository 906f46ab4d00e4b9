// A single-line field's edit as an undo step, like an edit of a table's cell. Typing on in the
// same field continues the step, so one undo takes back what was typed there.
#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QUndoCommand>
#include <string>

#include "alignment/window/form.h"

namespace survey::alignment::window {

class FieldEdit : public QUndoCommand {
 public:
  FieldEdit(AlignmentForm& form, std::string AlignmentForm::*member, QLineEdit* edit, std::string before,
            std::string after);

  int id() const override { return 0x414c4e; }
  bool mergeWith(const QUndoCommand* other) override;
  void undo() override { Show(before_); }
  void redo() override { Show(after_); }

 private:
  void Show(const std::string& text);
  AlignmentForm& form_;
  std::string AlignmentForm::*member_;
  QPointer<QLineEdit> edit_;
  std::string before_, after_;
};

}  // namespace survey::alignment::window
