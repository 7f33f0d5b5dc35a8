#pragma once

#include <QHash>
#include <QList>
#include <QMarginsF>
#include <QPair>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

// A report as an Excel workbook, built from the same print table as its PDF: one worksheet, the
// title, 件名 and 日付 above, the report's headings as header rows repeated on every printed page,
// one row a line of the table (blank lines too), numbers as numbers with the report's formats as
// Excel number formats, texts as texts, the report's column widths, B4 landscape with its margins,
// and the footer's lines below the table.
namespace XlsxOutput {

struct Column {
    QString field;          // the print table's column
    QStringList headings;   // a text for each header row, top to bottom ("" where none)
    double widthTwips = 0;
    QString format;         // the report's display pattern ("" for a text)
};

// A line under the table: its caption, its value (a number, a text, or none) and, for a number,
// the report's pattern it shows with ("" for as it is).
struct FooterLine {
    QString caption;
    QVariant value;
    QString format = {};
};

struct Sheet {
    QString name;           // the worksheet's name
    QString title;
    QString subject1, subject2, date;
    QList<Column> columns;
    QList<QSqlRecord> rows;
    // As the report's detail format: texts it shows where the table has none.
    std::function<void(const QSqlRecord &, QHash<QString, QString> &)> formatDetail;
    QList<FooterLine> footer;
    QMarginsF marginsTwips; // left, top, right, bottom
    double points = 8;      // the size the report prints its lines at
};

// A sheet of a print table's rows, its 件名 and 日付 from the first of them.
Sheet sheetOf(const QString &name, const QString &title, const QList<QSqlRecord> &rows);

// The value a cell stores for a field's value: a number (double) for a numeric column, a text
// otherwise; an invalid QVariant for an empty cell. A single-precision value is taken as the
// decimal it was written as (0.85, not 0.8500000238).
QVariant cellValue(const Column &column, const QVariant &value, const QString &shown);

// Builds the workbook in a folder of its own, then writes it through the checked write; false
// with the reason, any earlier file of that name left as it was.
bool write(const Sheet &sheet, const QString &path, QString *error);

// A plain table as a worksheet (another program's form filled in): texts cell by cell, from
// `firstNumberRow` (1-based) on the texts of `numberColumns` (1-based) that are numbers as
// numbers; blank texts leave their cells empty.
struct Table {
    QString name;
    QList<QStringList> rows;
    int firstNumberRow = 1;
    QList<int> numberColumns;
};
// The tables as the worksheets of one workbook, written as write() writes.
bool writeTables(const QList<Table> &tables, const QString &path, QString *error);

} // namespace XlsxOutput
