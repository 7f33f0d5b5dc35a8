#pragma once

#include <QString>

#include <optional>

// The lighting share of the current standard, room by room:
//   E_L,r  = Σ (W × N × F) × C_L × T_L  [Wh/年],  E_L = Σ E_L,r × 9760 × 10⁻⁶  [MJ/年],
//   E_SL,r = a_SL × A  [MJ/年],  BEI/L = Σ E_L / Σ E_SL (a ratio of sums).
// Plain numbers only; the rooms and their texts are BeilRooms'.
namespace BeilCalculation {

// kJ of primary energy per kWh of electricity.
constexpr double kPrimaryEnergyFactor = 9760;

// C_L of a room index: 0.50 below 0.75, then 0.60, 0.70, 0.80, 0.90 from 0.75, 0.95, 1.25, 1.75,
// and 1.00 from 2.50.
double shapeFactor(double k);
// K = L × D / (H × (L + D)), the work plane on the floor; H = 0 gives 2.5. No value when L + D is 0.
std::optional<double> roomIndex(double width, double depth, double height);
// Wh to MJ of primary energy.
double megajoules(double wattHours);
// Up to the next hundredth; a value within binary noise of a hundredth is that hundredth (0.30
// computed as 0.30000000000000004 stays 0.30).
double ceilHundredths(double x);

// Shown figures: MJ to one decimal from the unrounded value, GJ to two from the MJ as shown (the
// MJ ÷ 1000, halves up, so the two agree to a checker), BEI/L
// rounded up to two decimals, a computed K cut to two decimals (so the K shown never stands in a
// higher class than the K used), C_L to two decimals.
QString mjText(double mj);
QString gjText(double mj);
QString beiText(double bei);
QString roomIndexText(double k);
QString shapeFactorText(double cl);
// F = F1 × F2 × F3 × F4 with every decimal it has (up to eight: four factors of two), never
// rounded, so W × N × F can be redone from the printed line.
QString factorText(double f);
// The report's and the workbook's pattern of F.
inline constexpr const char *kFactorPattern = "0.00######";
// The shortest decimal text that reads back as the same double ("0.1", "12720.48128").
QString shortest(double value);

} // namespace BeilCalculation
