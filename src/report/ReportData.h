#pragma once

#include <QList>
#include <QSqlError>
#include <QSqlRecord>
#include <QString>

// Reads a report's rows from its table in a print-table database, in insertion order, as a
// report bound to that table would.
namespace ReportData {

bool readTable(const QString &databasePath, const QString &table, QList<QSqlRecord> *rows, QString *error);

// What went wrong with the database at `path`, in Japanese and naming it (SQLite's own words are
// English): "印刷用のデータベース PATH を書き込めません（ディスクの空き容量が足りません）。"
QString errorText(const QSqlError &error, const QString &path, bool writing = true);

} // namespace ReportData
