// What every program sets up on its application object before any window or batch run: the
// Chinese texts of the toolkit's own dialogs, the program's icon on all its windows, and
// Enter on a focused command button.
#pragma once

#include <QIcon>
#include <QString>

class QApplication;
class QCoreApplication;

namespace platform {

// All of the below, for the program `programName` ("brannock").
void PrepareApplication(QApplication& app, const QString& programName);

// Installs the toolkit's Chinese (simplified) translations whatever the system locale says:
// the whole interface is Chinese, so "Save As", "Cancel" and "OK" would stand out in English.
// False when the translation files are not installed (the dialogs then stay in English).
bool LoadChineseTranslations(QCoreApplication& app);

// The icon delivered with a program (32, 48 and 128 pixels); a null icon for an unknown name.
QIcon ProgramIcon(const QString& programName);

// From now on a focused push button is pressed by Enter as by Space, in every window of the
// process, as on the desktop these windows come from. Fields are not touched: Enter-as-Tab
// keeps working. Installing twice is harmless.
void PressButtonsWithEnter(QApplication& app);

}  // namespace platform
