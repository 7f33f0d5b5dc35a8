#include "report/ReportData.h"

#include <QDir>
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
            *error = errorText(db.lastError(), databasePath, false);
        } else {
            QSqlQuery query(db);
            query.setForwardOnly(true);
            if (!query.exec(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table))) {
                *error = errorText(query.lastError(), databasePath, false);
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

QString errorText(const QSqlError &error, const QString &path, bool writing)
{
    // SQLite's primary result code is the low byte of the extended one.
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xFF;
    QString why;
    switch (ok ? code : -1) {
    case 13: why = QStringLiteral("ディスクの空き容量が足りません"); break;              // SQLITE_FULL
    case 10: why = QStringLiteral("ディスクの読み書きに失敗しました"); break;            // SQLITE_IOERR
    case 8: why = QStringLiteral("書き込みが許可されていません"); break;                 // SQLITE_READONLY
    case 14: why = QStringLiteral("ファイルを開けません"); break;                        // SQLITE_CANTOPEN
    case 5:
    case 6: why = QStringLiteral("ほかのプログラムが使用中です"); break;                 // SQLITE_BUSY, LOCKED
    case 11:
    case 26: why = QStringLiteral("ファイルが壊れているか、データベースではありません"); break; // CORRUPT, NOTADB
    case 7: why = QStringLiteral("メモリが足りません"); break;                           // SQLITE_NOMEM
    case 23: why = QStringLiteral("アクセスが許可されていません"); break;               // SQLITE_AUTH
    default:
        why = ok ? QStringLiteral("SQLite のエラー %1").arg(error.nativeErrorCode()) : QStringLiteral("データベースのエラー");
    }
    return QStringLiteral("印刷用のデータベース %1 を%2（%3）。")
        .arg(QDir::toNativeSeparators(path), writing ? QStringLiteral("書き込めません") : QStringLiteral("読み込めません"), why);
}

} // namespace ReportData
