#pragma once

#include "emergency/EmergencyMaster.h"

#include <QString>
#include <QStringList>

#include <optional>

// Adding an emergency luminaire from its maker's photometric file (IES LM-63 or EULUMDAT) to the
// master hijou.csv: the file read and checked as the luminaire import reads it, a copy kept as
// photometry/hijou-<slot>.ies|ldt beside the master, and the slot's row written, as one set under
// the lock of the master's folder (a CSV not there yet is made with its header). In the master
// tool (prx5m-mst emergency) and in the sheet alike.
namespace EmergencyImport {

struct Request {
    QString file;   // the photometric file
    QString csv;    // the master: …/hijou.csv
    int slot = 0;   // 1–99
    double flux = 0; // 非常時光束, lm
    EmergencyMaster::Source source = EmergencyMaster::Source::Led;
    QString name;   // 形式 ("" for the file's own name)
};

// The light source the file's own words name (its name, its header's lamp text) where they name a
// fluorescent lamp (FL…, FHF…, 蛍光): proposed to the user, never chosen for them.
std::optional<EmergencyMaster::Source> proposedSource(const QString &file, const QByteArray &bytes);

// What the file gave and what was written, a line each, for the user; false with the reason
// (nothing written) when the file or a value is refused or a file cannot be written.
bool run(const Request &request, QStringList *said, QString *error);

} // namespace EmergencyImport
