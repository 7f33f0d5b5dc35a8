#pragma once

#include "master/MasterTables.h"

#include <QString>

// Program-wide values fixed at start-up and kept for the whole run.
struct AppContext {
    QString programDir;   // where the program and its master files are
    QString helpFile;     // programDir + "/prx5m.hlp"
    QString workFolder;   // where the report work databases are built
    MasterTables masters;

    // The per-user cache folder of the program, created when missing. Report work databases are
    // rebuilt before every preview, so a cache is their right home (the system folder is not
    // writable by ordinary users).
    static QString defaultWorkFolder();
};
