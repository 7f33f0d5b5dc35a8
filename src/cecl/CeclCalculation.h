#pragma once

#include "grid/Panel.h"

#include <QString>

#include <optional>

// The CEC/L calculation: the zone on the panel (ZoneCalculation) and the functions the print
// table uses for zone lines and totals. Works on texts only; never shows anything.
//
// A function's std::nullopt is the arithmetic error of the rules (a division by zero, a value
// beyond the 32-bit range of the rounding rules): the caller decides what it means.
namespace CeclCalculation {

// Rule R-floor(s): n = the integer part of x s, d = n mod 10; (n - d) / s when d < 5, otherwise
// (n - d + 10) / s. R-even(s): the same with n = x s rounded half to even.
std::optional<double> roundFloor(double x, double scale);
std::optional<double> roundEven(double x, double scale);
// Rule R-format: "#.000" (three decimals, halves away from zero, no zero before the point).
QString formatThreeDecimals(double x);

// Recomputes the zone on the panel: TotalInput, PlannedPowerDensity, AnnualEnergy,
// LightingEnergy, VirtualEnergy and ZoneCecl, each step under continue-on-error.
void ZoneCalculation(Panel &panel);

std::optional<double> Keisan_Ksyoumei(qint32 totalInput, double area);
// Whole kWh, rounded down; the product is taken in 64 bits (a large hall at 300 kW for 8760 h
// does not overflow).
std::optional<double> Keisan_Nendenryoku(qint32 totalInput, qint32 hours);
std::optional<double> Keisan_Syoumeisyouhi(double controlFactor, double annualEnergy);
std::optional<double> Keisan_Vsyoden(double standardPower, double hours, double area, double typeFactor,
                                     double illuminanceFactor);
std::optional<double> Keisan_CECL(double lightingEnergy, double virtualEnergy);

// A number of the sheet's text: the whole text must be a number (blanks around it allowed);
// empty or anything else is no number.
std::optional<double> number(const QString &text);

} // namespace CeclCalculation
