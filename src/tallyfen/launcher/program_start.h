// Starting a calculator of the suite the way the menu does: by its bare file name, looked up
// in one folder (the launcher's own), with no arguments, without waiting for it and without
// keeping any handle to it.
#pragma once

#include <QString>

namespace tallyfen {

struct StartOutcome {
  bool started = false;
  QString reason;  // why it could not be started, for the message box
};

StartOutcome StartProgramFrom(const QString& folder, const QString& name);

}  // namespace tallyfen
