#pragma once

#include <array>

// The published tables the glare figures rest on.
namespace GlareTables {

constexpr int kGuthRows = 31;    // T/R 0.0 … 3.0
constexpr int kGuthColumns = 20; // H/R 0.0 … 1.9
constexpr double kGuthStep = 0.1;
extern const std::array<std::array<double, kGuthColumns>, kGuthRows> kGuth;

struct GainRow {
    double k;
    double f1, f2, f3, f4;
};
extern const std::array<GainRow, 13> kGain;

struct TransferRow {
    int reflectances; // index into the five sets
    double x, y;      // room in H units, X across the line of sight, Y along it
    double floorToWall, wallToWall, ceilingToWall;
};
extern const std::array<TransferRow, 95> kTransfer;

} // namespace GlareTables
