#pragma once

#include "master/MasterTables.h"

#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

// Keeps a test's settings, program directory and work folder in a temporary folder.
class TestEnv
{
public:
    TestEnv();

    QString path() const { return m_dir.path(); }
    QString programDir() const;
    QString workFolder() const;

    // Writes the three sample masters (as the build made them) into programDir.
    bool copySampleMasters() const;
    static QString buildDir();
    static QString sourceDir();
    // A program the build made, by name.
    static QString program(const QString &name);
    // For a batch run of the program: no screen, no preloaded faults, its settings and
    // print tables under `home`.
    static QProcessEnvironment batchEnvironment(const QString &home);

    // A time limit in milliseconds for an optimised build; the sanitizer build runs several
    // times slower and gets ten times as long.
    static qint64 timeLimit(qint64 milliseconds);

    // Whole-file reads and writes for tests ("" when the file can't be read).
    static QByteArray readBytes(const QString &path);
    static void writeBytes(const QString &path, const QByteArray &bytes);

    // Makes a folder refuse new files, also for root (through the immutable attribute);
    // false when this machine can't. makeFolderWritable undoes it.
    static bool makeFolderUnwritable(const QString &folder);
    static void makeFolderWritable(const QString &folder);
    // The same for one file: it can be neither written nor replaced in place.
    static bool makeFileUnwritable(const QString &file);
    static void makeFileWritable(const QString &file);

    // The sample masters as the build made them.
    static MasterTables sampleMasters();

    // A small, known set of masters for tests that check figures.
    static MasterTables knownMasters();

private:
    QTemporaryDir m_dir;
};
