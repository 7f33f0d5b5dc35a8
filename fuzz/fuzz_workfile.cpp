// Work-file loader: any bytes either load or are refused with the grid untouched; what loads,
// saved and loaded again, gives back the same cells.
#include "grid/WorkFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    RecordGrid grid(221, 38);
    grid.setText(5, 5, QStringLiteral("before"));
    const RecordGrid before = grid;
    WorkFile::Error error = WorkFile::Error::None;
    if (!WorkFile::fromBytes(grid, bytes, &error)) {
        if (!(grid == before) || error == WorkFile::Error::None)
            std::abort();
        return 0;
    }
    if (grid.rowCount() != 221 || grid.colCount() < 38 || grid.colCount() > WorkFile::kMaxColumns)
        std::abort();
    QByteArray saved;
    if (!WorkFile::toBytes(grid, &saved))
        std::abort(); // every loaded text can be saved again
    RecordGrid again(221, 38);
    if (!WorkFile::fromBytes(again, saved, &error) || !(again == grid))
        std::abort();
    return 0;
}
