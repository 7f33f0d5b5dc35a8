#include "beil/BeilExport.h"
#include "text/CsvText.h"

#include "beil/BeilCalculation.h"
#include "beil/OfficialSheets.h"
#include "beil/StandardValues.h"
#include "text/Cp932.h"

namespace BeilExport {

using BeilCalculation::shortest;

QString csvLine(const QStringList &fields)
{
    return CsvText::line(fields, QStringLiteral("\r\n"), CsvText::Guard::Formulas);
}

QByteArray figuresCsv(const QList<BeilRooms::Room> &rooms)
{
    QString out = csvLine({QStringLiteral("row"), QStringLiteral("floor"), QStringLiteral("room"),
                           QStringLiteral("room2"), QStringLiteral("building_use"), QStringLiteral("room_use"), QStringLiteral("area_m2"),
                           QStringLiteral("room_index"), QStringLiteral("shape_factor"), QStringLiteral("hours"),
                           QStringLiteral("design_wh"), QStringLiteral("design_mj"), QStringLiteral("standard_mj"),
                           QStringLiteral("bei_l")});
    for (const BeilRooms::Room &r : rooms) {
        const bool hasIndex = r.indexSource == BeilRooms::IndexSource::Typed
                              || r.indexSource == BeilRooms::IndexSource::Computed;
        const auto bei = r.bei();
        out += csvLine({BeilRooms::rowText(r), r.texts.floor, r.texts.name, r.texts.name2, r.standard->building,
                        r.standard->room, shortest(r.area), hasIndex ? shortest(r.roomIndex) : QString(),
                        shortest(r.shapeFactor), shortest(r.standard->hours), shortest(r.designWh), shortest(r.designMJ),
                        shortest(r.standardMJ), bei ? BeilCalculation::beiText(*bei) : QString()});
    }
    const BeilRooms::Sums all = BeilRooms::sums(rooms);
    const double design = all.designMJ, standard = all.standardMJ;
    const auto bei = BeilRooms::ratio(design, standard);
    QStringList total(14);
    total[0] = QStringLiteral("total");
    total[11] = shortest(design);
    total[12] = shortest(standard);
    total[13] = bei ? BeilCalculation::beiText(*bei) : QString();
    out += csvLine(total);
    return out.toUtf8();
}

QList<QStringList> form4Rows(const QList<BeilRooms::Room> &rooms)
{
    QList<QStringList> out;
    for (const BeilRooms::Room &r : rooms) {
        const BeilRooms::RoomTexts &t = r.texts;
        for (int i = 0; i < r.luminaires.size(); ++i) {
            const BeilRooms::Luminaire &l = r.luminaires[i];
            QStringList line;
            if (i == 0)
                line = {t.floor, BeilRooms::fullName(t), StandardValues::officialBuilding(r.standard->building), r.standard->room, t.area.trimmed(), t.storyHeight.trimmed(),
                        t.height.trimmed(), t.width.trimmed(), t.depth.trimmed(), t.roomIndex.trimmed()};
            else
                line = QStringList(10);
            const BeilRooms::LuminaireTexts &lt = t.luminaires[i];
            line << l.name << lt.watts.trimmed() << lt.count.trimmed();
            for (const Controls::Choice *c : l.choices)
                line << c->text;
            // The row's own 備考 (an imported sheet's) first, then what this sheet says of the row,
            // each once: a sheet written, read and written again says the same.
            QStringList said = l.notes;
            if (i == 0 && r.indexSource == BeilRooms::IndexSource::NotGiven)
                said.prepend(QStringLiteral("室指数なし（寸法未入力）"));
            const QString own = lt.remark.trimmed();
            QStringList remark;
            if (!own.isEmpty())
                remark.append(own);
            for (const QString &n : std::as_const(said))
                if (!own.split(QStringLiteral("、")).contains(n))
                    remark.append(n);
            line << remark.join(QStringLiteral("、"));
            out.append(line);
        }
    }
    return out;
}

QList<BeilRooms::Problem> form4Problems(const QList<BeilRooms::Room> &rooms)
{
    QList<BeilRooms::Problem> out;
    for (const BeilRooms::Room &r : rooms)
        if (r.texts.storyHeight.trimmed().isEmpty())
            out.append({r.texts.row, BeilRooms::fullName(r.texts), QStringLiteral("階高"), QString(),
                        QStringLiteral("が入力されていません（様式4の室の欄です）。"), false, QString()});
    return out;
}

bool form4Csv(const QList<BeilRooms::Room> &rooms, QByteArray *bytes, QString *error)
{
    return OfficialSheets::csv(OfficialSheets::form4Header(), form4Rows(rooms), bytes, error);
}

} // namespace BeilExport
