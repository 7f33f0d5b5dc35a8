// Times Data_calculation on a text panel and on the form, and SPD_Paint of 220 rooms.
#include "illuminance/FBunpu.h"
#include "illuminance/FSyoudo.h"
#include "illuminance/IlluminanceBatch.h"
#include "illuminance/IlluminanceCalculation.h"
#include "illuminance/RoomRecord.h"
#include "grid/TextPanel.h"
#include "grid/WorkFile.h"
#include "master/MasterTables.h"
#include "ui/ListGrid.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPrintPreviewWidget>
#include <QSpinBox>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    MasterTables masters;
    LuminaireRecord lum;
    for (auto &t : lum.utilizationFactors)
        t.fill(QStringLiteral("62"));
    lum.maintenanceFactors = {QStringLiteral("0.73"), QStringLiteral("0.69"), QStringLiteral("0.61")};
    lum.inUse = QStringLiteral("1");
    masters.setLuminaire(1, lum);
    FormState state;
    state.luminaireIndex = 1;
    state.reflectanceChoice = 1;
    state.maintenanceChoice = 1;

    const QList<QPair<QString, QString>> room = {
        {"Txt_Maguchi", "10.0"}, {"Txt_Okuyuki", "8.0"}, {"Txt_Takasa", "2.7"}, {"Txt_Stakasa", "0.85"},
        {"Txt_Kudari", "0.0"},   {"Txt_Kousoku", "3450"}, {"Txt_Syoudo1", "500"}, {"Txt_WTousu", "2"},
        {"Chk_Tousu", "1"},      {"Chk_Daisu", "1"},     {"Txt_WKougen", "FHF32EX-N"}};
    TextPanel panel;
    for (const auto &[n, v] : room)
        panel.setText(n, v);
    const int rounds = 20000;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i)
        IlluminanceCalculation::Data_calculation(panel, state, masters, QStringLiteral("Txt_Maguchi"));
    std::printf("Data_calculation on a text panel: %.2f us\n", timer.nsecsElapsed() / 1e3 / rounds);

    FSyoudo sheet(masters, QDir::tempPath());
    sheet.show();
    for (const auto &[n, v] : room)
        sheet.setText(n, v);
    sheet.state() = state;
    timer.restart();
    for (int i = 0; i < 2000; ++i)
        sheet.Data_calculation(QStringLiteral("Txt_Maguchi"));
    std::printf("Data_calculation on the form: %.2f us\n", timer.nsecsElapsed() / 1e3 / 2000);

    RecordGrid &g = sheet.recordGrid();
    for (int r = 1; r <= RoomRecord::kRooms; ++r) {
        g.setText(r, RoomRecord::InUse, QStringLiteral("1"));
        g.setText(r, RoomRecord::RoomName1, QStringLiteral("事務室%1").arg(r));
        g.setText(r, RoomRecord::LuminaireType, QStringLiteral("埋込下面開放形"));
        g.setText(r, RoomRecord::LampName, QStringLiteral("FHF32EX-N-2"));
        g.setText(r, RoomRecord::Floor, QStringLiteral("%1F").arg(r % 9 + 1));
    }
    auto *list = sheet.findChild<ListGrid *>(QStringLiteral("SPD_Data"));
    timer.restart();
    for (int i = 0; i < 50; ++i) {
        sheet.Data_List_Clear();
        sheet.SPD_Paint(list);
    }
    std::printf("Data_List_Clear + SPD_Paint of 220 rooms: %.2f ms\n", timer.nsecsElapsed() / 1e6 / 50);
    timer.restart();
    for (int i = 0; i < 50; ++i)
        sheet.SPD_Paint(list);
    std::printf("SPD_Paint of 220 unchanged rooms: %.2f ms\n", timer.nsecsElapsed() / 1e6 / 50);

    // The preview of a full sheet (the example's rooms down all 220 rows): from the menu item to
    // the first page drawn on the screen.
    RecordGrid example(RoomRecord::kRows, RoomRecord::kColumns);
    const QString file = QDir(QStringLiteral(PRX5M_SOURCE_DIR)).filePath(QStringLiteral("examples/office-3f.syw"));
    if (!WorkFile::load(example, file)) {
        std::printf("cannot read %s\n", qPrintable(file));
        return 1;
    }
    for (int r = 1; r <= RoomRecord::kRooms; ++r)
        for (int c = 1; c <= RoomRecord::kColumns; ++c)
            g.setText(r, c, example.text((r - 1) % 31 + 1, c));
    timer.restart();
    for (int i = 0; i < 5; ++i)
        sheet.Make_Print_File();
    std::printf("print table of 220 rooms (built, read back, checked): %.1f ms\n", timer.nsecsElapsed() / 1e6 / 5);
    for (int round = 0; round < 3; ++round) {
        double shown = -1;
        QTimer::singleShot(0, [&] {
            // Runs once the preview is up: its page view drawn as the screen would get it.
            if (QWidget *preview = QApplication::activeModalWidget()) {
                if (auto *pages = preview->findChild<QPrintPreviewWidget *>())
                    pages->grab();
                shown = timer.nsecsElapsed() / 1e6;
                preview->close();
            }
        });
        timer.restart();
        sheet.Menu_File_Preview_Click();
        std::printf("preview of 220 rooms, first page on the screen: %.1f ms\n", shown);
    }

    // The distribution of the same 220 rooms as CSV files, with the sample masters and their
    // photometric files beside the program.
    const QString full = QDir::temp().filePath(QStringLiteral("bench-220.syw"));
    WorkFile::save(g, full);
    MasterTables sample;
    QString error;
    sample.loadAll(QStringLiteral(PRX5M_BUILD_DIR), &error);
    for (int round = 0; round < 3; ++round) {
        QStringList warnings;
        timer.restart();
        IlluminanceBatch::writeDistributionCsv(full, QDir::temp().filePath(QStringLiteral("bench-distribution")),
                                               QStringLiteral(PRX5M_BUILD_DIR), &error, &warnings);
        std::printf("distribution CSV of 220 rooms: %.1f ms\n", timer.nsecsElapsed() / 1e6);
    }
    // The window: a change of the layout, recomputed and drawn.
    FBunpu window(example, 3, sample, QStringLiteral(PRX5M_BUILD_DIR), RoomDistribution::headingsOf(example, QString()), QString());
    window.show();
    auto *nx = window.findChild<QSpinBox *>(QStringLiteral("Spn_Nx"));
    auto *plot = window.findChild<QWidget *>(QStringLiteral("Wid_Plot"));
    for (int round = 0; round < 3; ++round) {
        timer.restart();
        nx->setValue(nx->value() + 1);
        plot->grab();
        std::printf("distribution window, nx changed and redrawn: %.1f ms\n", timer.nsecsElapsed() / 1e6);
    }
    return 0;
}
