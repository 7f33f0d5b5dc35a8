#include "support/ExampleSheet.h"

#include "cecl/FCECL.h"
#include "cecl/ZoneRecord.h"
#include "illuminance/RoomRecord.h"
#include "support/ScriptedDialogs.h"
#include "master/FixedField.h"
#include "master/MasterTables.h"
#include "text/JapaneseDate.h"

#include <QComboBox>
#include <QDialog>
#include <QPushButton>

namespace {

struct Room {
    const char *floor;
    const char *name1;
    const char *name2;
    int luminaire;     // slot in the sample luminaire master
    int lamp;          // slot in the sample lamp master
    const char *perFitting;
    const char *lux;
    const char *width, *depth, *height, *workPlane, *suspension;
    int reflectance;   // button 0 良, 1 中, 2 悪
    int maintenance;   // button 0 良, 1 中, 2 悪
};

const Room kRooms[] = {
    // One hall lit by two kinds of luminaire: one zone of two luminaires on the CEC/L sheet.
    {"1", "玄関ホール", "", 22, 48, "1", "200", "8.0", "6.0", "3.5", "0.00", "0.0", 1, 1},
    {"1", "玄関ホール", "", 47, 54, "1", "100", "8.0", "6.0", "3.5", "0.00", "0.0", 1, 1},
    {"1", "事務室", "（営業）", 1, 3, "2", "750", "18.0", "12.0", "2.8", "0.85", "0.0", 0, 0},
    {"1", "会議室", "（第1）", 1, 3, "2", "500", "8.0", "6.0", "2.7", "0.85", "0.0", 0, 1},
    {"1", "応接室", "", 19, 28, "2", "500", "5.0", "4.0", "2.6", "0.85", "0.0", 0, 1},
    {"1", "男子便所", "", 18, 25, "1", "200", "4.0", "3.5", "2.5", "0.85", "0.0", 1, 1},
    {"1", "女子便所", "", 18, 25, "1", "200", "4.0", "3.5", "2.5", "0.85", "0.0", 1, 1},
    {"1", "湯沸室", "", 33, 3, "1", "200", "2.5", "2.0", "2.5", "0.85", "0.0", 1, 1},
    {"1", "廊下", "", 8, 3, "1", "150", "30.0", "2.0", "2.6", "0.00", "0.0", 1, 1},
    {"1", "倉庫", "", 12, 3, "1", "100", "4.0", "3.0", "2.6", "0.00", "0.0", 2, 2},
    {"1", "電気室", "", 12, 7, "1", "200", "8.0", "6.0", "3.5", "0.85", "0.5", 2, 1},
    {"2", "事務室", "（総務）", 1, 3, "2", "750", "16.0", "12.0", "2.8", "0.85", "0.0", 0, 0},
    {"2", "事務室（一般）", "（経理）", 1, 3, "2", "750", "12.0", "9.0", "2.8", "0.85", "0.0", 0, 0},
    {"2", "会議室", "（第2）", 4, 3, "2", "500", "10.0", "7.0", "2.7", "0.85", "0.0", 0, 1},
    {"2", "役員室", "", 36, 54, "1", "750", "6.0", "5.0", "2.7", "0.85", "0.0", 0, 0},
    {"2", "更衣室", "", 8, 3, "1", "200", "5.0", "3.0", "2.5", "0.85", "0.0", 1, 1},
    {"2", "便所", "", 18, 25, "1", "200", "5.0", "4.0", "2.5", "0.85", "0.0", 1, 1},
    {"2", "湯沸室", "", 33, 3, "1", "200", "2.5", "2.0", "2.5", "0.85", "0.0", 1, 1},
    {"2", "廊下", "", 8, 3, "1", "150", "30.0", "2.0", "2.6", "0.00", "0.0", 1, 1},
    {"2", "書庫", "", 13, 7, "1", "200", "6.0", "4.0", "2.6", "0.85", "0.0", 1, 2},
    {"2", "階段室", "", 31, 21, "1", "150", "5.0", "3.0", "2.6", "0.00", "0.0", 1, 1},
    {"3", "事務室", "（設計）", 37, 55, "1", "750", "18.0", "12.0", "2.8", "0.85", "0.0", 0, 0},
    {"3", "大会議室", "", 37, 55, "1", "500", "14.0", "10.0", "3.0", "0.85", "0.0", 0, 1},
    {"3", "小会議室", "", 41, 52, "1", "500", "6.0", "5.0", "2.7", "0.85", "0.0", 0, 1},
    {"3", "食堂", "", 46, 53, "1", "300", "12.0", "8.0", "2.8", "0.85", "0.5", 1, 1},
    {"3", "厨房", "", 45, 54, "1", "500", "6.0", "5.0", "2.5", "0.85", "0.0", 1, 2},
    {"3", "便所", "", 41, 51, "1", "200", "5.0", "4.0", "2.5", "0.85", "0.0", 1, 1},
    {"3", "廊下", "", 38, 54, "1", "150", "30.0", "2.0", "2.6", "0.00", "0.0", 1, 1},
    {"3", "倉庫", "", 39, 54, "1", "100", "4.0", "3.0", "2.6", "0.00", "0.0", 2, 2},
    {"3", "機械室", "", 45, 55, "1", "200", "10.0", "8.0", "4.0", "0.85", "1.0", 2, 2},
    {"3", "研究室", "", 36, 55, "1", "500", "8.0", "6.0", "2.8", "0.85", "0.0", 0, 1},
};

void field(FSyoudo &s, const char *name, const char *value)
{
    s.setText(QString::fromLatin1(name), QString::fromUtf8(value));
    s.Data_calculation(QString::fromLatin1(name));
}

} // namespace

void fillExampleOffice(FSyoudo &sheet)
{
    const MasterTables &m = sheet.masters();
    int row = 0;
    for (const Room &r : kRooms) {
        ++row;
        // The row is typed into the row field and left, which loads it into the panel.
        sheet.focus(QStringLiteral("Txt_Gyou"));
        sheet.setText(QStringLiteral("Txt_Gyou"), QString::number(row));
        sheet.focus(QStringLiteral("Txt_Kai"));
        sheet.setText(QStringLiteral("Txt_Kai"), QString::fromUtf8(r.floor) + QStringLiteral("F"));
        sheet.setText(QStringLiteral("Txt_Shitsu"), QString::fromUtf8(r.name1));
        sheet.setText(QStringLiteral("Txt_Shitsu2"), QString::fromUtf8(r.name2));
        // Luminaire and lamp as the pick lists set them.
        sheet.state().luminaireIndex = r.luminaire;
        sheet.setText(QStringLiteral("Txt_Kigu"), FixedField::trimmedRight(m.luminaire(r.luminaire).name));
        sheet.state().lampIndex = r.lamp;
        const QString lampName = FixedField::trimmedRight(m.lamp(r.lamp).name);
        sheet.setText(QStringLiteral("Txt_WKougen"), lampName);
        sheet.setText(QStringLiteral("Txt_Kougen"), lampName);
        field(sheet, "Txt_WTousu", r.perFitting);
        field(sheet, "Txt_Syoudo1", r.lux);
        field(sheet, "Txt_Maguchi", r.width);
        field(sheet, "Txt_Okuyuki", r.depth);
        field(sheet, "Txt_Takasa", r.height);
        field(sheet, "Txt_Stakasa", r.workPlane);
        field(sheet, "Txt_Kudari", r.suspension);
        sheet.Btn_Hansya_Click(r.reflectance);
        for (int i = 0; i < 3; ++i)
            sheet.setText(QStringLiteral("Lbl_Hosyu_%1").arg(i), m.luminaire(r.luminaire).maintenanceFactor(i + 1));
        sheet.Btn_Hosyu_Click(r.maintenance);
        sheet.Data_calculation(QString()); // the lamp's flux arrived at the end of the last pass
        sheet.Btn_Youryou_Click(0);
        sheet.Btn_Adv_Click();
    }
    RecordGrid &g = sheet.recordGrid();
    g.setText(RoomRecord::kHeadingsRow, RoomRecord::kTitle1, QStringLiteral("（仮称）ゼルティカ第一ビル新築工事"));
    g.setText(RoomRecord::kHeadingsRow, RoomRecord::kTitle2, QStringLiteral("電気設備工事　照明設備"));
    g.setText(RoomRecord::kHeadingsRow, RoomRecord::kDate, JapaneseDate::format(QDate(2026, 12, 7)));
}

namespace {

// Input power of one fitting (W), by the lamp and the lamps per fitting.
int inputPower(const QString &lamp, int perFitting)
{
    const struct {
        const char *prefix;
        int perLamp;
    } kLamps[] = {{"LDA7", 7},        {"FHF32", 45},       {"FDL27", 29},      {"FHT32", 36},      {"FLR40", 42},
                  {"FPL36", 40},      {"LED-BL2500", 19},  {"LED-BL5200", 35}, {"LED-DL2000", 16}, {"LED-DL3000", 22},
                  {"LED-DL1000", 9}};
    for (const auto &l : kLamps)
        if (lamp.startsWith(QLatin1String(l.prefix)))
            return l.perLamp * perFitting - (perFitting > 1 ? 4 : 0); // two lamps share a ballast
    return 0;
}

// The control of each room use (the index of its button on tab 1).
int controlOf(const QString &room)
{
    const QHash<QString, int> controls = {
        {QStringLiteral("事務室"), 2}, {QStringLiteral("会議室"), 0},    {QStringLiteral("便所"), 0},
        {QStringLiteral("事務室（一般）"), 2}, {QStringLiteral("大会議室"), 0}, {QStringLiteral("小会議室"), 0},
        {QStringLiteral("男子便所"), 0}, {QStringLiteral("女子便所"), 0},
        {QStringLiteral("更衣室"), 0}, {QStringLiteral("湯沸室"), 0},    {QStringLiteral("倉庫"), 0},
        {QStringLiteral("書庫"), 0},   {QStringLiteral("廊下"), 3},      {QStringLiteral("階段室"), 3},
        {QStringLiteral("玄関ホール"), 3}, {QStringLiteral("食堂"), 5}, {QStringLiteral("電気室"), 6},
        {QStringLiteral("機械室"), 6}, {QStringLiteral("役員室"), 1},    {QStringLiteral("応接室"), 1},
        {QStringLiteral("研究室"), 4}};
    return controls.value(room, 7);
}

} // namespace

void fillExampleCecl(FCECL &sheet, ScriptedDialogs &dialogs, const QString &illuminanceFile)
{
    using namespace ZoneRecord;
    dialogs.paths = {illuminanceFile};
    // The file has no building type yet: the options come up with it.
    dialogs.dialogAnswers = {[](QDialog &d) {
        d.findChild<QComboBox *>(QStringLiteral("Cmb_Tate"))->setCurrentIndex(3); // 事務所
        d.findChild<QPushButton *>(QStringLiteral("OKButton"))->click();
        return d.result();
    }};
    sheet.Menu_File_Open_Click();
    const RecordGrid &g = sheet.recordGrid();
    for (int row = 1; row <= ZoneRecord::kRooms && g.text(row, InUse) == u"1"; ++row) {
        // The row is typed into the row field and left, which loads the zone into the panel.
        sheet.focus(QStringLiteral("Txt_Gyou"));
        sheet.setText(QStringLiteral("Txt_Gyou"), QString::number(row));
        sheet.focus(QStringLiteral("Txt_Kiguban"));
        const QString room = g.text(row, RoomName1);
        const QString luminaire = g.text(row, LuminaireType);
        const int perFitting = g.text(row, RoomRecord::LampsPerFitting).toInt();
        sheet.setText(QStringLiteral("Txt_Kiguban"), QStringLiteral("L-%1").arg(g.text(row, RoomRecord::LuminaireIndex).rightJustified(2, u'0')));
        sheet.setText(QStringLiteral("Txt_InDenryoku"), QString::number(inputPower(g.text(row, LampName), perFitting)));
        sheet.Btn_Seigyo_Click(controlOf(room));
        // Louvres against glare on the luminaire, or a room for guests: the special type factor.
        const bool special = luminaire.contains(QStringLiteral("ﾙｰﾊﾞ")) || room == u"役員室" || room == u"応接室";
        sheet.Btn_Syuho_Click(special ? 0 : 1);
        sheet.Btn_Syoho_Click(room.startsWith(QStringLiteral("事務室")) ? 0 : 2);
        sheet.Data_calculation();
        sheet.Btn_Adv_Click();
    }
}
