#pragma once

#include "photometry/Photometry.h"

#include <QByteArray>

// Readers of the two photometric file formats makers publish: IES LM-63 (1986, 1991, 1995, 2002,
// 2019; type C only) and EULUMDAT. A file that does not hold what its counts promise is refused
// with a Japanese message naming the line.
namespace PhotometryReader {

bool readIes(const QByteArray &bytes, Photometry *out, QString *error);
bool readLdt(const QByteArray &bytes, Photometry *out, QString *error);
// By the file's name: ".ldt" is EULUMDAT, anything else IES. At most 4 MiB, a regular file only
// (opened without blocking); `ownFolder`: a file the program keeps, never read through a link.
bool readFile(const QString &path, Photometry *out, QString *error, QByteArray *bytesRead = nullptr,
              bool ownFolder = false);

// Expands horizontal planes given over 0, 0-90, 0-180, 0-360 or 90-270 degrees to 0-360 by the
// symmetry those ranges stand for; planes from 0 to a last one beyond 180 and short of 360 have no
// lateral symmetry and close on themselves (360 is the plane at 0). False for any other range.
bool expandPlanes(QList<double> *cAngles, QList<QList<double>> *candela);

} // namespace PhotometryReader
