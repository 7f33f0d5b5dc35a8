#pragma once

// Qt's own Japanese translations, so the standard dialogs (files, printing, preview) speak
// Japanese like the rest of the program.
namespace Translations {

// Installs them into the running application; false when they are not installed on this machine
// (the dialogs then stay in English).
bool installJapanese();

} // namespace Translations
