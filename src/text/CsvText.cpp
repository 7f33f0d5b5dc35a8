#include "text/CsvText.h"

#include "text/NumberText.h"

namespace CsvText {

namespace {

bool formulaLike(const QString &text)
{
    if (text.isEmpty())
        return false;
    const QChar c = text.front();
    if (c != u'=' && c != u'+' && c != u'-' && c != u'@' && c != u'\t' && c != u'\r')
        return false;
    return !NumberText::strict(text).has_value();
}

} // namespace

QString field(const QString &text, Guard guard)
{
    const QString t = guard == Guard::Formulas && formulaLike(text) ? u'\'' + text : text;
    if (t.contains(u',') || t.contains(u'"') || t.contains(u'\n') || t.contains(u'\r'))
        return u'"' + QString(t).replace(u'"', QStringLiteral("\"\"")) + u'"';
    return t;
}

QString line(const QStringList &fields, const QString &end, Guard guard)
{
    QString out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += u',';
        out += field(fields[i], guard);
    }
    return out + end;
}

QString unguarded(const QString &text)
{
    return text.startsWith(u'\'') && formulaLike(text.mid(1)) ? text.mid(1) : text;
}

} // namespace CsvText
