// The photometry readers: any bytes, read as IES or as EULUMDAT, are refused with a reason or give
// a distribution whose flux, fractions, utilization table and point-by-point distribution in a
// small room are worked out without a fault.
#include "photometry/Distribution.h"
#include "photometry/Glare.h"
#include "photometry/PhotometryMath.h"
#include "photometry/PhotometryReader.h"
#include "photometry/RoomGlare.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const bool ldt = data[0] % 2 == 1;
    // One input in four works its room out by radiosity (a few milliseconds); the others take the
    // uniform inter-reflection, so that the readers see many inputs a second.
    const bool radiosity = data[0] % 8 >= 6;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    Photometry p;
    QString error;
    const bool read = ldt ? PhotometryReader::readLdt(bytes, &p, &error) : PhotometryReader::readIes(bytes, &p, &error);
    if (!read) {
        if (error.isEmpty())
            std::abort(); // a refusal always says why
        return 0;
    }
    if (p.cAngles.size() < 1 || p.candela.size() != p.cAngles.size())
        std::abort();
    const double flux = PhotometryMath::flux(p);
    const PhotometryMath::Fractions f = PhotometryMath::fractions(p);
    const auto zones = PhotometryMath::zonalFlux(p);
    const PhotometryMath::Table table = PhotometryMath::utilizationTable(p);
    double sum = flux + f.total + f.downward + f.upward;
    for (double z : zones)
        sum += z;
    for (const auto &row : table.entries)
        for (int e : row)
            if (e < 0 || e > 99)
                std::abort();
    // Its UGR table (one input in four: the table's rooms hold thousands of luminaires): numbers
    // or empty cells, or refused with a reason.
    if (radiosity) {
        Glare::Table t;
        if (Glare::table(p, 1, &t, &error)) {
            for (const auto &row : t.cells)
                for (double v : row)
                    if (std::isinf(v))
                        std::abort();
        } else if (error.isEmpty()) {
            std::abort();
        }
    }
    // A small room lit by it: the figures are numbers or the room is refused with a reason.
    Distribution::Room room;
    // The radiosity case in a smaller room (fewer patches): the same code, a fraction of the time.
    room.width = radiosity ? 3 : 6;
    room.depth = radiosity ? 2 : 4;
    room.area = room.width * room.depth;
    // With the inter-reflected light by radiosity: floor to ceiling, work plane, reflectances.
    room.height = 2.8;
    room.workPlane = 0.8;
    room.reflectances = std::array<double, 3>{0.7, 0.5, 0.1};
    room.method = radiosity ? Distribution::InterReflection::Radiosity : Distribution::InterReflection::Uniform;
    Distribution::Source source;
    source.photometry = p;
    source.height = 2;
    source.fluxPerLuminaire = 1000;
    source.utilization = 0.6;
    source.maintenance = 0.8;
    source.fittings = 4;
    source.layout = Distribution::defaultLayout(4, room.width, room.depth);
    room.sources = {source};
    Distribution::Result r;
    if (Distribution::compute(room, &r, &error)) {
        if (!std::isfinite(r.average) || r.total.size() != r.grid.count() || r.reflected.size() != r.total.size())
            std::abort();
        for (double e : std::as_const(r.reflected))
            if (!(e >= 0) || !std::isfinite(e))
                std::abort();
        // Its UGR: a number at every observer that has one, or the reason there is none.
        const RoomGlare::Result g = RoomGlare::compute(room, r);
        if (g.largest ? !std::isfinite(*g.largest) : g.why.isEmpty())
            std::abort();
    } else if (error.isEmpty()) {
        std::abort();
    }
    return sum == 12345.678 ? 1 : 0;
}
