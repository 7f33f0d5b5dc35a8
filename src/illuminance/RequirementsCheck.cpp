#include "illuminance/RequirementsCheck.h"

#include "grid/RoomFloors.h"
#include "illuminance/RoomRecord.h"
#include "master/FixedField.h"
#include "master/MasterTables.h"
#include "report/ColumnReport.h"
#include "text/CsvText.h"
#include "text/NumberText.h"

#include <algorithm>

namespace RequirementsCheck {

using namespace Requirements;

const QString kCreateStatement = QStringLiteral(
    "Create Table W_Data ([タイトル１] Text, [タイトル２] Text, [日付] Text, [会社名] Text, [ファイル名] Text, [階] Text, "
    "[室名] Text, [照明要件] Text, [Em要件] Text, [Em光束法] Text, [Em平均] Text, [Em判定] Text, [Uo要件] Text, [Uo] Text, "
    "[Uo判定] Text, [UGR_L] Text, [UGR] Text, [UGR判定] Text, [Ra要件] Text, [Ra] Text, [Ra判定] Text, [判定] Text, "
    "[備考] Text );");

namespace {

const ColumnReport::Column kColumns[] = {
    {"階", "", "階", "", 450, "", Qt::AlignHCenter},
    {"室名", "", "室    名", "", 1900, "", Qt::AlignLeft},
    {"照明要件", "", "照明要件", "", 1700, "", Qt::AlignLeft},
    {"Em要件", "Em", "要件", "lx", 600, "", Qt::AlignRight},
    {"Em光束法", "E", "光束法", "lx", 600, "", Qt::AlignRight},
    {"Em平均", "Eavg", "照度分布", "lx", 600, "", Qt::AlignRight},
    {"Em判定", "", "判定", "", 560, "", Qt::AlignHCenter},
    {"Uo要件", "Uo", "要件", "", 520, "", Qt::AlignRight},
    {"Uo", "Uo", "Emin/Eavg", "", 600, "", Qt::AlignRight},
    {"Uo判定", "", "判定", "", 560, "", Qt::AlignHCenter},
    {"UGR_L", "UGR_L", "要件", "", 520, "", Qt::AlignRight},
    {"UGR", "UGR", "室の最大", "", 560, "", Qt::AlignRight},
    {"UGR判定", "", "判定", "", 560, "", Qt::AlignHCenter},
    {"Ra要件", "Ra", "要件", "", 480, "", Qt::AlignRight},
    {"Ra", "Ra", "器具", "", 480, "", Qt::AlignRight},
    {"Ra判定", "", "判定", "", 560, "", Qt::AlignHCenter},
    {"判定", "", "室の判定", "", 640, "", Qt::AlignHCenter},
    {"備考", "", "備    考", "", 3000, "", Qt::AlignLeft},
};

QString note()
{
    return QStringLiteral("Em・Uo は照度分布の計算点（作業面、保守率込み）、UGR は各壁の中央 0.5 m の観測者の最大（初期光束）。"
                          "「—」は要件なし（判定しない）。要件と等しい値は適合。（提案）は室名から提案した要件で未確認。");
}

} // namespace

QString Room::rowsText() const
{
    QStringList out;
    for (int r : rows)
        out.append(QString::number(r));
    return out.join(u'+');
}

QString Room::taskText() const
{
    return task.isEmpty() ? QString() : proposed ? task + QStringLiteral("（提案）") : task;
}

Figures figuresOf(const RoomDistribution::Outcome &o, const MasterTables &masters)
{
    Figures f;
    if (o.lumenResult > 0)
        f.emLumen = o.lumenResult;
    if (o.ok) {
        f.emGrid = o.result.average;
        f.uo = o.result.u0;
        if (o.glare.largest)
            f.ugr = o.glare.largest;
        else
            f.whyNoUgr = o.glare.why;
    } else {
        f.whyNoGrid = QStringLiteral("照度分布なし：") + o.reason;
        f.whyNoUgr = f.whyNoGrid;
    }
    // Ra: the lowest of the room's luminaires, each from its EULUMDAT file or typed in the master.
    for (qsizetype k = 0; k < o.parts.size(); ++k) {
        const RoomDistribution::Part &p = o.parts[k];
        std::optional<double> ra;
        if (o.ok && k < o.room.sources.size())
            ra = o.room.sources[k].photometry.colourRendering;
        if (!ra && p.slot >= 1)
            ra = typedRa(masters.luminaire(p.slot));
        if (!ra) {
            f.whyNoRa = QStringLiteral("器具「%1」の Ra が不明です").arg(p.luminaire.trimmed());
            f.ra.reset();
            break;
        }
        f.ra = f.ra ? std::min(*f.ra, *ra) : *ra;
    }
    return f;
}

QList<Room> rooms(const RecordGrid &grid, const QList<RoomDistribution::Outcome> &outcomes, const QList<Requirement> &master,
                  const MasterTables &masters)
{
    const QVector<QString> floors = RoomFloors::of(grid);
    QList<Room> out;
    for (const RoomDistribution::Outcome &o : outcomes) {
        Room room;
        room.rows = o.rows;
        const int first = o.rows.value(0, o.row);
        room.floor = floors.value(first);
        room.name = o.name;
        room.task = grid.text(first, kColumn).trimmed();
        if (room.task == kNoRequirement) {
            room.task.clear();
        } else if (room.task.isEmpty()) {
            room.task = proposed(grid.text(first, RoomRecord::RoomName1), master);
            room.proposed = !room.task.isEmpty();
        }
        if (const Requirement *r = find(master, room.task))
            room.requirement = *r;
        room.figures = figuresOf(o, masters);
        room.check = check(room.requirement ? &*room.requirement : nullptr, room.figures);
        if (!room.task.isEmpty() && !room.requirement)
            room.check.reasons.prepend(QStringLiteral("照明要件「%1」がマスタにありません").arg(room.task));
        out.append(room);
    }
    return out;
}

QByteArray csv(const QList<Room> &rooms)
{
    const auto line = [](const QStringList &fields) { return CsvText::line(fields, QStringLiteral("\r\n"), CsvText::Guard::Formulas); };
    QString out = line({QStringLiteral("row"), QStringLiteral("floor"), QStringLiteral("name"), QStringLiteral("requirement"),
                        QStringLiteral("em_required"), QStringLiteral("em_lumen"), QStringLiteral("em_grid"),
                        QStringLiteral("uo_required"), QStringLiteral("uo"), QStringLiteral("ugr_l"), QStringLiteral("ugr"),
                        QStringLiteral("ra_required"), QStringLiteral("ra"), QStringLiteral("verdict")});
    for (const Room &r : rooms) {
        const Requirement *q = r.requirement ? &*r.requirement : nullptr;
        const auto req = [q](const std::optional<double> Requirement::*member, int decimals) {
            return q && (q->*member) ? QString::number(*(q->*member), 'f', decimals) : QString();
        };
        out += line({r.rowsText(), r.floor, r.name, r.task, req(&Requirement::em, 0), emText(r.figures.emLumen),
                     emText(r.figures.emGrid), req(&Requirement::uo, 2), uoText(r.figures.uo), req(&Requirement::ugrLimit, 0),
                     ugrText(r.figures.ugr), req(&Requirement::ra, 0), raText(r.figures.ra), verdictText(r.check.room)});
    }
    return out.toUtf8();
}

QList<QVariantList> lines(const QList<Room> &rooms, const QStringList &headings, const QString &company, const QString &fileName)
{
    QList<QVariantList> out;
    const auto blank = [&] {
        QVariantList l(ColumnCount);
        l[Title1] = headings.value(0);
        l[Title2] = headings.value(1);
        l[Date] = headings.value(2);
        l[Company] = company;
        l[FileName] = fileName;
        return l;
    };
    QString floor;
    for (const Room &r : rooms) {
        QVariantList l = blank();
        if (r.floor != floor || out.size() % kLinesPerPage == 0)
            l[Floor] = r.floor;
        floor = r.floor;
        l[RoomName] = r.name;
        l[Task] = r.taskText();
        const Requirement *q = r.requirement ? &*r.requirement : nullptr;
        const auto verdict = [q](Requirements::Verdict v, bool asked) { return q && asked ? verdictText(v) : QString(); };
        if (q) {
            l[EmRequired] = limitText(q->em, 0);
            l[UoRequired] = limitText(q->uo, 2);
            l[UgrLimit] = limitText(q->ugrLimit, 0);
            l[RaRequired] = limitText(q->ra, 0);
        }
        l[EmLumen] = emText(r.figures.emLumen);
        l[EmGrid] = emText(r.figures.emGrid);
        l[Uo] = uoText(r.figures.uo);
        l[Ugr] = ugrText(r.figures.ugr);
        l[Ra] = raText(r.figures.ra);
        l[EmVerdict] = verdict(r.check.em, q && q->em);
        l[UoVerdict] = verdict(r.check.uo, q && q->uo);
        l[UgrVerdict] = verdict(r.check.ugr, q && q->ugrLimit);
        l[RaVerdict] = verdict(r.check.ra, q && q->ra);
        l[Verdict] = verdictText(r.check.room);
        QStringList remarks = r.check.reasons;
        if (q && q->toConfirm())
            remarks.append(QStringLiteral("要件は要確認"));
        l[Remark] = remarks.join(QStringLiteral("、"));
        out.append(l);
    }
    while (out.size() % kLinesPerPage != 0)
        out.append(blank());
    return out;
}

const QString &title()
{
    static const QString t = QStringLiteral("照明要件チェック表");
    return t;
}

BandedReport definition(const QString &company)
{
    BandedReport report = ColumnReport::definition(title(), 5600, kColumns, kLinesPerPage);
    report.drawPageFooter = [company](BandedReport::Pen &pen, const BandedReport::Page &page, const QSqlRecord &) {
        const double y = page.bottom - 700;
        pen.text(page.left, y, page.right - page.left - 2000, 300, note(), Qt::AlignLeft | Qt::AlignVCenter, 8.5, false, false,
                 BandedReport::kSmallestLinePoints);
        pen.text(page.left, y + 340, 6000, 300, company, Qt::AlignLeft | Qt::AlignVCenter, 9, false, false,
                 BandedReport::kSmallestLinePoints);
        const double px = page.right - 1500;
        pen.text(px, y + 340, 700, 300, QString::number(page.number), Qt::AlignRight | Qt::AlignVCenter, 9);
        pen.text(px + 700, y + 340, 300, 300, QStringLiteral("/"), Qt::AlignHCenter | Qt::AlignVCenter, 9);
        pen.text(px + 1000, y + 340, 500, 300, QString::number(page.count), Qt::AlignLeft | Qt::AlignVCenter, 9);
    };
    return report;
}

XlsxOutput::Sheet workbook(const QList<QSqlRecord> &rows)
{
    XlsxOutput::Sheet sheet = XlsxOutput::sheetOf(QStringLiteral("照明要件"), title(), rows);
    ColumnReport::addColumns(sheet, kColumns);
    const QString company = rows.value(0).value(QStringLiteral("会社名")).toString();
    if (!company.trimmed().isEmpty())
        sheet.footer.append({QStringLiteral("会社名"), company});
    sheet.footer.append({note(), QVariant()});
    return sheet;
}

} // namespace RequirementsCheck
