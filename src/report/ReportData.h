#pragma once

#include <QList>
#include <QSqlRecord>
#include <QString>

// Reads a report's rows from its table in a print-table database, in insertion order, as a
// report bound to that table would.
namespace ReportData {

bool readTable(const QString &databasePath, const QString &table, QList<QSqlRecord> *rows, QString *error);

} // namespace ReportData
