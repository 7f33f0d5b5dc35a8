#pragma once

#include <QByteArray>
#include <QString>

// One record of the lamp master (Kougen.mst), 20 bytes.
struct LampRecord {
    static constexpr int kLength = 20;

    QString name = QString(11, u' ');   // 光源名称, padded
    qint16 lampCapacity = 0;            // capacity of one lamp
    QString spare = QStringLiteral(" ");
    QString flux = QString(5, u' ');    // lm, decimal digits as stored
    QString inUse = QStringLiteral(" ");

    bool present() const { return inUse == u"1"; }

    static LampRecord fromBytes(const QByteArray &record);
    // False when a field does not fit its width or is not CP932.
    bool toBytes(QByteArray *out) const;
};
