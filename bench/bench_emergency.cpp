// Times the emergency-lighting check: the example office's rooms, a full sheet of 220 rooms, the
// reach table of a luminaire, and the panel's live check of a large room on the form.
#include "emergency/EmergencyMaster.h"
#include "emergency/EmergencyRecord.h"
#include "emergency/EmergencyRooms.h"
#include "emergency/FHijou.h"
#include "emergency/ReachTable.h"
#include "grid/WorkFile.h"
#include "master/MasterTables.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>

#include <cstdio>

namespace {

double checkAll(const RecordGrid &grid, const EmergencyMaster::Master &master, int rounds, int *rooms)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i) {
        EmergencyRooms::Lights lights;
        QList<EmergencyRooms::Room> worked;
        QList<EmergencyRooms::Refusal> refusals;
        EmergencyRooms::evaluateAll(grid, master, &lights, &worked, &refusals);
        *rooms = int(worked.size());
    }
    return timer.nsecsElapsed() / 1e6 / rounds;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    EmergencyMaster::Master master;
    QString why;
    if (!EmergencyMaster::load(QStringLiteral(PRX5M_BUILD_DIR), &master, &why) || master.luminaires.isEmpty()) {
        std::fprintf(stderr, "no emergency master in %s: %s\n", PRX5M_BUILD_DIR, qPrintable(why));
        return 1;
    }
    RecordGrid example(EmergencyRecord::kHeadingsRow, EmergencyRecord::kColumns);
    WorkFile::load(example, QStringLiteral(PRX5M_SOURCE_DIR "/examples/office-3f-emergency.syw"));
    int rooms = 0;
    const double one = checkAll(example, master, 5, &rooms);
    std::printf("check of the example (%d rooms): %.1f ms\n", rooms, one);

    // 220 rooms: the example's 31 rows down the whole sheet.
    RecordGrid full = example;
    for (int r = 32; r <= EmergencyRecord::kRooms; ++r)
        for (int c = 1; c <= full.colCount(); ++c)
            full.setText(r, c, example.text((r - 1) % 31 + 1, c));
    const double all = checkAll(full, master, 2, &rooms);
    std::printf("check of 220 rows (%d rooms): %.1f ms\n", rooms, all);

    EmergencyMaster::Light light;
    for (const EmergencyMaster::Luminaire &l : master.luminaires) {
        if (!EmergencyMaster::light(master, l.slot, &light, &why))
            continue;
        QElapsedTimer timer;
        timer.start();
        const QList<ReachTable::Line> lines = ReachTable::table(*light.table, light.scale);
        std::printf("reach table of %d (%s, %lld lines): %.1f ms\n", l.slot, qPrintable(l.name), qlonglong(lines.size()),
                    timer.nsecsElapsed() / 1e6);
    }

    // The panel's check of the 18 m × 12 m office (row 3, ten luminaires), as each keystroke has it.
    MasterTables masters;
    const QString file = QDir::temp().filePath(QStringLiteral("bench_emergency.syw"));
    WorkFile::save(example, file);
    FHijou sheet(masters, QDir::tempPath());
    sheet.setProgramDir(QStringLiteral(PRX5M_BUILD_DIR));
    sheet.show();
    sheet.openFile(file);
    sheet.setText(QStringLiteral("Txt_Gyou"), QStringLiteral("3"));
    sheet.Screen_Set(3);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 20; ++i)
        sheet.Data_calculation();
    std::printf("the panel's check of an 18 m x 12 m room: %.2f ms\n", timer.nsecsElapsed() / 1e6 / 20);
    timer.restart();
    for (int i = 0; i < 5; ++i)
        sheet.Data_List_Set();
    std::printf("the room list with every room checked: %.1f ms\n", timer.nsecsElapsed() / 1e6 / 5);
    QFile::remove(file);
    return 0;
}
