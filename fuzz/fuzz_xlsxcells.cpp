// The workbook reader of the official input sheets, from memory: any bytes are read or refused with
// a reason, within the bounds given; what is read stays within them.
#include "io/XlsxCells.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    XlsxCells::Limits limits;
    limits.partBytes = 4 * 1024 * 1024;
    limits.sharedStringBytes = 1024 * 1024;
    limits.rows = 2000;
    limits.columns = 32;
    limits.sheets = 8;
    QList<XlsxCells::Sheet> sheets;
    QString error;
    if (!XlsxCells::readBytes(bytes, &sheets, &error, limits)) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    if (sheets.size() > limits.sheets)
        std::abort();
    for (const XlsxCells::Sheet &s : std::as_const(sheets)) {
        if (s.rows.size() > limits.rows)
            std::abort();
        for (const auto &row : s.rows)
            if (row.size() > limits.columns)
                std::abort();
        (void)s.at(1, 1);
    }
    return 0;
}
