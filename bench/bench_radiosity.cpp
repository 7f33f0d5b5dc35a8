// Times the radiosity of a room: the mesh, form factors and solution of rooms of several sizes, and
// the inter-reflected light at the work plane's points.
#include "photometry/Radiosity.h"

#include <QElapsedTimer>

#include <cmath>
#include <cstdio>

int main()
{
    Photometry p;
    p.format = QStringLiteral("bench");
    p.lamps = 1;
    p.cAngles = {0, 360};
    for (int g = 0; g <= 180; g += 5)
        p.gAngles.append(g);
    QList<double> plane;
    for (double g : p.gAngles)
        plane.append(g <= 90 ? 1000 * std::cos(g * M_PI / 180) : 80.0);
    p.candela = {plane, plane};
    p.lampFlux = PhotometryMath::flux(p);
    const PhotometryMath::IntensityTable table(p);
    struct Case {
        double w, d, h;
        int nx, ny;
    };
    for (const Case &c : {Case{6, 4, 2.7, 2, 2}, Case{20, 10, 2.8, 6, 3}, Case{30, 2, 2.6, 6, 1}, Case{100, 100, 4, 20, 20}}) {
        QList<Radiosity::Luminaire> lums;
        for (int i = 0; i < c.nx; ++i)
            for (int j = 0; j < c.ny; ++j) {
                Radiosity::Luminaire l;
                l.table = &table;
                l.scale = 0.8;
                l.flux = p.lampFlux * 0.8;
                l.x = (i + 0.5) * c.w / c.nx;
                l.y = (j + 0.5) * c.d / c.ny;
                l.z = c.h - 0.1;
                lums.append(l);
            }
        const Radiosity::Box box{c.w, c.d, c.h, 0.8, 0.7, 0.5, 0.1};
        QElapsedTimer timer;
        timer.start();
        Radiosity::Solution s;
        QString why;
        Radiosity::solve(box, lums, &s, &why);
        const double solved = timer.nsecsElapsed() / 1e6;
        timer.restart();
        double sum = 0;
        int points = 0;
        for (double x = 0.25; x < c.w; x += c.w / 12)
            for (double y = 0.25; y < c.d; y += c.d / 12, ++points)
                sum += Radiosity::indirectAt(s, box, QPointF(x, y));
        std::printf("%gx%gx%g m, %lld luminaires, %lld patches: solve %.1f ms (%d iterations, balance %.2e), "
                    "%d points %.1f ms\n",
                    c.w, c.d, c.h, qlonglong(lums.size()), qlonglong(s.patches.size()), solved, s.iterations, s.imbalance(),
                    points, timer.nsecsElapsed() / 1e6);
    }
    return 0;
}
