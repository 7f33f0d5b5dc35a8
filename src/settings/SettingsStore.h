#pragma once

#include <QString>

// The program's few persistent settings: named text values under the organisation "kzw" and the
// application "zeltika", in the user's own scope (a machine-wide store is not writable by an
// ordinary user, so a window position kept there would never persist).
namespace SettingsStore {

constexpr int kRegDword = 4; // the type the window positions are recorded with

// The value's text, or "" when it is missing or cannot be read.
QString ReadSetting(const QString &name);

// Stores the text under the name; 0 when it was handed to the store, -1 when the store cannot be
// written (nothing is stored then).
int WriteSetting(const QString &name, const QString &text, int type = kRegDword);

// Window positions in twips: "PosX"/"PosY", read with the leading-number reading (missing or
// non-numeric gives 0), written as the shortest decimal text of a single-precision number.
double readPosition(const QString &name);
void writePosition(const QString &name, double twips);

// Paths the program remembers (the last folder used), of any length: kept apart from the values
// above, which keep the registry's limits. "" when none.
QString readPath(const QString &name);
void writePath(const QString &name, const QString &path);

} // namespace SettingsStore
