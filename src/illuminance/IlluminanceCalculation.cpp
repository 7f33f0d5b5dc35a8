#include "illuminance/IlluminanceCalculation.h"

#include "master/FixedField.h"
#include "master/MasterTables.h"
#include "text/NumberText.h"

#include <cmath>
#include <optional>

namespace {

using NumberText::format;
using NumberText::leading;
using NumberText::plain;
using NumberText::strict;

constexpr IlluminanceCalculation::FieldCheck kChecks[] = {
    {"Txt_WTousu", 1, 1, true, 30, true, "#0", "1台あたりの灯数"},
    {"Txt_Syoudo1", 11, 0, true, 9999, false, "#0", "照度"},
    {"Txt_Maguchi", 21, 0, false, 999.9, true, "##0.0", "間口"},
    {"Txt_Okuyuki", 31, 0, false, 999.9, false, "##0.0", "奥行"},
    {"Txt_Takasa", 41, 0, false, 99.9, false, "#0.0", "高さ"},
    {"Txt_Stakasa", 51, 0, true, 9.99, true, "0.00", "作業面の高さ"},
    {"Txt_Kudari", 61, 0, true, 999.9, true, "0.0", "器具下り"},
    {"Txt_Hrten", 71, 0, true, 99, true, "#0", "天井の反射率"},
    {"Txt_Hrkabe", 81, 0, true, 99, true, "#0", "壁の反射率"},
    {"Txt_Hryuka", 91, 0, true, 99, true, "#0", "床の反射率"},
    {"Txt_Syouritsu", 101, 0, true, 9.99, true, "0.00", "照明率"},
    {"Txt_Horitsu", 111, 0, true, 0.99, true, "0.00", "保守率"},
    {"Txt_Tousu2", 121, 0, true, 9999, true, "###0", "灯数"},
    {"Txt_Biko1", 131, 0, true, 99999, true, "####0", "備考１"},
};

bool inRange(double v, const IlluminanceCalculation::FieldCheck &c)
{
    const bool aboveLow = c.lowInclusive ? v >= c.low : v > c.low;
    const bool belowHigh = c.highInclusive ? v <= c.high : v < c.high;
    return aboveLow && belowHigh;
}

// A result that arithmetic could not give (division by zero, overflow) skips its step.
std::optional<double> finite(double v)
{
    return std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

// Rounds to a whole number, halves away from zero.
double roundHalfAway(double v)
{
    return std::round(v);
}

struct Calc {
    IlluminancePanel &p;
    const FormState &s;
    const MasterTables *masters;
    const MasterTables &m;

    QString t(const char *name) const { return p.text(QString::fromLatin1(name)); }
    void set(const char *name, const QString &text) { p.setText(QString::fromLatin1(name), text); }
    double lead(const char *name) const { return leading(t(name)); }

    void area()
    {
        if (!t("Txt_Maguchi").isEmpty() || !t("Txt_Okuyuki").isEmpty()) {
            if (auto a = finite(lead("Txt_Maguchi") * lead("Txt_Okuyuki") - 0.01))
                set("Txt_Menseki", format(*a, QStringLiteral("###0.0")));
        } else {
            set("Txt_Menseki", QStringLiteral("0"));
        }
    }

    bool heightCheckFails() const
    {
        if (t("Txt_Takasa").isEmpty() || t("Txt_Stakasa").isEmpty())
            return false;
        const double H = lead("Txt_Takasa");
        const double h = lead("Txt_Stakasa");
        if (h >= H)
            return true;
        return !t("Txt_Kudari").isEmpty() && H - h <= lead("Txt_Kudari");
    }

    void roomIndex()
    {
        if (lead("Txt_Menseki") == 0) {
            set("Txt_Shisu", QString());
            return;
        }
        const auto A = strict(t("Txt_Menseki"));
        const auto H = strict(t("Txt_Takasa"));
        const auto h = strict(t("Txt_Stakasa"));
        const auto s = strict(t("Txt_Kudari"));
        if (!A || !H || !h || !s)
            return;
        const double denominator = (*H - *h - *s) * (lead("Txt_Maguchi") + lead("Txt_Okuyuki"));
        if (denominator == 0)
            return;
        const auto K = finite(*A / denominator);
        if (!K)
            return;
        set("Txt_Shisu", format(std::trunc(*K * 100) / 100, QStringLiteral("#0.00")));
    }

    void utilizationFactor()
    {
        if (t("Txt_Shisu").isEmpty() || s.reflectanceChoice == 0)
            return;
        if (s.reflectanceChoice < 1 || s.reflectanceChoice > 3) {
            set("Txt_Syouritsu", QString());
            return;
        }
        if (s.luminaireIndex == 0)
            return;
        const int cls = IlluminanceCalculation::roomIndexClass(lead("Txt_Shisu"));
        const auto entry = strict(m.luminaire(s.luminaireIndex).utilizationFactor(s.reflectanceChoice, cls));
        if (!entry)
            return;
        set("Txt_Syouritsu", plain(*entry / 100));
    }

    static bool validSlot(int slot) { return slot >= 1 && slot <= MasterTables::kSlots; }

    void maintenanceFactor()
    {
        // A choice outside the three buttons (only from a damaged file) has nothing to copy.
        if (s.maintenanceChoice < 1 || s.maintenanceChoice > 2)
            return;
        if (validSlot(s.luminaireIndex)) {
            const LuminaireRecord &lum = m.luminaire(s.luminaireIndex);
            for (int i = 0; i < 3; ++i)
                p.setText(QStringLiteral("Lbl_Hosyu_%1").arg(i), lum.maintenanceFactor(i + 1));
        }
        set("Txt_Horitsu", p.text(QStringLiteral("Lbl_Hosyu_%1").arg(s.maintenanceChoice)));
    }

    // Steps 7 and 8; false when they were skipped.
    void lampCounts()
    {
        const double F = lead("Txt_Kousoku");
        const double U = lead("Txt_Syouritsu");
        const double M = lead("Txt_Horitsu");
        const double E = lead("Txt_Syoudo1");
        if (F == 0 || U == 0 || M == 0 || E == 0)
            return;
        if (const auto A = strict(t("Txt_Menseki"))) {
            if (const auto N = finite(*A * E / (F * U * M) + 0.0999))
                set("Txt_Tousu1", format(std::trunc(*N * 10) / 10, QStringLiteral("##0.0")));
        }
        if (p.text(QStringLiteral("Chk_Tousu")) == u"1")
            automaticLampCount();
    }

    void automaticLampCount()
    {
        const double c = lead("Txt_Tousu1");
        const QString wText = t("Txt_WTousu");
        if (leading(wText) == 0) {
            set("Txt_Tousu2", QStringLiteral("0"));
            return;
        }
        const auto w = strict(wText);
        if (!w)
            return;
        const double a = roundHalfAway(c * 10);
        const double b = roundHalfAway(*w * 10);
        if (b == 0)
            return;
        const auto q = finite(std::trunc(c / *w));
        if (!q)
            return;
        const double count = std::fmod(a, b) == 0 ? *q * *w : (*q + 1) * *w;
        set("Txt_Tousu2", plain(count));
    }

    void resultIlluminance()
    {
        const double A = lead("Txt_Menseki");
        if (A == 0) {
            set("Txt_Syoudo2", QStringLiteral("0"));
            return;
        }
        const double P = lead("Txt_Kousoku") * lead("Txt_Syouritsu") * lead("Txt_Horitsu") * lead("Txt_Tousu2");
        if (const auto r = finite(std::trunc(std::trunc(P) / A + 0.5)))
            set("Txt_Syoudo2", format(*r, QStringLiteral("##0")));
    }

    void fittingCount()
    {
        if (p.text(QStringLiteral("Chk_Daisu")) != u"1")
            return;
        double d = 0;
        if (lead("Txt_Tousu1") != 0) {
            const double perFitting = lead("Txt_WTousu");
            // With no lamps per fitting the division has no value; the floor below shows 1.
            d = perFitting == 0 ? 0 : roundHalfAway(lead("Txt_Tousu2") / perFitting);
            if (!std::isfinite(d))
                return;
        }
        if (d < 1)
            d = 1;
        set("Txt_Daisu", plain(d));
        if (lead("Txt_Tousu2") == 0)
            set("Txt_Daisu", QStringLiteral("0"));
    }

    // A capacity worked out by 自動計算 follows the lamps: their count and the lamp itself.
    void capacity()
    {
        if (s.capacityMode != 1 || !masters)
            return;
        if (s.lampIndex < 1 || s.lampIndex > 79) {
            set("Txt_Biko1", QString()); // no master lamp, no capacity to work out
            return;
        }
        if (const auto c = finite(lead("Txt_Tousu2") * m.lamp(s.lampIndex).lampCapacity))
            set("Txt_Biko1", plain(*c));
    }

    void lampNameAndFlux(const QString &fieldName)
    {
        if (fieldName == u"Txt_WKougen")
            return;
        const QString entry = t("Txt_WKougen");
        const QString perFitting = t("Txt_WTousu");
        if (s.lampIndex != 0) {
            if (!validSlot(s.lampIndex))
                return; // no such master slot: the step writes nothing
            set("Txt_Kousoku", m.lamp(s.lampIndex).flux);
            p.setVisible(QStringLiteral("Txt_WTousu"), false);
            set("Txt_Kougen", perFitting.isEmpty() ? entry : entry + u'-' + perFitting);
        } else if (!t("Txt_Kougen").isEmpty() || !perFitting.isEmpty()) {
            set("Txt_Kougen", entry + u'-' + perFitting);
        }
    }
};

} // namespace

const IlluminanceCalculation::FieldCheck *IlluminanceCalculation::fieldCheck(const QString &fieldName)
{
    for (const FieldCheck &c : kChecks)
        if (fieldName == QLatin1String(c.field))
            return &c;
    return nullptr;
}

int IlluminanceCalculation::roomIndexClass(double k)
{
    static constexpr double kBounds[] = {8.5, 5.5, 4.5, 3.5, 2.75, 2.25, 1.75, 1.38, 1.12, 0.9, 0.7};
    int cls = 12;
    for (double bound : kBounds) {
        if (k >= bound)
            return cls;
        --cls;
    }
    return 1;
}

QString IlluminanceCalculation::roomIndexLetter(int cls)
{
    static const char *const kLetters[] = {"J", "I", "H", "G", "F", "E", "D", "C", "B", "A", "A", "A"};
    if (cls < 1 || cls > 12)
        return QString();
    return QString::fromLatin1(kLetters[cls - 1]);
}

int IlluminanceCalculation::Data_calculation(IlluminancePanel &panel, const FormState &state,
                                             const MasterTables &masters, const QString &fieldName)
{
    Calc c{panel, state, &masters, masters};
    int errorNumber = 0;
    int result = 0;

    // 1. Field check and reformat.
    if (const FieldCheck *check = fieldCheck(fieldName)) {
        const double v = leading(panel.text(fieldName));
        if (!inRange(v, *check))
            errorNumber = check->error;
        panel.setText(fieldName, NumberText::format(v, QString::fromLatin1(check->pattern)));
    }

    if (errorNumber == 0) {
        c.area();                       // 2
        if (c.heightCheckFails())       // 3
            result = 1;
        c.roomIndex();                  // 4
        c.utilizationFactor();          // 5
        c.maintenanceFactor();          // 6
        c.lampCounts();                 // 7, 8
        c.resultIlluminance();          // 9
        c.fittingCount();               // 10
        c.capacity();
    }

    // 11. Focus.
    if (result == 1)
        panel.focus(fieldName);
    if (errorNumber != 0) {
        panel.focus(fieldName);
        return errorNumber;
    }

    c.lampNameAndFlux(fieldName);       // 12
    return result;
}

void IlluminanceCalculation::recalculateFigures(IlluminancePanel &panel, const FormState &state,
                                                const MasterTables *masters)
{
    static const MasterTables none;
    Calc c{panel, state, masters, masters ? *masters : none};
    c.lampCounts();        // 7, 8
    c.resultIlluminance(); // 9
    c.fittingCount();      // 10
    c.capacity();
}

QString IlluminanceCalculation::refusalText(int result, const QString &fieldName)
{
    if (result == 0)
        return QString();
    if (result == 1)
        return QStringLiteral("作業面の高さは室の高さより低く、室の高さから作業面の高さを引いた値は器具下りより大きくしてください。");
    const FieldCheck *check = fieldCheck(fieldName);
    if (!check || check->error != result)
        return QString();
    const QString low = NumberText::plain(check->low) + (check->lowInclusive ? QStringLiteral(" 以上") : QStringLiteral(" より大きく"));
    const QString high = NumberText::plain(check->high) + (check->highInclusive ? QStringLiteral(" 以下") : QStringLiteral(" 未満"));
    return QStringLiteral("%1 は %2、%3の値を入力してください。").arg(QString::fromUtf8(check->caption), low, high);
}
