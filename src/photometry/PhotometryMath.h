#pragma once

#include "photometry/Photometry.h"

#include <array>

// What a light distribution gives the lumen method: its flux, split into zones, and the
// utilization factors of a room by the IES zonal-cavity method (as published in IES LM-57 and the
// IES Lighting Handbook): zonal multipliers for the direct ratio, and the flux-transfer equations
// with the room cavity ratio RCR = 5 / k, where k is the room index of the sheet.
namespace PhotometryMath {

// The intensity between the samples: linear in gamma and in C (0 outside the gamma range given).
double intensity(const Photometry &p, double c, double gamma);

// The same intensity made ready for many points (a room's distribution): a file whose planes are
// all alike needs no C angle, and samples at equal steps are found by division, not by search.
class IntensityTable
{
public:
    explicit IntensityTable(const Photometry &p);
    // True when the planes differ: the C angle of a point matters.
    bool dependsOnC() const { return m_dependsOnC; }
    // As intensity(), C in -360 .. 360 degrees.
    double at(double c, double gamma) const;

private:
    struct Axis {
        QList<double> samples;
        double step = 0; // > 0 when the samples are equally spaced
        bool locate(double x, int *i, double *t) const;
    };
    Axis m_c, m_g;
    QList<QList<double>> m_candela;
    bool m_dependsOnC = true;
};

// The flux (lm) leaving between two gamma angles (degrees): the integral of I sin(gamma) over the
// sphere, the intensities taken as linear between the samples.
double flux(const Photometry &p, double gammaFrom = 0, double gammaTo = 180);
// The flux in the 18 zones of 10 degrees, 0-10 .. 170-180.
std::array<double, 18> zonalFlux(const Photometry &p);

struct Fractions {
    double total = 0;     // luminaire flux / lamp flux (the light output ratio)
    double downward = 0;  // flux below the horizontal / lamp flux
    double upward = 0;    // flux above the horizontal / lamp flux
    // 下方光束比 as catalogues state it: the downward share of the luminaire's own flux (and the
    // upward share).
    double downwardShare() const { return total > 0 ? downward / total : 0; }
    double upwardShare() const { return total > 0 ? upward / total : 0; }
};
Fractions fractions(const Photometry &p);

// The share of the downward flux reaching the work plane straight away, by the zonal multipliers.
double directRatio(const std::array<double, 18> &zones, double rcr);
// The utilization factor of a room: RCR, the direct ratio, the downward and upward fractions of
// lamp flux, and the effective reflectances of the ceiling cavity, the walls and the floor cavity.
double utilizationFactor(double rcr, double directRatio, double downward, double upward, double ceiling, double wall,
                         double floor);

// The sheet's reflectance patterns 1 to 3 (ceiling / wall / floor) and the room index of each class.
constexpr std::array<std::array<double, 3>, 3> kPatterns = {{{0.7, 0.5, 0.1}, {0.5, 0.5, 0.1}, {0.3, 0.3, 0.1}}};
constexpr std::array<double, 12> kClassIndex = {0.6, 0.8, 1.0, 1.25, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 7.0, 10.0};

struct Table {
    std::array<std::array<int, 12>, 3> entries {}; // 100 x factor, cut to whole hundredths
    std::array<std::array<double, 12>, 3> factors {};
    QStringList warnings;
};
// The 3 x 12 table of a luminaire: pattern by class; a factor of 1.00 or more is stored as 99.
Table utilizationTable(const Photometry &p);
// The factor at any room index (not only a class's) and any reflectances (0..1).
double utilizationAt(const Photometry &p, double roomIndex, double ceiling, double wall, double floor);
// One entry as the table has it, for a room-index class 1..12 and any reflectances (0..1).
int utilizationEntry(const Photometry &p, int roomClass, double ceiling, double wall, double floor);

} // namespace PhotometryMath
