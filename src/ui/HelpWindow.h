#pragma once

#include <QString>

class QWidget;

// The help file (HTML) in a window of its own, sized to fit the screen it opens on.
namespace HelpWindow {

// Opens the file at the section `anchor` ("" for its top); false when the file cannot be read
// (the caller tells the user).
bool show(QWidget *parent, const QString &helpFile, const QString &anchor = {});

} // namespace HelpWindow
