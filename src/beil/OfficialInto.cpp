#include "beil/OfficialSheets.h"

#include "beil/BeilExport.h"
#include "beil/StandardValues.h"
#include "io/BoundedRead.h"
#include "io/CheckedFile.h"
#include "io/XlsxCells.h"
#include "text/NumberText.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>

#include <algorithm>
#include <map>

// The lighting designer's part written into the building's own official workbook: every part of it
// stays as it is but the rows of 様式4 from row 11 and the 照明 marks (column K) of 様式1. The two
// worksheets are changed inside their <sheetData> only; what lies outside it (columns, merged
// cells, validations, conditional formats, page set-up) keeps its bytes.
namespace OfficialSheets {

namespace {

constexpr qint64 kMaxBytes = 32LL * 1024 * 1024;
constexpr qint64 kMaxPart = 64LL * 1024 * 1024;
constexpr int kFirstData = kHeaderRows + 1;
constexpr int kMarkColumn = 11; // K: 照明 of 計算対象室
const QString kMark = QStringLiteral("■");

struct XmlCell {
    int column = 0;
    QString style;     // the s attribute ("" for none)
    QString raw;       // the element as written
    bool formula = false;
    bool sharedMaster = false; // the first cell of a shared formula (others depend on it)
};

struct XmlRow {
    int number = 0;
    QString startTag; // "<row r="12" …>" (a self-closing row's tag made an opening one)
    QList<XmlCell> cells;
};

// A worksheet's XML cut around its <sheetData>: before it, its rows, after it.
struct SheetXml {
    QString before, after;
    QString prefix; // "x:" where the sheet's elements carry one
    std::map<int, XmlRow> rows;
};

int columnOf(const QString &ref)
{
    int column = 0;
    for (QChar ch : ref) {
        if (ch < u'A' || ch > u'Z')
            break;
        column = column * 26 + (ch.unicode() - u'A' + 1);
    }
    return column;
}

bool parseSheet(const QByteArray &bytes, const QString &name, SheetXml *out, QString *error)
{
    const QString text = QString::fromUtf8(bytes);
    QXmlStreamReader xml(text);
    qint64 dataStart = -1, dataEnd = -1;
    XmlRow *row = nullptr;
    XmlCell cell;
    qint64 cellStart = -1;
    int lastRow = 0, lastColumn = 0;
    while (!xml.atEnd()) {
        const qint64 before = xml.characterOffset();
        xml.readNext();
        if (xml.isStartElement()) {
            const QStringView local = xml.name();
            if (local == u"sheetData" && dataStart < 0) {
                dataStart = before;
                out->prefix = xml.qualifiedName().toString().chopped(int(local.size()));
            } else if (local == u"row" && dataStart >= 0 && dataEnd < 0 && !row) {
                const QString r = xml.attributes().value(QStringLiteral("r")).toString();
                const int number = r.isEmpty() ? lastRow + 1 : r.toInt();
                if (number <= lastRow || number < 1) {
                    *error = QStringLiteral("「%1」の行の並びが正しくありません（%2 行）。").arg(name).arg(number);
                    return false;
                }
                lastRow = number;
                lastColumn = 0;
                QString tag = text.mid(before, xml.characterOffset() - before);
                if (tag.endsWith(QStringLiteral("/>")))
                    tag = tag.chopped(2).trimmed() + u'>';
                // The span of cells is a hint the rewritten row no longer keeps.
                static const QRegularExpression spans(QStringLiteral("\\s+spans=\"[^\"]*\""));
                tag.remove(spans);
                if (r.isEmpty())
                    tag.insert(tag.indexOf(u'w') + 1, QStringLiteral(" r=\"%1\"").arg(number));
                row = &out->rows[number];
                row->number = number;
                row->startTag = tag;
            } else if (local == u"c" && row) {
                cell = XmlCell();
                cellStart = before;
                const QString r = xml.attributes().value(QStringLiteral("r")).toString();
                cell.column = r.isEmpty() ? lastColumn + 1 : columnOf(r);
                if (cell.column <= lastColumn) {
                    *error = QStringLiteral("「%1」の %2 行のセルの並びが正しくありません。").arg(name).arg(row->number);
                    return false;
                }
                lastColumn = cell.column;
                cell.style = xml.attributes().value(QStringLiteral("s")).toString();
            } else if (local == u"f" && cellStart >= 0) {
                cell.formula = true;
                cell.sharedMaster = xml.attributes().value(QStringLiteral("t")) == u"shared"
                                    && xml.attributes().hasAttribute(QStringLiteral("ref"));
            }
        } else if (xml.isEndElement()) {
            const QStringView local = xml.name();
            if (local == u"c" && cellStart >= 0 && row) {
                cell.raw = text.mid(cellStart, xml.characterOffset() - cellStart);
                // A cell without its reference gets one: cells may be left out before it now.
                if (!cell.raw.contains(QStringLiteral(" r=\""))) {
                    const qsizetype at = cell.raw.indexOf(u'c') + 1;
                    cell.raw.insert(at, QStringLiteral(" r=\"%1%2\"").arg(XlsxCells::columnName(cell.column)).arg(row->number));
                }
                row->cells.append(cell);
                cellStart = -1;
            } else if (local == u"row" && row) {
                row = nullptr;
            } else if (local == u"sheetData" && dataStart >= 0 && dataEnd < 0) {
                dataEnd = xml.characterOffset();
            }
        }
    }
    if (xml.hasError() || dataStart < 0 || dataEnd < 0) {
        *error = QStringLiteral("「%1」の XML を読めません（%2 行）。").arg(name).arg(xml.lineNumber());
        return false;
    }
    out->before = text.left(dataStart);
    out->after = text.mid(dataEnd);
    return true;
}

// A text as the sheet's XML holds it: the five XML characters escaped, and characters no XML may
// carry written as the workbook's own _xHHHH_ (a literal "_x" sequence of that shape escaped too).
QString xmlText(const QString &text)
{
    static const QRegularExpression escapeLike(QStringLiteral("_(x[0-9A-Fa-f]{4}_)"));
    QString t = text;
    t.replace(escapeLike, QStringLiteral("_x005F_\\1"));
    QString out;
    out.reserve(t.size());
    for (QChar ch : std::as_const(t)) {
        const char16_t u = ch.unicode();
        if (u == u'&')
            out += QStringLiteral("&amp;");
        else if (u == u'<')
            out += QStringLiteral("&lt;");
        else if (u == u'>')
            out += QStringLiteral("&gt;");
        else if (u == u'"')
            out += QStringLiteral("&quot;");
        else if ((u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r') || u == 0xFFFE || u == 0xFFFF)
            out += QStringLiteral("_x%1_").arg(int(u), 4, 16, QChar(u'0')).toUpper().replace(QStringLiteral("_X"), QStringLiteral("_x"));
        else
            out += ch;
    }
    return out;
}

// A new cell: a number as a number, a text as an inline string (the shared strings stay as they
// are), an empty cell only where it carries a style.
QString cellXml(const QString &prefix, int column, int row, const QString &style, const QString &text, bool number)
{
    const QString ref = XlsxCells::columnName(column) + QString::number(row);
    const QString s = style.isEmpty() ? QString() : QStringLiteral(" s=\"%1\"").arg(style);
    if (text.isEmpty())
        return style.isEmpty() ? QString() : QStringLiteral("<%1c r=\"%2\"%3/>").arg(prefix, ref, s);
    if (number) {
        if (const auto v = NumberText::strict(text))
            return QStringLiteral("<%1c r=\"%2\"%3><%1v>%4</%1v></%1c>").arg(prefix, ref, s, NumberText::plain(*v));
    }
    const bool spaced = text.front().isSpace() || text.back().isSpace();
    return QStringLiteral("<%1c r=\"%2\"%3 t=\"inlineStr\"><%1is><%1t%4>%5</%1t></%1is></%1c>")
        .arg(prefix, ref, s, spaced ? QStringLiteral(" xml:space=\"preserve\"") : QString(), xmlText(text));
}

QString rowXml(const SheetXml &sheet, const XmlRow &row)
{
    QString out = row.startTag;
    for (const XmlCell &c : row.cells)
        out += c.raw;
    return out + QStringLiteral("</%1row>").arg(sheet.prefix);
}

QString sheetXml(const SheetXml &sheet)
{
    QString out = sheet.before + QStringLiteral("<%1sheetData>").arg(sheet.prefix);
    for (const auto &[number, row] : sheet.rows)
        out += rowXml(sheet, row);
    return out + QStringLiteral("</%1sheetData>").arg(sheet.prefix) + sheet.after;
}

// The style a new cell of `column` takes: the cell's own where it has one, else the first row of
// the data's (the official sheets format their input rows ahead).
QString styleOf(const SheetXml &sheet, const XmlRow *row, int column, int templateRow)
{
    if (row)
        for (const XmlCell &c : row->cells)
            if (c.column == column)
                return c.style;
    const auto t = sheet.rows.find(templateRow);
    if (t != sheet.rows.end())
        for (const XmlCell &c : t->second.cells)
            if (c.column == column)
                return c.style;
    return QString();
}

struct Replaced {
    QSet<QString> formulaCells; // cells that held a formula, now replaced ("B12")
};

// Cells `first`..`last` of row `number` set to `texts` (blank where a text is empty), the other
// cells of the row as they were; a missing row made from the template row's styles. False when a
// cell to replace starts a shared formula other cells depend on.
bool setCells(SheetXml &sheet, int number, int first, const QStringList &texts, const QList<int> &numbers, int templateRow,
              Replaced *replaced, const QString &sheetName, QString *error)
{
    const int last = first + int(texts.size()) - 1;
    auto found = sheet.rows.find(number);
    XmlRow made;
    XmlRow *row = found != sheet.rows.end() ? &found->second : nullptr;
    if (!row) {
        made.number = number;
        made.startTag = QStringLiteral("<%1row r=\"%2\">").arg(sheet.prefix).arg(number);
        row = &made;
    }
    QList<XmlCell> cells;
    for (const XmlCell &c : std::as_const(row->cells)) {
        if (c.column < first || c.column > last) {
            cells.append(c);
            continue;
        }
        if (c.sharedMaster) {
            *error = QStringLiteral("「%1」のセル %2%3 は他のセルが使う数式のため、書き換えられません。")
                         .arg(sheetName, XlsxCells::columnName(c.column))
                         .arg(number);
            return false;
        }
        if (c.formula)
            replaced->formulaCells.insert(XlsxCells::columnName(c.column) + QString::number(number));
    }
    for (int column = first; column <= last; ++column) {
        XmlCell c;
        c.column = column;
        c.style = styleOf(sheet, found != sheet.rows.end() ? &found->second : nullptr, column, templateRow);
        c.raw = cellXml(sheet.prefix, column, number, c.style, texts[column - first], numbers.contains(column));
        if (!c.raw.isEmpty())
            cells.append(c);
    }
    std::stable_sort(cells.begin(), cells.end(), [](const XmlCell &a, const XmlCell &b) { return a.column < b.column; });
    row->cells = cells;
    if (found == sheet.rows.end())
        sheet.rows[number] = made;
    return true;
}

// calcChain.xml lists the formula cells; one that lists a cell no longer holding a formula makes
// Excel repair the workbook. It is left out (Excel builds it again), with its relationship and
// its content type.
bool dropCalcChain(const QByteArray &bytes, QHash<QString, QByteArray> *replaced, QStringList *removed, QString *error)
{
    const QString chain = QStringLiteral("xl/calcChain.xml");
    if (!XlsxCells::hasPart(bytes, chain))
        return true;
    removed->append(chain);
    QByteArray rels, types;
    if (!XlsxCells::partOf(bytes, QStringLiteral("xl/_rels/workbook.xml.rels"), kMaxPart, &rels, error)
        || !XlsxCells::partOf(bytes, QStringLiteral("[Content_Types].xml"), kMaxPart, &types, error))
        return false;
    static const QRegularExpression rel(QStringLiteral("<Relationship\\b[^>]*Target=\"(/xl/)?calcChain\\.xml\"[^>]*/>"));
    static const QRegularExpression type(QStringLiteral("<Override\\b[^>]*PartName=\"/xl/calcChain\\.xml\"[^>]*/>"));
    replaced->insert(QStringLiteral("xl/_rels/workbook.xml.rels"), QString::fromUtf8(rels).remove(rel).toUtf8());
    replaced->insert(QStringLiteral("[Content_Types].xml"), QString::fromUtf8(types).remove(type).toUtf8());
    return true;
}

const XlsxCells::Sheet *findSheet(const QList<XlsxCells::Sheet> &sheets, const QString &tab, const QString &mark)
{
    for (const XlsxCells::Sheet &s : sheets)
        if (s.name.trimmed() == tab)
            return &s;
    for (const XlsxCells::Sheet &s : sheets)
        if (s.at(1, 1).text.trimmed().startsWith(mark))
            return &s;
    return nullptr;
}

} // namespace

bool writeInto(const QList<BeilRooms::Room> &rooms, const QString &buildingPath, const QString &path, IntoResult *result,
               QString *error)
{
    *result = IntoResult();
    if (!CheckedFile::checkTarget(path, error))
        return false;
    // Until the new workbook is made, a failure is the building workbook's.
    result->refused = true;
    QByteArray bytes;
    if (BoundedRead::read(buildingPath, kMaxBytes, &bytes, error) != BoundedRead::Outcome::Read)
        return false;
    QList<XlsxCells::Sheet> cells;
    if (!XlsxCells::readBytes(bytes, &cells, error, officialLimits()))
        return false;
    const XlsxCells::Sheet *form4 = findSheet(cells, kForm4Tab, QStringLiteral("様式 4."));
    const XlsxCells::Sheet *form1 = findSheet(cells, kForm1Tab, QStringLiteral("様式 1."));
    if (!form4 || !form1) {
        *error = QStringLiteral("%1 に「%2」と「%3」のシートがありません（公式入力シートのブックを指定してください）。")
                     .arg(QFileInfo(buildingPath).fileName(), kForm4Tab, kForm1Tab);
        return false;
    }
    SheetXml sheet4, sheet1;
    QByteArray xml4, xml1;
    if (!XlsxCells::partOf(bytes, form4->part, kMaxPart, &xml4, error) || !parseSheet(xml4, form4->name, &sheet4, error)
        || !XlsxCells::partOf(bytes, form1->part, kMaxPart, &xml1, error) || !parseSheet(xml1, form1->name, &sheet1, error))
        return false;
    Replaced replaced;

    // 様式4: the rows from row 11 replaced by the work file's, the cells beyond R left alone.
    const QList<QStringList> rows4 = BeilExport::form4Rows(rooms);
    int lastOld = kFirstData - 1;
    for (int r = kFirstData; r <= form4->rows.size(); ++r)
        for (int c = 1; c <= kForm4Columns; ++c)
            if (!form4->at(r, c).text.trimmed().isEmpty())
                lastOld = r;
    const int last4 = std::max(lastOld, kFirstData + int(rows4.size()) - 1);
    for (int r = kFirstData; r <= last4; ++r) {
        const qsizetype i = r - kFirstData;
        const QStringList texts = i < rows4.size() ? rows4[i] : QStringList(kForm4Columns);
        if (!setCells(sheet4, r, 1, texts, kForm4Numbers, kFirstData, &replaced, form4->name, error))
            return false;
    }
    result->form4Rows = int(rows4.size());

    // 様式1: the rooms matched by 階 + 室名 (and, between rooms of one name, 建物用途 and 室用途)
    // get ■ under 照明; the others are added after the last room.
    struct Line {
        int row;
        QString floor, name, building, use;
        bool marked;
        bool taken = false;
    };
    QList<Line> lines;
    QString floor;
    int lastRoom = kFirstData - 1;
    for (int r = kFirstData; r <= form1->rows.size(); ++r) {
        bool any = false;
        for (int c = 1; c <= kForm1Columns; ++c)
            any = any || !form1->at(r, c).text.trimmed().isEmpty();
        if (!any)
            continue;
        lastRoom = r;
        if (!form1->at(r, 1).text.trimmed().isEmpty())
            floor = form1->at(r, 1).text.trimmed();
        lines.append({r, floor, form1->at(r, 2).text.trimmed(), form1->at(r, 3).text.trimmed(), form1->at(r, 5).text.trimmed(),
                      form1->at(r, kMarkColumn).text.trimmed() == kMark});
    }
    const QList<QStringList> wanted = form1Rows(rooms, QString());
    int next = lastRoom + 1;
    for (const QStringList &w : wanted) {
        Line *match = nullptr;
        for (Line &l : lines) {
            if (l.taken || l.floor != w[0] || l.name != w[1])
                continue;
            if (!match || (l.building == w[2] && l.use == w[4] && !(match->building == w[2] && match->use == w[4])))
                match = &l;
        }
        if (match) {
            match->taken = true;
            if (!match->marked) {
                if (!setCells(sheet1, match->row, kMarkColumn, {kMark}, {}, match->row, &replaced, form1->name, error))
                    return false;
                ++result->marked;
            } else {
                ++result->alreadyMarked;
            }
            continue;
        }
        QStringList added = w;
        added[12] = QString(); // 建築物の名称 stays where the building's engineers wrote it
        added[13] = QString();
        if (!setCells(sheet1, next, 1, added, kForm1Numbers, std::max(kFirstData, lastRoom), &replaced, form1->name, error))
            return false;
        result->added.append(QStringLiteral("%1 %2").arg(w[0], w[1]));
        ++next;
    }
    for (const Line &l : std::as_const(lines))
        if (l.marked && !l.taken)
            result->warnings.append(QStringLiteral("様式1 の %1 行目（%2 %3）は照明の計算対象（■）ですが、作業ファイルにない室です（そのままにしました）。")
                                        .arg(l.row)
                                        .arg(l.floor, l.name));

    QHash<QString, QByteArray> parts{{form4->part, sheetXml(sheet4).toUtf8()}, {form1->part, sheetXml(sheet1).toUtf8()}};
    QStringList removed;
    if (!replaced.formulaCells.isEmpty() && !dropCalcChain(bytes, &parts, &removed, error))
        return false;
    QByteArray out;
    if (!XlsxCells::rewrite(bytes, parts, removed, &out, error))
        return false;
    result->refused = false;
    return CheckedFile::write(path, out, error);
}

QString intoText(const IntoResult &r, const QString &path)
{
    QString text = QStringLiteral("様式4 %1 行、様式1 照明 ■ %2 室").arg(r.form4Rows).arg(r.marked + r.alreadyMarked + int(r.added.size()));
    if (!r.added.isEmpty())
        text += QStringLiteral("（うち %1 室を追加）").arg(r.added.size());
    return text + QStringLiteral(" → %1").arg(QFileInfo(path).fileName());
}

} // namespace OfficialSheets
