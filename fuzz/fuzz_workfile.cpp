// Work-file loader: any bytes either load or are refused with the grid untouched; what loads,
// saved and loaded again, gives back the same cells.
#include "grid/WorkFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    // A sheet of 24 rows: the row limit is the grid's, so its checks are the same as at 221 rows,
    // and a run allocates a tenth of the cells (most of the time of an input).
    constexpr int kRows = 24;
    static const RecordGrid before = [] {
        RecordGrid g(kRows, 38);
        g.setText(5, 5, QStringLiteral("before"));
        return g;
    }();
    RecordGrid grid = before;
    WorkFile::Error error = WorkFile::Error::None;
    if (!WorkFile::fromBytes(grid, bytes, &error)) {
        if (!(grid == before) || error == WorkFile::Error::None)
            std::abort();
        return 0;
    }
    if (grid.rowCount() != kRows || grid.colCount() < 38 || grid.colCount() > WorkFile::kMaxColumns)
        std::abort();
    QByteArray saved;
    if (!WorkFile::toBytes(grid, &saved))
        std::abort(); // every loaded text can be saved again
    RecordGrid again(kRows, 38);
    if (!WorkFile::fromBytes(again, saved, &error) || !(again == grid))
        std::abort();
    return 0;
}
