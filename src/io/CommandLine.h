#pragma once

#include <QString>
#include <QStringList>

// The arguments of a command as they were given. Qt never sees them (a file named "-platform" is
// a file), and a name is taken byte for byte: one that is not UTF-8 cannot be held as text without
// becoming another name, so it is refused rather than read or written under that other name.
namespace CommandLine {

// Every argument from argv[1]; false with the reason when one of them is not UTF-8.
bool arguments(int argc, char *argv[], QStringList *out, QString *error);

} // namespace CommandLine
