#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// Reads a workbook's first worksheet back the way a spreadsheet shows it: its XML unzipped
// (unzip -p), cells with their kind, value and number format, merged ranges and page set-up.
namespace XlsxReader {

struct Cell {
    enum Kind { Missing, Blank, Number, Text } kind = Missing;
    double number = 0;
    QString text;
    QString format; // the number format's code ("General" when none)
};

struct Book {
    bool ok = false;
    QString sheetName;
    QHash<QString, Cell> cells; // by reference ("A8")
    QStringList merged;         // "A1:S1"
    QString printTitles;        // the repeated rows ("$5:$7")
    int frozenRows = 0;
    int paperSize = 0;
    QString orientation;
    bool fitToWidth = false;
    QHash<QString, double> margins; // left, right, top, bottom (inches)
    QList<double> widths;           // a column's width, A first
    int lastRow = 0;

    // Rows and columns from 1.
    Cell at(int row, int column) const;
    // As a spreadsheet shows the cell: a number after its format (half away from zero, as
    // Excel rounds), a text as it is, "" for a blank or missing cell.
    QString shown(int row, int column) const;
    // The merged range that holds the cell ("" when none) and what is shown over the cell: its
    // own text, or that of the range it lies in.
    QString mergeOf(int row, int column) const;
    QString covering(int row, int column) const;
};

QString reference(int row, int column);
// The workbook's sheet `sheetNumber` (1 the first), as libxlsxwriter numbers its parts.
Book read(const QString &path, int sheetNumber = 1);

} // namespace XlsxReader
