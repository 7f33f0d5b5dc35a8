#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The cells of a workbook (.xlsx, .xlsm) as texts, read through libzip and QXmlStreamReader from
// the sheets' XML and the shared strings; no formulas are worked out (their stored results are
// read), nothing is written. Everything a file can make the reader hold is bounded: the file, each
// part unpacked, the shared strings, the rows and columns; a file beyond a bound, a part that is
// encrypted, or XML that does not parse is refused with the reason.
namespace XlsxCells {

struct Cell {
    enum Kind { Empty, Text, Number, Boolean, Error } kind = Empty;
    QString text; // a number as the shortest decimal that reads back the same value
};

struct Sheet {
    QString name;            // the tab's name
    QString part;            // its part in the package ("xl/worksheets/sheet2.xml")
    QList<QList<Cell>> rows; // row 1 first, column A first; shorter rows end with their last cell
    const Cell &at(int row, int column) const; // 1-based; Empty beyond the sheet
};

struct Limits {
    qint64 fileBytes = 32LL * 1024 * 1024;
    qint64 partBytes = 64LL * 1024 * 1024;        // one sheet's XML unpacked
    qint64 sharedStringBytes = 8LL * 1024 * 1024; // the shared strings' part unpacked
    int rows = 20000;
    int columns = 64; // cells to the right are not read
    int sheets = 64;
    // Only these sheets are read (by their tab's name, or by the text their A1 begins with; the
    // others are never unpacked beyond a glance at A1); none given: every sheet.
    QStringList onlyTabs;
    QStringList onlyFirstCells;
    // The most characters a text cell may hold, by sheet, row and column (none: no bound); a
    // longer one is refused as it is read, the cell and its length named.
    std::function<int(const QString &sheet, int row, int column)> maxChars;
};

// Every sheet of the workbook at `path` (a file the user names: its links are followed).
bool read(const QString &path, QList<Sheet> *sheets, QString *error, const Limits &limits = {});
// The same from the file's bytes.
bool readBytes(const QByteArray &bytes, QList<Sheet> *sheets, QString *error, const Limits &limits = {});

// One part of the package in `bytes` unpacked, at most `limit` bytes; false with the reason when
// it is missing, encrypted, larger or broken.
bool partOf(const QByteArray &bytes, const QString &name, qint64 limit, QByteArray *out, QString *error);
bool hasPart(const QByteArray &bytes, const QString &name);

// The package in `bytes` again with some parts changed: every part in its order and unpacked
// content as it was, but those in `replaced` (their new content) and those in `removed` (left
// out). The result in *out; false with the reason.
bool rewrite(const QByteArray &bytes, const QHash<QString, QByteArray> &replaced, const QStringList &removed,
             QByteArray *out, QString *error);

// "A" for 1, "R" for 18, "AA" for 27.
QString columnName(int column);

} // namespace XlsxCells
