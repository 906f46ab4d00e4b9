// How a window ties its text fields to its form. Each window keeps one table from the object
// names of its fields (what stored layouts, automation and the window tests find them by) to
// the form's members, and moves the texts across with these two calls before and after a
// handler runs.
#pragma once

#include <QLineEdit>
#include <QWidget>
#include <span>
#include <string>

#include "platform/qt_host.h"

namespace platform {

template <typename Fields>
struct FieldBinding {
  const char* objectName;
  std::string Fields::*text;
};

// Where a button of a window's table stands, in the window's own measure: twips (left, top,
// width) in the windows drawn in twips, cells (column, row, columns) in those laid out in a grid.
struct ButtonPlace {
  int x = 0, y = 0, width = 0;
};

// A window's command button: the object name it is found by (stored layouts, automation, the
// window tests), its caption, what a click runs (a handler of the window or its form), and
// its place where the window lays its buttons out from the table.
template <typename Handler>
struct ButtonBinding {
  const char* objectName;
  const char* caption;
  Handler handler;
  ButtonPlace place{};
};

// The field of `window` with this object name; nullptr when the window has none.
inline QLineEdit* FieldNamed(const QWidget& window, const char* objectName) {
  return window.findChild<QLineEdit*>(QLatin1String(objectName));
}

// Widgets to form: each bound field's text into its member.
template <typename Fields>
void PullFields(const QWidget& window, std::span<const FieldBinding<Fields>> bindings, Fields& fields) {
  for (const FieldBinding<Fields>& b : bindings) {
    if (const QLineEdit* edit = FieldNamed(window, b.objectName)) fields.*b.text = ToUtf8(edit->text());
  }
}

// Form to widgets: each member into its field, touching only fields whose text differs (so
// the cursor and undo history of an unchanged field stay).
template <typename Fields>
void PushFields(QWidget& window, std::span<const FieldBinding<Fields>> bindings, const Fields& fields) {
  for (const FieldBinding<Fields>& b : bindings) {
    QLineEdit* edit = FieldNamed(window, b.objectName);
    if (!edit) continue;
    const QString text = ToQString(fields.*b.text);
    if (edit->text() != text) edit->setText(text);
  }
}

}  // namespace platform
