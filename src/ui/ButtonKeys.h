#pragma once

class QCoreApplication;

// Enter presses the focused button, as Space does, in every window of the program. Dialogs keep
// Qt's own rule (Enter presses the focused or the default button).
namespace ButtonKeys {

void install(QCoreApplication *app);

} // namespace ButtonKeys
