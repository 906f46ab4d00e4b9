#include "alignment/window/field_edit.h"

#include "platform/qt_host.h"

namespace survey::alignment::window {

FieldEdit::FieldEdit(AlignmentForm& form, std::string AlignmentForm::*member, QLineEdit* edit, std::string before,
                     std::string after)
    : form_(form), member_(member), edit_(edit), before_(std::move(before)), after_(std::move(after)) {
  setText(QStringLiteral("编辑") + (edit ? edit->objectName() : QString()));
}

bool FieldEdit::mergeWith(const QUndoCommand* other) {
  const auto* next = static_cast<const FieldEdit*>(other);
  if (next->member_ != member_ || &next->form_ != &form_) return false;
  after_ = next->after_;
  return true;
}

// The field already shows what was typed; setting it again would move the cursor.
void FieldEdit::Show(const std::string& text) {
  form_.*member_ = text;
  if (edit_ && edit_->text().toStdString() != text) edit_->setText(platform::ToQString(text));
}

}  // namespace survey::alignment::window
