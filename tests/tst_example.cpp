// The example work file under examples/ is what the sheet itself computes for the example office.
// Run with PRX5M_UPDATE_EXAMPLES=1 to write it anew after a deliberate change.
#include "grid/WorkFile.h"
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
};

void TestExample::exampleFileIsWhatTheSheetComputes()
{
    SheetFixture f(TestEnv::sampleMasters());
    fillExampleOffice(*f.sheet);
    const RecordGrid &built = f.sheet->recordGrid();
    // Every room is complete: counts, illuminance and capacity worked out.
    for (int r = 1; r <= 30; ++r) {
        QCOMPARE(built.text(r, InUse), QStringLiteral("1"));
        QVERIFY2(NumberText_positive(built.text(r, LampCount)), qPrintable(built.text(r, RoomName1)));
        QVERIFY2(NumberText_positive(built.text(r, ResultIlluminance)), qPrintable(built.text(r, RoomName1)));
        QVERIFY2(NumberText_positive(built.text(r, Remark1)), qPrintable(built.text(r, RoomName1)));
    }
    QCOMPARE(built.text(31, InUse), QString());

    const QString path = QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f.syw"));
    if (qEnvironmentVariableIsSet("PRX5M_UPDATE_EXAMPLES"))
        QVERIFY(WorkFile::save(built, path));
    RecordGrid stored(221, 38);
    QVERIFY2(WorkFile::load(stored, path), qPrintable(path));
    QCOMPARE(stored, built);
}

QTEST_MAIN(TestExample)
#include "tst_example.moc"
