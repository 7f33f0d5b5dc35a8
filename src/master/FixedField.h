#pragma once

#include <QByteArray>
#include <QString>

// Fixed-width fields of the master records: CP932 text padded with blanks, 16-bit little-endian
// integers.
namespace FixedField {

// Decodes `width` bytes at `offset`; bytes that are not CP932 become U+FFFD.
QString text(const QByteArray &record, int offset, int width);
qint16 int16(const QByteArray &record, int offset);

// Appends text padded with blanks to `width` bytes; false when it does not fit or is not CP932.
bool appendText(QByteArray &out, const QString &text, int width);
void appendInt16(QByteArray &out, qint16 value);

// Text with its trailing blanks (the padding) removed.
QString trimmedRight(const QString &text);

} // namespace FixedField
