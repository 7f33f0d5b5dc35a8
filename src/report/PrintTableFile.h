#pragma once

#include <QList>
#include <QSqlRecord>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

class QSqlQuery;

// A print-table database, built whole under a unique temporary name beside its place, read back as
// the report reads it, and only then renamed into place. Two builds at once (a batch run beside an
// open sheet) never see each other's rows, and a failed build leaves the previous table.
class PrintTableFile
{
public:
    enum class Status { Ok, ValueTooLarge, CannotWrite };

    // Text columns hold at most this many characters; longer texts are cut.
    static constexpr int kTextLength = 255;
    static QVariant text(const QString &value);

    // Appends records to the table being built.
    class Writer
    {
    public:
        Writer(QSqlQuery &insert, int columns, const QString &shown) : m_insert(insert), m_columns(columns), m_shown(shown) {}
        // False with *error when the record cannot be stored.
        bool append(const QVariantList &values, QString *error);

    private:
        QSqlQuery &m_insert;
        int m_columns;
        QString m_shown; // the database's name in messages
    };

    using Fill = std::function<Status(Writer &, QString *error)>;
    // Looks at the records read back before the table is put in place (a value its report
    // cannot print); anything but Ok discards the build.
    using Check = std::function<Status(const QList<QSqlRecord> &rows, QString *error)>;

    // Creates the table with `createStatement`, lets `fill` append its records in one transaction,
    // reads every record back into *rows (in insertion order) and renames the database to
    // `databasePath`. Anything but Ok leaves the previous database as it was, with *error saying why.
    static Status build(const QString &databasePath, const QString &createStatement, const QString &table,
                        int columns, const Fill &fill, QList<QSqlRecord> *rows, QString *error,
                        const Check &check = {});

    // build() of lines already made: each line's values in column order, Null where it carries
    // nothing, texts cut to kTextLength.
    static Status buildLines(const QString &databasePath, const QString &createStatement, const QString &table,
                             int columns, const QList<QVariantList> &lines, QList<QSqlRecord> *rows, QString *error);
};
