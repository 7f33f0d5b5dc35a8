#include "text/JapaneseDate.h"

namespace {

struct Era {
    const char *name;
    QDate start;
};

const Era kEras[] = {
    {"令和", QDate(2019, 5, 1)},  {"平成", QDate(1989, 1, 8)}, {"昭和", QDate(1926, 12, 25)},
    {"大正", QDate(1912, 7, 30)}, {"明治", QDate(1868, 9, 8)},
};

const Era *eraOf(const QDate &date)
{
    for (const Era &e : kEras)
        if (date >= e.start)
            return &e;
    return nullptr;
}

} // namespace

namespace JapaneseDate {

QString eraName(const QDate &date)
{
    const Era *e = eraOf(date);
    return e ? QString::fromUtf8(e->name) : QString();
}

int eraYear(const QDate &date)
{
    const Era *e = eraOf(date);
    return e ? date.year() - e->start.year() + 1 : date.year();
}

QString format(const QDate &date)
{
    const auto two = [](int n) { return QString::number(n).rightJustified(2, u'0'); };
    return QStringLiteral("%1 %2 年 %3 月 %4 日")
        .arg(eraName(date), two(eraYear(date)), two(date.month()), two(date.day()))
        .trimmed();
}

} // namespace JapaneseDate
