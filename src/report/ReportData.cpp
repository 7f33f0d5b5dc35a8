#include "report/ReportData.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace ReportData {

bool readTable(const QString &databasePath, const QString &table, QList<QSqlRecord> *rows, QString *error)
{
    rows->clear();
    if (!QFileInfo::exists(databasePath)) {
        *error = QStringLiteral("%1 がありません。").arg(databasePath);
        return false;
    }
    const QString connection = QStringLiteral("report-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(databasePath);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open()) {
            *error = db.lastError().text();
        } else {
            QSqlQuery query(db);
            query.setForwardOnly(true);
            if (!query.exec(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table))) {
                *error = query.lastError().text();
            } else {
                while (query.next())
                    rows->append(query.record());
                ok = true;
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return ok;
}

} // namespace ReportData
