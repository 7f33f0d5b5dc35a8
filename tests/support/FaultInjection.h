#pragma once

#include <QProcessEnvironment>
#include <QString>

// Failures made to happen: the preload library tests/faultinject makes write, fsync or rename fail
// in this process (when the test runs with it preloaded) or in a program the test starts.
namespace FaultInjection {

// The library's path in the build folder.
QString library();
// True when this process runs with the library preloaded.
bool loadedHere();

// From now on in this process: `fault` ("write:N", "fsync", "rename") on files whose path
// contains `pathPart`, failing with ENOSPC or EIO. Each call starts the byte count anew.
void set(const QString &fault, const QString &pathPart, const QString &error = QStringLiteral("ENOSPC"));
void clear();

// The environment for a program started with the same fault.
QProcessEnvironment environment(QProcessEnvironment base, const QString &fault, const QString &pathPart,
                                const QString &error = QStringLiteral("ENOSPC"));

} // namespace FaultInjection
