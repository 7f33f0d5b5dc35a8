#pragma once

#include <QString>

// Qt's own Japanese translations, so the standard dialogs (files, printing, preview) speak
// Japanese like the rest of the program.
namespace Translations {

// Installs them into the running application; false when they are not installed on this machine
// (the dialogs then stay in English).
// Also sets the Japanese locale as the default and fills in the few texts Qt's translation lacks.
bool installJapanese();

} // namespace Translations
