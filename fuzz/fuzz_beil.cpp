// The BEI/L figures of a work file: any bytes either fail to load or give rooms that are worked out
// or refused with a reason; every figure of a room worked out, and the building's sums when none is
// refused, are finite, and the texts the outputs print of them are numbers (no "nan", "inf", "-0").
#include "beil/BeilCalculation.h"
#include "beil/BeilRecord.h"
#include "beil/BeilRooms.h"
#include "beil/StandardValues.h"
#include "grid/WorkFile.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

void number(const QString &text)
{
    if (text.contains(QLatin1String("nan"), Qt::CaseInsensitive) || text.contains(QLatin1String("inf"), Qt::CaseInsensitive)
        || text.startsWith(QLatin1String("-0")) || text == u"-")
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    static const RecordGrid empty(BeilRecord::kHeadingsRow, BeilRecord::kColumns);
    RecordGrid grid = empty;
    WorkFile::Error error = WorkFile::Error::None;
    if (!WorkFile::fromBytes(grid, bytes, &error))
        return 0;
    QList<BeilRooms::Room> rooms;
    QList<BeilRooms::Problem> problems;
    const bool ok = BeilRooms::evaluateBuilding(grid, StandardValues::shipped(), &rooms, &problems);
    if (!ok && !BeilRooms::hasErrors(problems))
        std::abort(); // a refusal always says why
    for (const BeilRooms::Problem &p : std::as_const(problems))
        if (p.reason.isEmpty() || p.message().isEmpty())
            std::abort();
    for (const BeilRooms::Room &r : std::as_const(rooms)) {
        if (!std::isfinite(r.designMJ) || !std::isfinite(r.standardMJ) || !std::isfinite(r.shapeFactor)
            || !std::isfinite(r.roomIndex) || r.designMJ < 0 || r.standardMJ < 0)
            std::abort();
        if (const auto bei = r.bei(); bei && !std::isfinite(*bei))
            std::abort();
        number(r.roomIndexText());
        number(BeilCalculation::shapeFactorText(r.shapeFactor));
        number(BeilCalculation::mjText(r.designMJ));
        number(BeilCalculation::mjText(r.standardMJ));
    }
    if (ok) {
        const BeilRooms::Sums s = BeilRooms::sums(rooms);
        if (!std::isfinite(s.area) || !std::isfinite(s.designMJ) || !std::isfinite(s.standardMJ))
            std::abort();
        if (const auto bei = BeilRooms::ratio(s.designMJ, s.standardMJ)) {
            if (!std::isfinite(*bei))
                std::abort();
            number(BeilCalculation::factorText(*bei));
        }
        number(BeilCalculation::gjText(s.designMJ));
    }
    return 0;
}
