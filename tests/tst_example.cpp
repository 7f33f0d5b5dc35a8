// The example work file under examples/ is what the sheet itself computes for the example office.
// Run with PRX5M_UPDATE_EXAMPLES=1 to write it anew after a deliberate change.
#include "grid/WorkFile.h"
#include "cecl/ZoneRecord.h"
#include "illuminance/RoomRecord.h"
#include "support/ExampleSheet.h"
#include "support/SheetFixture.h"

#include <QDir>

using namespace RoomRecord;

static bool NumberText_positive(const QString &text)
{
    bool ok = false;
    return text.toDouble(&ok) > 0 && ok;
}

class TestExample : public QObject
{
    Q_OBJECT
private slots:
    void exampleFileIsWhatTheSheetComputes();
    void ceclExampleIsWhatTheSheetComputes();
};

void TestExample::exampleFileIsWhatTheSheetComputes()
{
    SheetFixture f(TestEnv::sampleMasters());
    fillExampleOffice(*f.sheet);
    const RecordGrid &built = f.sheet->recordGrid();
    // Every room is complete: counts, illuminance and capacity worked out.
    for (int r = 1; r <= 31; ++r) {
        QCOMPARE(built.text(r, InUse), QStringLiteral("1"));
        QVERIFY2(NumberText_positive(built.text(r, LampCount)), qPrintable(built.text(r, RoomName1)));
        QVERIFY2(NumberText_positive(built.text(r, ResultIlluminance)), qPrintable(built.text(r, RoomName1)));
        QVERIFY2(NumberText_positive(built.text(r, Remark1)), qPrintable(built.text(r, RoomName1)));
    }
    QCOMPARE(built.text(32, InUse), QString());

    const QString path = QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f.syw"));
    if (qEnvironmentVariableIsSet("PRX5M_UPDATE_EXAMPLES"))
        QVERIFY(WorkFile::save(built, path));
    RecordGrid stored(221, 38);
    QVERIFY2(WorkFile::load(stored, path), qPrintable(path));
    QCOMPARE(stored, built);
}

void TestExample::ceclExampleIsWhatTheSheetComputes()
{
    CeclFixture f(TestEnv::sampleMasters());
    fillExampleCecl(*f.sheet, f.dialogs, QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f.syw")));
    const RecordGrid &built = f.sheet->recordGrid();
    QCOMPARE(built.text(221, ZoneRecord::BuildingType), QStringLiteral("3"));
    QCOMPARE(built.text(221, ZoneRecord::LinkStandardPower), QStringLiteral("1"));
    QCOMPARE(built.text(221, ZoneRecord::LinkStandardHours), QStringLiteral("1"));
    // Every zone complete: standard values from the room master, input power, the factors and
    // a coefficient.
    for (int r = 1; r <= 31; ++r) {
        const QString room = built.text(r, RoomName1);
        for (int c : {ZoneRecord::StandardPower, ZoneRecord::StandardHours, ZoneRecord::InputPower, ZoneRecord::TotalInput,
                      ZoneRecord::ControlFactor, ZoneRecord::TypeFactor, ZoneRecord::IlluminanceFactor,
                      ZoneRecord::LightingEnergy, ZoneRecord::VirtualEnergy, ZoneRecord::ZoneCecl})
            QVERIFY2(NumberText_positive(built.text(r, c)), qPrintable(QStringLiteral("%1 column %2").arg(room).arg(c)));
    }
    QCOMPARE(built.text(3, ZoneRecord::StandardPower), QStringLiteral("20")); // 事務室 as an office
    QCOMPARE(built.text(3, ZoneRecord::StandardHours), QStringLiteral("2700"));
    QCOMPARE(built.text(3, ZoneRecord::ControlContent), QStringLiteral("適性照度"));
    QCOMPARE(built.text(1, ZoneRecord::ControlContent), QStringLiteral("ﾀｲﾑｽｹｼﾞｭｰﾙ"));

    const QString path = QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f-cecl.syw"));
    if (qEnvironmentVariableIsSet("PRX5M_UPDATE_EXAMPLES"))
        QVERIFY(WorkFile::save(built, path));
    RecordGrid stored(221, 140);
    QVERIFY2(WorkFile::load(stored, path), qPrintable(path));
    QCOMPARE(stored, built);
}

QTEST_MAIN(TestExample)
#include "tst_example.moc"
