#include "emergency/RptHijou.h"

#include "emergency/EmergencyOutput.h"
#include "emergency/EmergencyPlot.h"
#include "emergency/ReachTable.h"
#include "report/ColumnReport.h"
#include "text/NumberText.h"

#include <QPainter>
#include <QSqlRecord>

#include <algorithm>
#include <cmath>
#include <memory>

namespace RptHijou {

namespace {

const ColumnReport::Column kColumns[] = {
    {"階", "", "階", "", 500, "", Qt::AlignHCenter},
    {"室名", "", "室    名", "", 2600, "", Qt::AlignLeft},
    {"床面積", "A", "床面積", "㎡", 900, "#,##0.0#", Qt::AlignRight},
    {"器具形式", "", "器具形式", "", 2400, "", Qt::AlignLeft},
    {"光源", "", "光源", "", 800, "", Qt::AlignHCenter},
    {"台数", "N", "台数", "台", 600, "#,##0", Qt::AlignRight},
    {"取付高さ", "H", "取付高さ", "m", 900, "", Qt::AlignRight},
    {"基準照度", "E_th", "基準照度", "lx", 900, "", Qt::AlignRight},
    {"最小照度", "E_min", "最小照度", "lx", 1000, "", Qt::AlignRight},
    {"判定", "", "判定", "", 900, "", Qt::AlignHCenter},
    {"備考", "", "備    考", "", 3000, "", Qt::AlignLeft},
};

void footer(BandedReport::Pen &pen, const BandedReport::Page &page, const QString &company)
{
    const double y = page.bottom - 700;
    pen.text(page.left, y, 14000, 300, EmergencyPlot::note(), Qt::AlignLeft | Qt::AlignVCenter, 9);
    pen.text(page.left, y + 340, 6000, 300, company, Qt::AlignLeft | Qt::AlignVCenter, 9, false, false,
             BandedReport::kSmallestLinePoints);
    const double px = page.right - 1500;
    pen.text(px, y + 340, 700, 300, QString::number(page.number), Qt::AlignRight | Qt::AlignVCenter, 9);
    pen.text(px + 700, y + 340, 300, 300, QStringLiteral("/"), Qt::AlignHCenter | Qt::AlignVCenter, 9);
    pen.text(px + 1000, y + 340, 500, 300, QString::number(page.count), Qt::AlignLeft | Qt::AlignVCenter, 9);
}

void heading(BandedReport::Pen &pen, const BandedReport::Page &page, const QString &caption, const Pages &p)
{
    pen.text(page.left, page.top, page.right - page.left, 560, caption, Qt::AlignHCenter | Qt::AlignVCenter, 18, true);
    pen.text(page.left, page.top + 600, 9000, 300, QStringLiteral("件名  ") + p.subject, Qt::AlignLeft | Qt::AlignVCenter, 10,
             false, false, BandedReport::kSmallestLinePoints);
    pen.text(page.right - 4000, page.top + 600, 4000, 300, p.date, Qt::AlignRight | Qt::AlignVCenter, 10);
}

// The rooms' plans, two a page.
void plans(BandedReport &report, const std::shared_ptr<const Pages> &p)
{
    QList<int> checked;
    for (int i = 0; i < p->rooms.size(); ++i)
        if (p->rooms[i].checked)
            checked.append(i);
    for (qsizetype i = 0; i < checked.size(); i += 2) {
        const QList<int> group = checked.mid(i, 2);
        report.extraPages.append([p, group](BandedReport::Pen &pen, const BandedReport::Page &page) {
            heading(pen, page, QStringLiteral("非常用照明　照度分布"), *p);
            const double top = page.top + 1000, bottom = page.bottom - 800;
            const double share = (page.right - page.left) / 2;
            for (qsizetype k = 0; k < group.size(); ++k) {
                const EmergencyRooms::Room &room = p->rooms[group[k]];
                const double x = page.left + k * share + (k == 0 ? 0 : 150);
                const double w = share - 150;
                pen.rect(x, top, w, bottom - top, 10);
                pen.text(x + 100, top + 60, w - 200, 320, QStringLiteral("%1 行目　%2　%3").arg(room.rowsText(), room.floor, room.name),
                         Qt::AlignLeft | Qt::AlignVCenter, 11, true, false, BandedReport::kSmallestLinePoints);
                QStringList lines = EmergencyPlot::figures(room);
                // The figures take at most 40 % of the box: a long list of typed positions is cut
                // short with how many are left out.
                const double most = (bottom - top) * 0.4;
                const double line = std::clamp(most / std::max<qsizetype>(1, lines.size()), 170.0, 250.0);
                const qsizetype fits = qsizetype(most / line);
                if (lines.size() > fits) {
                    // The typed positions' lines (each begins with its row's heading or with 　).
                    QList<qsizetype> typed;
                    for (qsizetype i = 0; i < lines.size(); ++i)
                        if (lines[i].contains(QStringLiteral("の配置 x, y m")) || (!typed.isEmpty() && typed.last() == i - 1 && lines[i].startsWith(u'　')))
                            typed.append(i);
                    const qsizetype cut = std::min(lines.size() - fits + 1, typed.size() - 1);
                    if (cut > 0) {
                        const qsizetype from = typed.last() - cut + 1;
                        lines.remove(from, cut);
                        lines.insert(from, QStringLiteral("　…（配置の残り %1 行は作業ファイルの配置欄のとおり）").arg(cut));
                    }
                }
                const double figuresTop = bottom - 100 - lines.size() * line;
                const QRectF plot(x + 100, top + 420, w - 200, figuresTop - top - 520);
                pen.painter().setFont(pen.baseFont());
                EmergencyPlot::draw(pen.painter(), plot, room, EmergencyPlot::reaches(room, p->lights), 8.5 * 20);
                for (int f = 0; f < lines.size(); ++f)
                    pen.text(x + 100, figuresTop + f * line, w - 200, line, lines[f], Qt::AlignLeft | Qt::AlignVCenter, 8.5,
                             false, false, BandedReport::kSmallestLinePoints);
            }
            footer(pen, page, p->company);
        });
    }
}

// The 配置表 of every luminaire used: worked out from its photometry, the maker's figures beside
// them where the master has them (a difference of more than 0.1 m marked).
void reachPages(BandedReport &report, const std::shared_ptr<const Pages> &p)
{
    QList<int> slotNumbers;
    for (const EmergencyRooms::Room &room : p->rooms)
        for (const EmergencyRooms::Kind &k : room.kinds)
            if (!slotNumbers.contains(k.slot) && p->lights.contains(k.slot))
                slotNumbers.append(k.slot);
    std::sort(slotNumbers.begin(), slotNumbers.end());
    for (int slot : std::as_const(slotNumbers)) {
        report.extraPages.append([p, slot](BandedReport::Pen &pen, const BandedReport::Page &page) {
            heading(pen, page, QStringLiteral("非常用照明　配置表"), *p);
            const EmergencyMaster::Luminaire *l = p->master.find(slot);
            const EmergencyMaster::Light &light = p->lights[slot];
            const double threshold = l ? EmergencyMaster::threshold(l->source) : 2;
            double y = page.top + 1050;
            pen.text(page.left, y, 16000, 320,
                     QStringLiteral("%1 番　%2　光源 %3　非常時光束 %4 lm　基準照度 %5 lx（床面、直接照度のみ、保守率なし）")
                         .arg(slot)
                         .arg(l ? l->name : QString(), l ? EmergencyMaster::sourceText(l->source) : QString(),
                              l ? NumberText::plain(l->flux) : QString(), NumberText::plain(threshold)),
                     Qt::AlignLeft | Qt::AlignVCenter, 10, true);
            y += 420;
            const bool maker = l && !l->maker.isEmpty();
            // Columns: 取付高さ, then A1 … B0 (計算, and メーカー beside each where the master has them).
            const double cw = maker ? 1000 : 1400;
            const double x0 = page.left;
            pen.text(x0, y, 1200, 300, QStringLiteral("取付高さ m"), Qt::AlignHCenter | Qt::AlignVCenter, 9, true);
            for (int f = 0; f < 8; ++f) {
                const double x = x0 + 1200 + f * cw * (maker ? 2 : 1);
                pen.text(x, y, cw * (maker ? 2 : 1), 300, QString::fromLatin1(ReachTable::name(f)) + QStringLiteral(" m"),
                         Qt::AlignHCenter | Qt::AlignVCenter, 9, true);
                if (maker) {
                    pen.text(x, y + 300, cw, 260, QStringLiteral("計算"), Qt::AlignHCenter | Qt::AlignVCenter, 8);
                    pen.text(x + cw, y + 300, cw, 260, QStringLiteral("メーカー"), Qt::AlignHCenter | Qt::AlignVCenter, 8);
                }
            }
            y += maker ? 600 : 340;
            pen.line(x0, y - 20, x0 + 1200 + 8 * cw * (maker ? 2 : 1), y - 20);
            bool marked = false;
            for (int h = 0; h <= 16; ++h) {
                const double height = 2.0 + 0.5 * h;
                const ReachTable::Figures f = ReachTable::figures(*light.table, light.scale, height, threshold);
                pen.text(x0, y, 1200, 300, NumberText::format(height, QStringLiteral("0.0")), Qt::AlignHCenter | Qt::AlignVCenter, 9);
                const EmergencyMaster::MakerLine *m = l ? EmergencyMaster::makerLine(*l, height) : nullptr;
                for (int k = 0; k < 8; ++k) {
                    const double x = x0 + 1200 + k * cw * (maker ? 2 : 1);
                    pen.text(x, y, cw - 100, 300, ReachTable::shown(f[size_t(k)]), Qt::AlignRight | Qt::AlignVCenter, 9);
                    if (m && m->figures[size_t(k)] > 0) {
                        const bool differs = ReachTable::makerDiffers(m->figures[size_t(k)], f[size_t(k)]);
                        marked = marked || differs;
                        pen.text(x + cw, y, cw - 100, 300,
                                 NumberText::format(m->figures[size_t(k)], QStringLiteral("0.0")) + (differs ? QStringLiteral(" ※") : QString()),
                                 Qt::AlignRight | Qt::AlignVCenter, 9, differs);
                    }
                }
                y += 310;
            }
            y += 100;
            pen.text(x0, y, 16000, 300,
                     QStringLiteral("A1/B1 1 台の到達距離（C0–C180 / C90–C270 面）、A2/B2 幅 2 m の廊下の中心線上の列の間隔、"
                                    "A4/B4 正方配置の間隔、A0/B0 その配置での壁からの距離。0.1 m 未満切り捨て。「—」はその高さでは 1 台で基準照度に届かないもの。"
                                    "判定には計算の値を使い、メーカーの値は比較のために示しています。"),
                     Qt::AlignLeft | Qt::AlignVCenter, 8.5, false, false, BandedReport::kSmallestLinePoints);
            if (marked)
                pen.text(x0, y + 300, 16000, 300, QStringLiteral("※ 計算とメーカーの値の差が 0.1 m を超えます。マスタの器具がカタログの器具か確かめてください。"),
                         Qt::AlignLeft | Qt::AlignVCenter, 8.5, true, false, BandedReport::kSmallestLinePoints);
            footer(pen, page, p->company);
        });
    }
}

} // namespace

const QString &title()
{
    static const QString t = QStringLiteral("非常用照明 照度計算書");
    return t;
}

BandedReport definition(const Pages &pages)
{
    BandedReport report = ColumnReport::definition(title(), 6000, kColumns, EmergencyOutput::kLinesPerPage);
    const QString company = pages.company;
    report.drawPageFooter = [company](BandedReport::Pen &pen, const BandedReport::Page &page, const QSqlRecord &) {
        footer(pen, page, company);
    };
    const auto shared = std::make_shared<const Pages>(pages);
    plans(report, shared);
    reachPages(report, shared);
    return report;
}

XlsxOutput::Sheet workbook(const QList<QSqlRecord> &rows)
{
    XlsxOutput::Sheet sheet = XlsxOutput::sheetOf(QStringLiteral("非常用照明"), title(), rows);
    ColumnReport::addColumns(sheet, kColumns);
    // The minimum as the number it is (cut to 0.01 lx).
    for (XlsxOutput::Column &c : sheet.columns)
        if (c.field == u"最小照度" || c.field == u"基準照度" || c.field == u"取付高さ")
            c.format = c.field == u"最小照度" ? QStringLiteral("0.00") : QStringLiteral("0.0#");
    const QString company = rows.value(0).value(QStringLiteral("会社名")).toString();
    if (!company.trimmed().isEmpty())
        sheet.footer.append({QStringLiteral("会社名"), company});
    sheet.footer.append({EmergencyPlot::note(), QVariant()});
    return sheet;
}

} // namespace RptHijou
