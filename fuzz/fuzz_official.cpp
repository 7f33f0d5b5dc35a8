// The official input sheets' workbook from any bytes: refused with a reason, or read into rows whose
// every text fits its field and split into work files of at most 220 rows each.
#include "beil/OfficialSheets.h"
#include "grid/RecordGrid.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    OfficialSheets::Read read;
    QString error;
    if (!OfficialSheets::readWorkbookBytes(bytes, &read, &error)) {
        if (error.isEmpty())
            std::abort(); // a refusal always says why
        return 0;
    }
    for (const QStringList &row : std::as_const(read.form4))
        for (const QString &text : row)
            if (text.size() > OfficialSheets::kLongestText)
                std::abort();
    QList<RecordGrid> files;
    QStringList notes;
    if (!OfficialSheets::toWorkFiles(read, &files, &notes, &error)) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    for (const RecordGrid &g : std::as_const(files))
        if (g.rowCount() != 221)
            std::abort();
    return 0;
}
