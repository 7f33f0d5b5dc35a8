// Times ZoneCalculation on a text panel and on the form, and opening a work file of 220 zones on
// the CEC/L sheet (load, list, zone 1 on the panel).
#include "cecl/CeclCalculation.h"
#include "cecl/FCECL.h"
#include "cecl/ZoneRecord.h"
#include "grid/TextPanel.h"
#include "grid/WorkFile.h"
#include "master/MasterTables.h"
#include "ui/Dialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Answers the open dialog with one path and every other dialog with "no".
class OpenAnswer : public Dialogs
{
public:
    QString path;
    Answer message(QWidget *, const QString &, const QString &, Icon, Buttons) override { return Answer::No; }
    QString openFile(QWidget *, const QString &, const QString &, int) override { return path; }
    QString saveFile(QWidget *, const QString &, const QString &, int) override { return QString(); }
    QString chooseFolder(QWidget *, const QString &, const QString &) override { return QString(); }
    int execute(QDialog &) override { return 0; }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    using namespace ZoneRecord;
    const QList<QPair<QString, QString>> zone = {
        {"Txt_InDenryoku", "40"}, {"Txt_Daisu", "10"},      {"Txt_Menseki", "30"},  {"Txt_HTentou", "2500"},
        {"Txt_SeigyoHosei", "0.80"}, {"Txt_HSyoumei", "20"}, {"Txt_SyuHosei", "1.0"}, {"Txt_SyouHosei", "1.0"}};
    TextPanel panel;
    for (const auto &[n, v] : zone)
        panel.setText(n, v);
    const int rounds = 20000;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i)
        CeclCalculation::ZoneCalculation(panel);
    std::printf("ZoneCalculation on a text panel: %.2f us\n", timer.nsecsElapsed() / 1e3 / rounds);

    QTemporaryDir dir;
    MasterTables masters;
    FCECL sheet(masters, dir.path());
    sheet.show();
    for (const auto &[n, v] : zone)
        sheet.setText(n, v);
    timer.restart();
    for (int i = 0; i < 2000; ++i)
        sheet.Data_calculation();
    std::printf("ZoneCalculation on the form: %.2f us\n", timer.nsecsElapsed() / 1e3 / 2000);

    RecordGrid g(221, kColumns);
    for (int r = 1; r <= kRooms; ++r) {
        g.setText(r, InUse, QStringLiteral("1"));
        g.setText(r, RoomName1, QStringLiteral("事務室%1").arg(r));
        g.setText(r, LuminaireType, QStringLiteral("埋込下面開放形Hf32"));
        g.setText(r, LampName, QStringLiteral("FHF32EX-N-2"));
        g.setText(r, Floor, QStringLiteral("%1F").arg(r / 20 + 1));
        g.setText(r, Area, QStringLiteral("48.0"));
        g.setText(r, FittingCount, QStringLiteral("12"));
        for (int c = LuminaireNumber; c <= ZoneCecl; ++c)
            g.setText(r, c, QStringLiteral("12.5"));
    }
    g.setText(221, BuildingType, QStringLiteral("3"));
    const QString path = dir.filePath(QStringLiteral("zones.syw"));
    WorkFile::save(g, path);
    OpenAnswer answer;
    answer.path = path;
    Dialogs::setInstance(&answer);
    timer.restart();
    const int opens = 20;
    for (int i = 0; i < opens; ++i)
        sheet.Menu_File_Open_Click();
    std::printf("Opening a work file of 220 zones: %.2f ms\n", timer.nsecsElapsed() / 1e6 / opens);
    Dialogs::setInstance(nullptr);
    return 0;
}
