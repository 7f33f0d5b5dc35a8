#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The editable form of a master file: UTF-8 CSV, a header naming the record's fields, then one row
// per slot. Converting a .mst written from CSV back to CSV and again to .mst gives the same bytes.
class MasterCsv
{
public:
    enum class Kind { Lamp, Luminaire, Room };

    static QStringList header(Kind kind);
    static int recordLength(Kind kind);

    // Every whole record of the file becomes one row.
    static QString toCsv(Kind kind, const QByteArray &mst);
    // False with a message naming the line when the CSV does not fit the layout.
    static bool toMst(Kind kind, const QString &csv, QByteArray *mst, QString *error);
    // One row as the tool writes it: fields quoted where they must be, "\n" at the end.
    static QString line(const QStringList &fields);
};
