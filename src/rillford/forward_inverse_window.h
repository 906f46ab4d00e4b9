// The Rillford window: the forward problem in one frame, the inverse problem in the other,
// each with its compute and clear buttons.
#pragma once

#include <QWidget>

#include "platform/qt_host.h"
#include "rillford/forward_inverse_form.h"

class QApplication;

namespace rillford {

class ForwardInverseWindow : public QWidget {
  Q_OBJECT
 public:
  explicit ForwardInverseWindow(QWidget* parent = nullptr);

 private:
  // Runs a handler of the form between moving the field texts into it and back out.
  void Run(void (*handler)(ForwardInverseForm&));

  platform::QtHost host_{this};
  ForwardInverseForm form_{host_};
};

// Window mode of the program: one running copy per user, then the window until it closes.
int RunWindow(QApplication& app);

}  // namespace rillford
