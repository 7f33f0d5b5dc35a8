// Times Data_calculation on a text panel and on the form, and SPD_Paint of 220 rooms.
#include "illuminance/FSyoudo.h"
#include "illuminance/IlluminanceCalculation.h"
#include "illuminance/RoomRecord.h"
#include "grid/TextPanel.h"
#include "master/MasterTables.h"
#include "ui/ListGrid.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>

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
    return 0;
}
