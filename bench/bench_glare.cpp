// Times the glare figures: a luminaire's standard UGR table at both spacings, and a room's four
// observers beside the distribution that gives their background.
#include "photometry/Distribution.h"
#include "photometry/Glare.h"
#include "photometry/RoomGlare.h"

#include <QElapsedTimer>

#include <cmath>
#include <cstdio>

int main()
{
    Photometry p;
    p.format = QStringLiteral("bench");
    p.lamps = 1;
    for (int c = 0; c <= 360; c += 15)
        p.cAngles.append(c);
    for (int g = 0; g <= 180; g += 5)
        p.gAngles.append(g);
    for (double c : std::as_const(p.cAngles)) {
        QList<double> plane;
        for (double g : std::as_const(p.gAngles))
            plane.append(g <= 90 ? 400 * std::cos(g * M_PI / 180) * (1 + 0.3 * std::fabs(std::cos(c * M_PI / 180))) : 20.0);
        p.candela.append(plane);
    }
    p.lampFlux = 5200;
    p.opening.shape = Opening::Shape::Rectangle;
    p.opening.length = 1.2;
    p.opening.width = 0.18;
    for (double spacing : {0.25, 1.0}) {
        QElapsedTimer timer;
        timer.start();
        Glare::Table t;
        QString why;
        Glare::table(p, spacing, &t, &why);
        std::printf("UGR table, SHR %g: %.1f ms (4H x 8H crosswise 70/50/20: %.1f)\n", spacing, timer.nsecsElapsed() / 1e6,
                    t.cells[10][0]);
    }
    for (const auto &[w, d, n] : {std::tuple{8.0, 6.0, 3}, std::tuple{18.0, 12.0, 6}, std::tuple{40.0, 30.0, 12}}) {
        Distribution::Room room;
        room.width = w;
        room.depth = d;
        room.area = w * d;
        room.height = 2.8;
        room.workPlane = 0.85;
        room.reflectances = std::array<double, 3>{0.7, 0.5, 0.1};
        Distribution::Source s;
        s.photometry = p;
        s.fluxPerLuminaire = 5200;
        s.maintenance = 0.8;
        s.utilization = 0.6;
        s.height = 1.95;
        s.layout = Distribution::Layout::grid(n, n * 2 / 3);
        s.fittings = s.layout.count();
        room.sources = {s};
        QElapsedTimer timer;
        timer.start();
        Distribution::Result r;
        QString why;
        Distribution::compute(room, &r, &why);
        const double distribution = timer.nsecsElapsed() / 1e6;
        timer.restart();
        const RoomGlare::Result g = RoomGlare::compute(room, r);
        const double glare = timer.nsecsElapsed() / 1e6;
        std::printf("%gx%g m, %d luminaires: distribution %.1f ms, UGR %.1f ms (+%.0f %%), UGR %.1f\n", w, d, s.fittings,
                    distribution, glare, 100 * glare / distribution, g.largest.value_or(0));
    }
    return 0;
}
