#pragma once

#include "shell/AppContext.h"

class FMenu;

// The program's start-up: masters, help file, work folder, then the main menu at the stored place.
namespace Startup {

// Fills the context from the program directory. False with a message for the user when a master
// file is missing or unreadable.
bool prepare(AppContext &context, const QString &programDir, const QString &workFolder, QString *error);

// Runs start-up after the single-instance check: prepares the context, or reports the failure and
// gives a non-zero status; on success shows the menu and gives 0. The menu is returned in *menu.
int start(AppContext &context, const QString &programDir, const QString &workFolder, FMenu **menu);

} // namespace Startup
