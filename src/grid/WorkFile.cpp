#include "grid/WorkFile.h"

#include "text/Cp932.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace {

void setError(WorkFile::Error *error, WorkFile::Error value)
{
    if (error)
        *error = value;
}

bool needsQuotes(const QString &cell)
{
    for (QChar c : cell) {
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n')
            return true;
    }
    return false;
}

} // namespace

QString WorkFile::toCsv(const RecordGrid &grid)
{
    QString out;
    for (int r = 1; r <= grid.rowCount(); ++r) {
        for (int c = 1; c <= grid.colCount(); ++c) {
            if (c > 1)
                out += u',';
            const QString cell = grid.text(r, c);
            if (needsQuotes(cell)) {
                out += u'"';
                out += QString(cell).replace(u'"', QStringLiteral("\"\""));
                out += u'"';
            } else {
                out += cell;
            }
        }
        out += QStringLiteral("\r\n");
    }
    return out;
}

bool WorkFile::fromCsv(const QString &csv, int maxRows, QVector<QStringList> *rows, Error *error)
{
    rows->clear();
    QStringList record;
    QString field;
    bool inQuotes = false;
    bool fieldQuoted = false;  // the current field began with a quote
    bool afterQuoted = false;  // the closing quote of the field has been read
    bool recordHasContent = false;

    auto endField = [&] {
        record.append(field);
        field.clear();
        fieldQuoted = false;
        afterQuoted = false;
    };
    auto endRecord = [&]() -> bool {
        endField();
        if (rows->size() >= maxRows) {
            setError(error, Error::TooManyRows);
            return false;
        }
        if (record.size() > kMaxColumns) {
            setError(error, Error::TooManyColumns);
            return false;
        }
        rows->append(record);
        record.clear();
        recordHasContent = false;
        return true;
    };

    const qsizetype n = csv.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = csv[i];
        if (inQuotes) {
            if (c == u'"') {
                if (i + 1 < n && csv[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    inQuotes = false;
                    afterQuoted = true;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == u',') {
            endField();
            recordHasContent = true;
        } else if (c == u'\n' || (c == u'\r' && i + 1 < n && csv[i + 1] == u'\n')) {
            if (c == u'\r')
                ++i;
            if (!endRecord())
                return false;
        } else if (c == u'"') {
            if (!field.isEmpty() || fieldQuoted) {
                // A quote inside an unquoted field, or text after a closing quote.
                setError(error, Error::BrokenQuoting);
                return false;
            }
            inQuotes = true;
            fieldQuoted = true;
            recordHasContent = true;
        } else {
            if (afterQuoted) {
                setError(error, Error::BrokenQuoting);
                return false;
            }
            field += c;
            recordHasContent = true;
        }
    }
    if (inQuotes) {
        setError(error, Error::BrokenQuoting);
        return false;
    }
    // A last line without its line end still counts when it holds anything.
    if (recordHasContent || !field.isEmpty()) {
        if (!endRecord())
            return false;
    }
    setError(error, Error::None);
    return true;
}

bool WorkFile::save(const RecordGrid &grid, const QString &path, Error *error)
{
    const QString csv = toCsv(grid);
    bool encoded = false;
    const QByteArray bytes = Cp932::encode(csv, &encoded);
    if (!encoded || csv.contains(QChar(0))) {
        setError(error, Error::CannotEncode);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, Error::CannotOpen);
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        file.cancelWriting();
        setError(error, Error::CannotWrite);
        return false;
    }
    setError(error, Error::None);
    return true;
}

bool WorkFile::load(RecordGrid &grid, const QString &path, Error *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, Error::CannotOpen);
        return false;
    }
    if (file.size() > kMaxBytes) {
        setError(error, Error::TooLarge);
        return false;
    }
    const QByteArray bytes = file.read(kMaxBytes + 1);
    if (bytes.size() > kMaxBytes) {
        setError(error, Error::TooLarge);
        return false;
    }
    if (bytes.isEmpty()) {
        setError(error, Error::Empty);
        return false;
    }
    bool decoded = false;
    const QString csv = Cp932::decode(bytes, &decoded);
    if (!decoded) {
        setError(error, Error::NotCp932);
        return false;
    }
    // A NUL never stands in a sheet's text (saving refuses it): such a file is binary.
    if (csv.contains(QChar(0))) {
        setError(error, Error::NotText);
        return false;
    }
    QVector<QStringList> rows;
    if (!fromCsv(csv, grid.rowCount(), &rows, error))
        return false;

    int cols = grid.colCount();
    for (const QStringList &row : rows)
        cols = std::max(cols, int(row.size()));
    RecordGrid loaded(grid.rowCount(), cols);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            loaded.setText(r + 1, c + 1, rows[r][c]);
    grid = std::move(loaded);
    setError(error, Error::None);
    return true;
}
