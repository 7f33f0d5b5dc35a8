// The master tool's conversions: CSV it accepts converts to records and back to a CSV that gives
// the same bytes again; any record bytes convert to CSV.
#include "master/MasterCsv.h"

#include <QStringDecoder>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const auto kind = MasterCsv::Kind(data[0] % 3);
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    // As records: always some CSV.
    if (MasterCsv::toCsv(kind, bytes).isEmpty())
        std::abort();

    // As CSV.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString csv = utf8.decode(bytes);
    if (utf8.hasError())
        return 0;
    QByteArray mst;
    QString error;
    if (!MasterCsv::toMst(kind, csv, &mst, &error)) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    if (mst.size() % MasterCsv::recordLength(kind) != 0)
        std::abort();
    QByteArray again;
    if (!MasterCsv::toMst(kind, MasterCsv::toCsv(kind, mst), &again, &error) || again != mst)
        std::abort();
    return 0;
}
