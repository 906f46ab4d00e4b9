// Starting a calculator of the suite the way the menu does: by its bare file name, looked up
// in one folder (the launcher's own), with no arguments, without waiting for it and without
// keeping any handle to it.
#pragma once

#include <QString>

#include "common/outcome.h"

namespace tallyfen {

// Done once the program runs; Failed with the reason for the message box otherwise.
survey::Outcome StartProgramFrom(const QString& folder, const QString& name);

}  // namespace tallyfen
