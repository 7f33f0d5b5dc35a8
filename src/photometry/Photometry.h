#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A luminaire's light distribution as a photometric file gives it, expanded to the full sphere:
// intensities I(C, gamma) in candela on C planes from 0 to 360 degrees (360 repeating 0) and gamma
// angles from 0 (straight down) to at most 180 (straight up).
struct Photometry {
    QString format;                 // "IES LM-63-2002", "EULUMDAT", ...
    QString name;                   // the luminaire's name in the file
    int lamps = 0;
    double lampFlux = 0;            // lm of all lamps; for absolute photometry the luminaire's flux
    bool absolute = false;          // IES lumens per lamp -1
    QList<double> cAngles;          // degrees, ascending, 0 .. 360
    QList<double> gAngles;          // degrees, ascending, within 0 .. 180
    QList<QList<double>> candela;   // [C plane][gamma], cd
    std::optional<double> lorl;     // EULUMDAT: the file's light output ratio (%)
    std::optional<double> dff;      // EULUMDAT: the file's downward flux fraction (%)
    std::optional<double> statedFlux; // IES: the luminaire's lumens a keyword of the header states
    double dffStep = 0, lorlStep = 0; // the unit of the last digit of the file's DFF and LORL (%)
    double intensityStep = 0;       // cd: the unit the file's intensities are written in (0 unknown)
    QList<double> directRatios;     // EULUMDAT: the file's ten direct ratios (k = 0.6 .. 5)
    QStringList warnings;

    // The intensity in cd/klm of lamp flux.
    double perKilolumen(int c, int g) const { return lampFlux > 0 ? candela[c][g] * 1000 / lampFlux : 0; }
};
