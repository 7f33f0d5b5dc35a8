#pragma once

#include "grid/RecordGrid.h"

#include <QString>

// The values-only save of a record grid: CSV (RFC 4180 quoting), code page 932, CRLF line ends,
// one line per grid row and every column. Engineers open it in a spreadsheet, and a file prepared
// there opens here.
class WorkFile
{
public:
    static constexpr int kMaxColumns = 140;
    static constexpr qint64 kMaxBytes = 32 * 1024 * 1024;

    enum class Error {
        None,
        CannotOpen,
        TooLarge,
        Empty,
        NotCp932,
        NotText,
        BrokenQuoting,
        TooManyRows,
        TooManyColumns,
        CannotEncode,
        CannotWrite,
        NotAFile,
    };

    // What went wrong, worded for the user ("" for None).
    // `maxRows`: the limit the text was read with (a work file's 221 unless another was given).
    static QString errorText(Error error, int maxRows = 221);

    // Writes every cell of the grid. Goes through a temporary file beside the target, checked and
    // synced, and a rename, so a failed save leaves the previous file as it was; *reason says why.
    static bool save(const RecordGrid &grid, const QString &path, Error *error = nullptr, QString *reason = nullptr);

    // Replaces every cell of the grid with the file's. Rows or columns missing at the end of the
    // file are empty; a file wider than the grid widens it (up to kMaxColumns), so no columns are
    // dropped. Empty lines after the last row are ignored. On failure the grid is not touched.
    static bool load(RecordGrid &grid, const QString &path, Error *error = nullptr);

    // The bytes of a file as save writes them and load reads them (false when the grid holds text
    // that CP932 cannot hold / when the bytes are no work file; the grid is then untouched).
    static bool toBytes(const RecordGrid &grid, QByteArray *bytes);
    static bool fromBytes(RecordGrid &grid, const QByteArray &bytes, Error *error = nullptr);

    // The text form used by save and load, for tests and tools.
    static QString toCsv(const RecordGrid &grid);
    static bool fromCsv(const QString &csv, int maxRows, QVector<QStringList> *rows, Error *error);
};
