// Times loading three full masters of 999 records, and saving and loading a full 221 x 140 work file.
#include "grid/WorkFile.h"
#include "master/MasterTables.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace {

void writeFull(const QString &dir)
{
    QByteArray lamps, luminaires, rooms;
    for (int k = 1; k <= 999; ++k) {
        LampRecord l;
        l.name = QStringLiteral("FHF32EX-N");
        l.lampCapacity = 32;
        l.flux = QStringLiteral("3450");
        l.inUse = QStringLiteral("1");
        l.toBytes(&lamps);
        LuminaireRecord m;
        m.number = QString::number(k % 100).rightJustified(2, u'0');
        m.name = QStringLiteral("埋込下面開放形");
        for (auto &t : m.utilizationFactors)
            t.fill(QStringLiteral("62"));
        m.maintenanceFactors = {QStringLiteral("0.73"), QStringLiteral("0.69"), QStringLiteral("0.61")};
        m.inUse = QStringLiteral("1");
        m.toBytes(&luminaires);
        RoomMasterRecord r;
        r.name = QStringLiteral("事務室%1").arg(k);
        r.toBytes(&rooms);
    }
    for (auto [name, bytes] : {std::pair{MasterTables::kLampFile, lamps}, std::pair{MasterTables::kLuminaireFile, luminaires},
                               std::pair{MasterTables::kRoomFile, rooms}}) {
        QFile f(QDir(dir).filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    writeFull(dir.path());
    const int rounds = 20;

    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i) {
        MasterTables t;
        QString error;
        if (!t.loadAll(dir.path(), &error))
            return 1;
    }
    std::printf("load three full masters (999 records each): %.2f ms\n", timer.nsecsElapsed() / 1e6 / rounds);

    RecordGrid grid(221, 140);
    for (int r = 1; r <= 221; ++r)
        for (int c = 1; c <= 140; ++c)
            grid.setText(r, c, c % 3 ? QStringLiteral("事務室,\"%1\"").arg(r) : QStringLiteral("12.5"));
    const QString path = dir.filePath(QStringLiteral("full.syw"));
    timer.restart();
    for (int i = 0; i < rounds; ++i)
        WorkFile::save(grid, path);
    std::printf("save 221 x 140 work file (%lld bytes): %.2f ms\n", QFileInfo(path).size(),
                timer.nsecsElapsed() / 1e6 / rounds);
    timer.restart();
    for (int i = 0; i < rounds; ++i) {
        RecordGrid g(221, 38);
        WorkFile::load(g, path);
    }
    std::printf("load 221 x 140 work file: %.2f ms\n", timer.nsecsElapsed() / 1e6 / rounds);
    return 0;
}
