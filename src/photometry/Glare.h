#pragma once

#include "photometry/Photometry.h"
#include "photometry/PhotometryMath.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// Discomfort glare by the unified glare rating (CIE 117):
//
//     UGR = 8 log10( 0.25 / Lb · Σ L² ω / p² ),  L² ω = I² / (A_p r²)
//
// I the luminaire's intensity towards the eye, A_p its luminous opening as the eye sees it, r the
// distance, p the Guth position index (the published table, read bilinearly), Lb the background
// luminance. And the standard table of a luminaire (CIE 190): 19 rooms, five sets of reflectances,
// crosswise and endwise, with the standard's own background luminance.
namespace Glare {

// "発光部の寸法がないため UGR を計算できません。"
QString noOpeningText();

// p at T/R and H/R; none where the table has none: beyond it, behind the brow (an empty cell or
// one next to it).
std::optional<double> positionIndex(double tOverR, double hOverR);

// A luminaire as the observer sees it, m: t sideways of the line of sight, r along it (ahead),
// h above the eye.
struct Sight {
    double t = 0, r = 0, h = 0;
    double distance() const;
    double gamma() const; // degrees from the luminaire's nadir towards the eye
};
// Whether it counts: ahead of the eye, above it, within the table, seen at 85° or less.
bool counts(const Sight &s);
// Its share of the sum, I² / (A_p r² p²) (I in cd, A_p in m²); 0 when it does not count.
double term(double intensity, double projectedArea, const Sight &s);
// The rating of a sum and a background luminance (cd/m²); none when either is not positive.
std::optional<double> rating(double sum, double background);

// The five sets of reflectances of the table (ceiling, walls, floor, %), in its order.
constexpr std::array<std::array<int, 3>, 5> kSets = {{{70, 50, 20}, {70, 30, 20}, {50, 50, 20}, {50, 30, 20}, {30, 30, 20}}};
// Its 19 rooms, X (across the line of sight) by Y (along it) in units of H, in its order.
constexpr std::array<std::array<int, 2>, 19> kRooms = {{{2, 2}, {2, 3}, {2, 4}, {2, 6}, {2, 8}, {2, 12}, {4, 2},
                                                        {4, 3}, {4, 4}, {4, 6}, {4, 8}, {4, 12}, {8, 4}, {8, 6},
                                                        {8, 8}, {8, 12}, {12, 4}, {12, 6}, {12, 8}}};
// The set nearest to these reflectances (0 … 1): ceiling, then walls.
int nearestSet(double ceiling, double wall);

// The luminaire's flux as the standard's background rule takes it, per 1000 lm of lamp flux.
struct Zones {
    double downward = 0; // R_DLO
    double upward = 0;   // R_ULO
    std::array<double, 4> cumulative{}; // Φ_zL1 … Φ_zL4
};
Zones zones(const Photometry &p);
// F_GL1 … F_GL4 at a room index (linear between the table's rows, its ends beyond them).
std::array<double, 4> gainFactors(double k);
struct Transfer {
    double floorToWall = 0, wallToWall = 0, ceilingToWall = 0;
};
// F_T of a set at a room X × Y (units of H), between the table's rooms (its ends beyond them).
Transfer transferAt(int set, double x, double y);
// The walls' mean illuminance between the eye and the luminaires by the standard's rule (lx):
// `flux` lamp lumens a luminaire, `count` luminaires, walls of `wallArea` m².
double wallIlluminance(const Zones &z, double x, double y, int set, double flux, int count, double wallArea);

// The lamp flux a luminaire the file describes (its luminaire flux for absolute photometry).
double lampFlux(const Photometry &p);

struct Table {
    double spacing = 0.25; // S / H
    double flux = 0;       // lm of lamps a luminaire, as the file gives them
    // [room][column]: the five sets crosswise, then endwise; NaN where no luminaire counts.
    std::array<std::array<double, 10>, 19> cells{};
};
constexpr double kTableHeight = 2.0; // H of the table, m
// The luminaire's table at a spacing; false with the reason (no opening, no flux).
bool table(const Photometry &p, double spacing, Table *out, QString *error);
// A column's value at a room of X × Y (units of H) between the table's rooms; none outside
// 2 … 12 or where a cell is empty.
std::optional<double> tableAt(const Table &t, int column, double x, double y);
// The table as a CSV file (UTF-8): x_h, y_h and the ten columns, one decimal, a room a line.
QByteArray tableCsv(const Table &t);
// The table's columns as printed: "横 70/50/20" … "縦 30/30/20"; and what 横 and 縦 mean.
QStringList columnLabels();
QString viewsText();
// "UGR 表（SHR 0.25、H 2 m、ランプ光束 1000 lm に対する値）".
QString titleText(const Table &t);
// A cell as printed: one decimal, "—" where empty.
QString cellText(double v);

} // namespace Glare
