#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// One record of the luminaire master (syomei.mst), 200 bytes; bytes 135 to 199 are unused.
struct LuminaireRecord {
    static constexpr int kLength = 200;
    static constexpr int kPatterns = 3;
    static constexpr int kClasses = 15;

    QString number = QString(2, u' ');  // shown in the pick list; the slot a pick selects
    QString name = QString(18, u' ');   // 照明器具種類, padded
    // utilizationFactors[p-1][c-1]: pattern p 1..3, room-index class c 1..15, hundredths as 2 characters.
    std::array<std::array<QString, kClasses>, kPatterns> utilizationFactors;
    QString spare = QString(12, u' ');
    std::array<QString, 3> maintenanceFactors{QString(4, u' '), QString(4, u' '), QString(4, u' ')};
    QString inUse = QStringLiteral(" ");

    LuminaireRecord();

    bool present() const { return inUse == u"1"; }
    // UtilizationFactors[pattern][cls] as stored; "" outside 1..3 x 1..15.
    QString utilizationFactor(int pattern, int cls) const;
    // MaintenanceFactors[choice] as stored, choice 1..3; "" outside.
    QString maintenanceFactor(int choice) const;

    static LuminaireRecord fromBytes(const QByteArray &record);
    bool toBytes(QByteArray *out) const;
};
