#pragma once

#include <QString>

class QWidget;

// The help file (HTML) in a window of its own, opened at its index.
namespace HelpWindow {

// False when the file cannot be read (the caller tells the user).
bool show(QWidget *parent, const QString &helpFile);

} // namespace HelpWindow
