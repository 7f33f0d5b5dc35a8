#include "support/XlsxReader.h"

#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <cmath>

namespace XlsxReader {

namespace {

QByteArray member(const QString &path, const QString &name)
{
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, name});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    return p.readAllStandardOutput();
}

// Excel's built-in number formats that a writer may use for the common patterns.
QString builtIn(int id)
{
    switch (id) {
    case 1:
        return QStringLiteral("0");
    case 2:
        return QStringLiteral("0.00");
    default:
        return QStringLiteral("General");
    }
}

QString attr(const QXmlStreamReader &x, const char *name)
{
    return x.attributes().value(QLatin1StringView(name)).toString();
}

} // namespace

QString reference(int row, int column)
{
    QString letters;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(row);
}

namespace {

// "W5" as row 5, column 23.
QPair<int, int> parseReference(const QString &ref)
{
    int column = 0, i = 0;
    for (; i < ref.size() && ref[i].isLetter(); ++i)
        column = column * 26 + (ref[i].unicode() - u'A' + 1);
    return {ref.mid(i).toInt(), column};
}

} // namespace

QString Book::mergeOf(int row, int column) const
{
    for (const QString &range : merged) {
        const auto [r1, c1] = parseReference(range.section(u':', 0, 0));
        const auto [r2, c2] = parseReference(range.section(u':', 1, 1));
        if (row >= r1 && row <= r2 && column >= c1 && column <= c2)
            return range;
    }
    return {};
}

QString Book::covering(int row, int column) const
{
    const QString range = mergeOf(row, column);
    if (range.isEmpty())
        return shown(row, column);
    const auto [r, c] = parseReference(range.section(u':', 0, 0));
    return shown(r, c);
}

Cell Book::at(int row, int column) const
{
    return cells.value(reference(row, column));
}

QString Book::shown(int row, int column) const
{
    const Cell c = at(row, column);
    if (c.kind == Cell::Text)
        return c.text;
    if (c.kind != Cell::Number)
        return {};
    static const QRegularExpression fixed(QStringLiteral("^(#,##)?0(?:\\.(0+))?$"));
    const auto m = fixed.match(c.format);
    if (!m.hasMatch())
        return QString::number(c.number, 'g', 15);
    const int decimals = int(m.captured(2).size());
    // Excel rounds the value as its 15 significant digits show it, halves away from zero.
    const double scaled = QString::number(c.number * std::pow(10.0, decimals), 'g', 15).toDouble();
    double rounded = std::round(scaled) / std::pow(10.0, decimals);
    if (rounded == 0)
        rounded = 0; // no "-0.0"
    QLocale locale(QLocale::English);
    if (m.captured(1).isEmpty())
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(rounded, 'f', decimals);
}

Book read(const QString &path, int sheetNumber)
{
    Book book;
    QStringList strings;
    {
        QXmlStreamReader x(member(path, QStringLiteral("xl/sharedStrings.xml")));
        QString current;
        bool in = false;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == u"si") {
                current.clear();
                in = true;
            } else if (x.isStartElement() && x.name() == u"t" && in) {
                current += x.readElementText();
            } else if (x.isEndElement() && x.name() == u"si") {
                strings.append(current);
                in = false;
            }
        }
    }
    QList<QString> styleFormats;
    {
        QHash<int, QString> formats;
        QXmlStreamReader x(member(path, QStringLiteral("xl/styles.xml")));
        bool inXfs = false;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == u"numFmt")
                formats.insert(attr(x, "numFmtId").toInt(), attr(x, "formatCode"));
            else if (x.isStartElement() && x.name() == u"cellXfs")
                inXfs = true;
            else if (x.isEndElement() && x.name() == u"cellXfs")
                inXfs = false;
            else if (inXfs && x.isStartElement() && x.name() == u"xf") {
                const int id = attr(x, "numFmtId").toInt();
                styleFormats.append(formats.contains(id) ? formats.value(id) : builtIn(id));
            }
        }
    }
    {
        QXmlStreamReader x(member(path, QStringLiteral("xl/workbook.xml")));
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == u"sheet" && attr(x, "sheetId").toInt() == sheetNumber) {
                book.sheetName = attr(x, "name");
            } else if (x.isStartElement() && x.name() == u"definedName" && attr(x, "name") == u"_xlnm.Print_Titles") {
                const QString t = x.readElementText();
                book.printTitles = t.mid(t.lastIndexOf(u'!') + 1);
            }
        }
    }
    const QByteArray sheet = member(path, QStringLiteral("xl/worksheets/sheet%1.xml").arg(sheetNumber));
    QXmlStreamReader x(sheet);
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement())
            continue;
        if (x.name() == u"c") {
            const QString ref = attr(x, "r");
            Cell cell;
            cell.format = styleFormats.value(attr(x, "s").toInt(), QStringLiteral("General"));
            const QString type = attr(x, "t");
            cell.kind = Cell::Blank;
            while (!(x.isEndElement() && x.name() == u"c") && !x.atEnd()) {
                x.readNext();
                if (x.isStartElement() && x.name() == u"v") {
                    const QString v = x.readElementText();
                    if (type == u"s") {
                        cell.kind = Cell::Text;
                        cell.text = strings.value(v.toInt());
                    } else if (type.isEmpty() || type == u"n") {
                        cell.kind = Cell::Number;
                        cell.number = v.toDouble();
                    } else {
                        cell.kind = Cell::Text;
                        cell.text = v;
                    }
                } else if (x.isStartElement() && x.name() == u"t") { // an inline string
                    cell.kind = Cell::Text;
                    cell.text += x.readElementText();
                }
            }
            static const QRegularExpression split(QStringLiteral("^([A-Z]+)([0-9]+)$"));
            const auto m = split.match(ref);
            if (m.hasMatch())
                book.lastRow = std::max(book.lastRow, m.captured(2).toInt());
            book.cells.insert(ref, cell);
        } else if (x.name() == u"mergeCell") {
            book.merged.append(attr(x, "ref"));
        } else if (x.name() == u"pane" && attr(x, "state") == u"frozen") {
            book.frozenRows = attr(x, "ySplit").toInt();
        } else if (x.name() == u"pageSetup") {
            book.paperSize = attr(x, "paperSize").toInt();
            book.orientation = attr(x, "orientation");
            book.fitToWidth = attr(x, "fitToWidth").isEmpty() || attr(x, "fitToWidth") == u"1";
        } else if (x.name() == u"pageSetUpPr") {
            book.fitToWidth = book.fitToWidth || attr(x, "fitToPage") == u"1";
        } else if (x.name() == u"pageMargins") {
            for (const char *side : {"left", "right", "top", "bottom"})
                book.margins.insert(QString::fromLatin1(side), attr(x, side).toDouble());
        } else if (x.name() == u"col") {
            const int last = attr(x, "max").toInt();
            while (book.widths.size() < last)
                book.widths.append(attr(x, "width").toDouble());
        }
    }
    book.ok = !sheet.isEmpty() && !x.hasError();
    return book;
}

} // namespace XlsxReader
