// The Rillford window Form4: two frames of fields bound to the form's handlers.
#pragma once

#include <QWidget>
#include <array>

#include "rillford/form.h"

class QLineEdit;
class QPushButton;

namespace platform {
class SingleInstanceGuard;
}

namespace rillford {

class Form4Window : public QWidget {
  Q_OBJECT
 public:
  explicit Form4Window(QWidget* parent = nullptr);
  QLineEdit* Field(int number) const { return fields_.at(static_cast<std::size_t>(number - 1)); }
  const Form4& Form() const { return form_; }

 private:
  void Run(void (Form4::*handler)(survey::Host&));
  void Clear(void (Form4::*handler)());
  void ToForm();
  void FromForm();

  Form4 form_;
  std::array<QLineEdit*, 16> fields_{};
};

// The window title: the program's name, a credit and the edition mark.
QString WindowTitle();

// True when this is the only running copy; otherwise shows the already-running warning and
// the caller ends the program.
bool StartupCheck(platform::SingleInstanceGuard& guard);

// Window mode of the program: the single-copy check, then the window until it closes.
int RunWindow();

}  // namespace rillford
