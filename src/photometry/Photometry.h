#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The luminaire's luminous opening, as IES (width, length, height) and EULUMDAT (lines 16 to 21)
// give it, in metres: length along C0–C180, width along C90–C270.
struct Opening {
    enum class Shape { None, Rectangle, Round, Sphere };
    Shape shape = Shape::None;
    double length = 0; // a round one's diameter along C0–C180
    double width = 0;  // along C90–C270 (a round one's other diameter: an ellipse)
    std::array<double, 4> heights{}; // the luminous sides facing C0, C90, C180, C270

    bool present() const;
    double bottom() const; // the area seen from below, m²
    // A_p: the area seen from the direction (C, gamma) of the luminaire's own frame (degrees; gamma
    // from the nadir), m².
    double projected(double c, double gamma) const;
    // "長さ 1.20 × 幅 0.30 m" and the like, for the data page; "" without one.
    QString text() const;
};

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
    Opening opening;
    std::optional<double> colourRendering; // EULUMDAT: Ra of the first set of lamps
    QStringList warnings;

    // The intensity in cd/klm of lamp flux.
    double perKilolumen(int c, int g) const { return lampFlux > 0 ? candela[c][g] * 1000 / lampFlux : 0; }
};
