#include "platform/enter_as_tab.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace platform {

void EnterAsTab::Add(QWidget* field) {
  if (field) field->installEventFilter(this);
}

bool EnterAsTab::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
      QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
      QApplication::sendEvent(watched, &tab);
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace platform
