#include "cecl/CeclCalculation.h"

#include "text/NumberText.h"

#include <cmath>
#include <limits>

namespace CeclCalculation {

namespace {

constexpr double kInt32Max = double(std::numeric_limits<qint32>::max());

// The last digit of n decides: below 5 it is dropped, otherwise the next ten is taken.
std::optional<double> lastDigitRule(double n, double scale)
{
    if (!std::isfinite(n) || std::fabs(n) > kInt32Max)
        return std::nullopt; // the rule's integer overflows
    const double d = std::fmod(n, 10.0);
    if (d >= 5 && n + 10 > kInt32Max)
        return std::nullopt; // n + 10 is taken before the digit is dropped
    return (d < 5 ? n - d : n - d + 10) / scale;
}

const QString kZero = QStringLiteral("0");

} // namespace

std::optional<double> number(const QString &text)
{
    if (text.trimmed().isEmpty())
        return std::nullopt;
    return NumberText::strict(text);
}

std::optional<double> roundFloor(double x, double scale)
{
    return lastDigitRule(std::trunc(x * scale), scale);
}

std::optional<double> roundEven(double x, double scale)
{
    // Halves to the even integer (the default rounding mode of the floating-point unit).
    return lastDigitRule(std::nearbyint(x * scale), scale);
}

QString formatThreeDecimals(double x)
{
    return NumberText::format(x, QStringLiteral("#.000"));
}

void ZoneCalculation(Panel &p)
{
    const auto text = [&p](const char *name) { return p.text(QLatin1String(name)); };
    const auto value = [&p](const char *name) { return number(p.text(QLatin1String(name))); };
    const auto set = [&p](const char *name, const QString &t) { p.setText(QLatin1String(name), t); };

    // 1. TotalInput = FittingCount x InputPower; a failed step keeps its text.
    if (text("Txt_InDenryoku").isEmpty()) {
        set("Txt_TotalIn", kZero);
    } else if (const auto n = value("Txt_Daisu"), w = value("Txt_InDenryoku"); n && w) {
        set("Txt_TotalIn", NumberText::plain(*n * *w));
    }

    // 2. PlannedPowerDensity = TotalInput / Area, R-floor(1000); a failed step writes "0".
    {
        QString out = kZero;
        if (const auto t = value("Txt_TotalIn"); t && *t != 0) {
            const auto a = value("Txt_Menseki");
            if (a && *a != 0) {
                if (const auto r = roundFloor(*t / *a, 1000))
                    out = NumberText::plain(*r);
            }
        }
        set("Txt_Ksyoumei", out);
    }

    // 3. AnnualEnergy = StandardHours x TotalInput / 1000, R-floor(100); a failed step writes "0".
    {
        QString out = kZero;
        const auto t = value("Txt_TotalIn");
        if (t && *t != 0 && !text("Txt_HTentou").isEmpty()) {
            if (const auto h = value("Txt_HTentou")) {
                if (const auto r = roundFloor(*h * *t / 1000, 100))
                    out = NumberText::plain(*r);
            }
        }
        set("Txt_Nendenryoku", out);
    }

    // 4. LightingEnergy = ControlFactor x AnnualEnergy, "#.000"; a failed step keeps its text.
    if (text("Txt_SeigyoHosei").isEmpty() || text("Txt_Nendenryoku").isEmpty()) {
        set("Txt_Syodenryoku", kZero);
    } else if (const auto f = value("Txt_SeigyoHosei"), e = value("Txt_Nendenryoku"); f && e) {
        set("Txt_Syodenryoku", formatThreeDecimals(*f * *e));
    }

    // 5. VirtualEnergy = StandardPower x StandardHours x Area x TypeFactor x IlluminanceFactor
    //    / 1000, "#.000"; a failed step keeps its text.
    {
        const char *const inputs[] = {"Txt_HSyoumei", "Txt_HTentou", "Txt_Menseki", "Txt_SyuHosei", "Txt_SyouHosei"};
        bool anyEmpty = false;
        for (const char *name : inputs)
            anyEmpty = anyEmpty || text(name).isEmpty();
        if (anyEmpty) {
            set("Txt_Vsyoden", kZero);
        } else {
            double product = 1;
            bool ok = true;
            for (const char *name : inputs) {
                const auto v = value(name);
                ok = ok && v.has_value();
                if (ok)
                    product *= *v; // left to right
            }
            if (ok)
                set("Txt_Vsyoden", formatThreeDecimals(product / 1000));
        }
    }

    // 6. ZoneCecl = LightingEnergy / VirtualEnergy, R-even(1000); a failed step writes "0".
    {
        QString out = kZero;
        const auto l = value("Txt_Syodenryoku");
        const auto v = value("Txt_Vsyoden");
        if (l && v && *l != 0 && *v != 0) {
            if (const auto r = roundEven(*l / *v, 1000))
                out = NumberText::plain(*r);
        }
        set("Txt_SyoEne", out);
    }
}

std::optional<double> Keisan_Ksyoumei(qint32 totalInput, double area)
{
    if (totalInput == 0)
        return 0.0;
    if (area == 0)
        return std::nullopt; // division by zero
    return roundFloor(totalInput / area, 1000);
}

std::optional<double> Keisan_Nendenryoku(qint32 totalInput, qint32 hours)
{
    if (totalInput == 0 || hours == 0)
        return 0.0;
    return std::floor(double(qint64(totalInput) * qint64(hours)) / 1000);
}

std::optional<double> Keisan_Syoumeisyouhi(double controlFactor, double annualEnergy)
{
    if (controlFactor == 0 || annualEnergy == 0)
        return 0.0;
    return number(formatThreeDecimals(controlFactor * annualEnergy));
}

std::optional<double> Keisan_Vsyoden(double standardPower, double hours, double area, double typeFactor,
                                     double illuminanceFactor)
{
    // The illuminance factor is not tested: a 0 there gives 0 through the product.
    if (standardPower == 0 || hours == 0 || area == 0 || typeFactor == 0)
        return 0.0;
    return number(formatThreeDecimals(standardPower * hours * area * typeFactor * illuminanceFactor / 1000));
}

std::optional<double> Keisan_CECL(double lightingEnergy, double virtualEnergy)
{
    if (lightingEnergy == 0 || virtualEnergy == 0)
        return 0.0;
    return roundEven(lightingEnergy / virtualEnergy, 1000);
}

} // namespace CeclCalculation
