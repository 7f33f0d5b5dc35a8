#include "grid/WorkFile.h"
#include "text/NumberText.h"

#include "io/CheckedFile.h"
#include "text/Cp932.h"

#include <QFile>
#include <QFileInfo>

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
        const bool blankLine = !recordHasContent && record.isEmpty() && field.isEmpty() && !fieldQuoted;
        endField();
        if (rows->size() >= maxRows) {
            // Empty lines after the last row (a spreadsheet may add one) carry nothing.
            if (blankLine) {
                record.clear();
                return true;
            }
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

bool WorkFile::toBytes(const RecordGrid &grid, QByteArray *bytes)
{
    const QString csv = toCsv(grid);
    bool encoded = false;
    *bytes = Cp932::encode(csv, &encoded);
    return encoded && !csv.contains(QChar(0));
}

bool WorkFile::save(const RecordGrid &grid, const QString &path, Error *error, QString *reason)
{
    QByteArray bytes;
    if (!toBytes(grid, &bytes)) {
        setError(error, Error::CannotEncode);
        if (reason)
            *reason = errorText(Error::CannotEncode);
        return false;
    }
    QString why;
    if (!CheckedFile::write(path, bytes, &why)) {
        setError(error, Error::CannotWrite);
        if (reason)
            *reason = why;
        return false;
    }
    setError(error, Error::None);
    return true;
}

bool WorkFile::load(RecordGrid &grid, const QString &path, Error *error)
{
    // A FIFO or a device would block the reading or never end: only regular files are work files.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        setError(error, Error::NotAFile);
        return false;
    }
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
    if (file.error() != QFileDevice::NoError) {
        setError(error, Error::CannotOpen);
        return false;
    }
    return fromBytes(grid, bytes, error);
}

bool WorkFile::fromBytes(RecordGrid &grid, const QByteArray &bytes, Error *error)
{
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

QString WorkFile::errorText(Error error, int maxRows)
{
    switch (error) {
    case Error::None: return QString();
    case Error::CannotOpen: return QStringLiteral("ファイルを開けません");
    case Error::TooLarge: return QStringLiteral("ファイルが大きすぎます（%1 MiB まで）").arg(kMaxBytes / (1024 * 1024));
    case Error::Empty: return QStringLiteral("ファイルが空です");
    case Error::NotCp932: return QStringLiteral("シフトJIS（コードページ932）の文字でない部分があります");
    case Error::NotText: return QStringLiteral("テキストファイルではありません（バイナリファイルです）");
    case Error::BrokenQuoting: return QStringLiteral("CSVの引用符（\"）の対応が正しくありません");
    case Error::TooManyRows: return QStringLiteral("行が多すぎます（%1 行まで）").arg(NumberText::format(maxRows, QStringLiteral("#,##0")));
    case Error::TooManyColumns: return QStringLiteral("列が多すぎます（%1 列まで）").arg(kMaxColumns);
    case Error::CannotEncode: return QStringLiteral("シフトJISで保存できない文字があります");
    case Error::CannotWrite: return QStringLiteral("ファイルを書き込めません");
    case Error::NotAFile: return QStringLiteral("通常のファイルではありません");
    }
    return QString();
}
