// Where the suite's files live. Data delivered with the programs (report layouts, help,
// pictures) is found relative to the running program, in ../share/route-survey beside its
// bin folder, both in the build tree and once installed. Files the programs write (the stake
// table databases) go to the per-user application data folder, because the program's folder
// is read-only once installed.
#pragma once

#include <QString>

namespace platform {

// The folder of delivered data: <program folder>/../share/route-survey.
QString SharedDataDir();
// A delivered file by its name relative to SharedDataDir().
QString SharedDataFile(const QString& relative);

// The per-user data folder of the suite, created when missing. SURVEY_DATA_HOME overrides it
// (tests use a folder of their own).
QString UserDataDir();

// True when a windowing system can be reached (X11, Wayland, or an explicit Qt platform).
bool HasDisplay();

// The folder of the running program.
QString ProgramDir();

}  // namespace platform
