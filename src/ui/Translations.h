#pragma once

#include <QString>

// Qt's own Japanese translations, so the standard dialogs (files, printing, preview) speak
// Japanese like the rest of the program.
namespace Translations {

// Installs them into the running application; false when they are not installed on this machine
// (the dialogs then stay in English).
// Also sets the Japanese locale as the default and fills in the few texts Qt's translation lacks.
bool installJapanese();

// Before the application object exists: where the session names no language of its own (LANG,
// LC_TIME and LC_ALL unset, C or POSIX), the dates of the standard dialogs are written as a
// Japanese user reads them (2026/12/08 9:30). Only Qt's own locale data learns this; the C library
// keeps the session's locale, so the window titles and input methods keep their character set
// on a machine where no Japanese locale is generated.
void prepareJapaneseDates();

} // namespace Translations
