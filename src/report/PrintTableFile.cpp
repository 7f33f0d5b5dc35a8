#include "report/PrintTableFile.h"

#include "io/CheckedFile.h"
#include "report/ReportData.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace {

// One connection of its own for each build, removed with it.
class Connection
{
public:
    explicit Connection(const QString &path)
        : m_name(QStringLiteral("print-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
    }
    ~Connection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            if (db.isOpen())
                db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
};

PrintTableFile::Status fillDatabase(const QString &path, const QString &shown, const QString &createStatement,
                                    const QString &table, int columns, const PrintTableFile::Fill &fill, QString *error)
{
    using Status = PrintTableFile::Status;
    Connection connection(path);
    QSqlDatabase db = connection.db();
    if (!db.open()) {
        *error = ReportData::errorText(db.lastError(), shown);
        return Status::CannotWrite;
    }
    QSqlQuery query(db);
    if (!query.exec(createStatement) || !db.transaction()) {
        *error = ReportData::errorText(query.lastError().isValid() ? query.lastError() : db.lastError(), shown);
        return Status::CannotWrite;
    }
    QString placeholders = QStringLiteral("?");
    for (int i = 1; i < columns; ++i)
        placeholders += QStringLiteral(",?");
    if (!query.prepare(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table, placeholders))) {
        *error = ReportData::errorText(query.lastError(), shown);
        db.rollback();
        return Status::CannotWrite;
    }
    PrintTableFile::Writer writer(query, columns, shown);
    const Status status = fill(writer, error);
    if (status != Status::Ok) {
        db.rollback();
        return status;
    }
    if (!db.commit()) {
        *error = ReportData::errorText(db.lastError(), shown);
        return Status::CannotWrite;
    }
    return Status::Ok;
}

} // namespace

QVariant PrintTableFile::text(const QString &value)
{
    // An empty text is stored as an empty text, not as Null.
    if (value.isNull())
        return QVariant(QStringLiteral(""));
    return QVariant(value.size() > kTextLength ? value.left(kTextLength) : value);
}

bool PrintTableFile::Writer::append(const QVariantList &values, QString *error)
{
    for (int i = 0; i < m_columns; ++i)
        m_insert.bindValue(i, i < values.size() ? values[i] : QVariant());
    if (!m_insert.exec()) {
        *error = ReportData::errorText(m_insert.lastError(), m_shown);
        return false;
    }
    return true;
}

PrintTableFile::Status PrintTableFile::build(const QString &databasePath, const QString &createStatement,
                                             const QString &table, int columns, const Fill &fill,
                                             QList<QSqlRecord> *rows, QString *error, const Check &check)
{
    const QString temporary = CheckedFile::createTemporary(databasePath, error);
    if (temporary.isEmpty())
        return Status::CannotWrite;
    const auto discard = [&temporary] {
        QFile::remove(temporary);
        QFile::remove(temporary + QStringLiteral("-journal"));
    };
    const Status status = fillDatabase(temporary, databasePath, createStatement, table, columns, fill, error);
    if (status != Status::Ok) {
        discard();
        return status;
    }
    // The rows are read from this build's own file, so another build finishing meanwhile cannot
    // put its rows under this report.
    if (!ReportData::readTable(temporary, table, rows, error)) {
        discard();
        return Status::CannotWrite;
    }
    if (check) {
        if (const Status checked = check(*rows, error); checked != Status::Ok) {
            discard();
            rows->clear();
            return checked;
        }
    }
    if (!CheckedFile::commit(temporary, databasePath, error)) {
        discard();
        rows->clear();
        return Status::CannotWrite;
    }
    return Status::Ok;
}

PrintTableFile::Status PrintTableFile::buildLines(const QString &databasePath, const QString &createStatement,
                                                  const QString &table, int columns, const QList<QVariantList> &lines,
                                                  QList<QSqlRecord> *rows, QString *error)
{
    return build(
        databasePath, createStatement, table, columns,
        [&lines](Writer &writer, QString *why) {
            for (const QVariantList &line : lines) {
                QVariantList values;
                for (const QVariant &v : line)
                    values.append(v.isNull() ? QVariant() : text(v.toString()));
                if (!writer.append(values, why))
                    return Status::CannotWrite;
            }
            return Status::Ok;
        },
        rows, error);
}
