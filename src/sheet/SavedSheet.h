#pragma once

#include <QString>

// The sheet a work file was last saved from on this machine, kept in the settings by the file's
// path: a file named on the command line (or double-clicked) opens there again.
namespace SavedSheet {

// The form's name of the sheet ("F_Hijou"); "" when the file was never saved here.
QString of(const QString &path);
void remember(const QString &path, const QString &sheet);

} // namespace SavedSheet
