// The room requirements: each figure at its limit and one printed step beyond, "—" never
// checked, a missing figure not a pass; the master as shipped and as a spreadsheet saves it, its
// faults named by line; the proposals from room names; Ra typed in the luminaire master; and the
// batch's CSV and report from a work file whose room names its requirement.
#include "illuminance/FYouken.h"
#include "illuminance/Requirements.h"
#include "master/MasterTables.h"
#include "illuminance/RoomRecord.h"
#include "master/LuminaireRecord.h"
#include "support/PdfTools.h"
#include "support/TestEnv.h"
#include "grid/WorkFile.h"
#include "text/Cp932.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Requirements;

namespace {

Requirement office()
{
    Requirement r;
    r.task = QStringLiteral("試験室");
    r.em = 500;
    r.uo = 0.7;
    r.ugrLimit = 19;
    r.ra = 80;
    return r;
}

QStringList csvLine(const QString &path, const QString &row)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    for (const QString &line : QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n")))
        if (line.startsWith(row + u','))
            return line.split(u',');
    return {};
}

} // namespace

class TestRequirements : public QObject
{
    Q_OBJECT
private slots:
    void limitsAndOneStepBeyond_data();
    void limitsAndOneStepBeyond();
    void masterAsShipped();
    void masterFaultsNamed_data();
    void masterFaultsNamed();
    void proposals_data();
    void proposals();
    void typedRa_data();
    void typedRa();
    void batchCsvAndReport();
    void windowRecordsTheRoomsRequirement();
};

void TestRequirements::limitsAndOneStepBeyond_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<double>("value"); // the figure as worked out, before printing
    QTest::addColumn<int>("verdict");
    const int pass = int(Verdict::Pass), fail = int(Verdict::Fail), none = int(Verdict::NotApplicable);
    // Em 500 lx: the lumen method and the grid's mean, each printed whole.
    QTest::newRow("Em equal: 500") << "em" << 500.0 << pass;
    QTest::newRow("Em 499.6 prints 500") << "em" << 499.6 << pass;
    QTest::newRow("Em 499.4 prints 499") << "em" << 499.4 << fail;
    QTest::newRow("Em grid alone below: 498") << "emGrid" << 498.0 << fail;
    // Uo 0.70, two decimals.
    QTest::newRow("Uo equal: 0.70") << "uo" << 0.70 << pass;
    QTest::newRow("Uo 0.6951 prints 0.70") << "uo" << 0.6951 << pass;
    QTest::newRow("Uo 0.69") << "uo" << 0.69 << fail;
    // UGR_L 19, one decimal: equal passes, a tenth above fails.
    QTest::newRow("UGR equal: 19.0") << "ugr" << 19.0 << pass;
    QTest::newRow("UGR 19.04 prints 19.0") << "ugr" << 19.04 << pass;
    QTest::newRow("UGR 19.06 prints 19.1") << "ugr" << 19.06 << fail;
    QTest::newRow("UGR 18.2, well within") << "ugr" << 18.2 << pass;
    // Ra 80, whole.
    QTest::newRow("Ra equal: 80") << "ra" << 80.0 << pass;
    QTest::newRow("Ra 79") << "ra" << 79.0 << fail;
    // No figure: not checked, never a pass.
    QTest::newRow("no UGR (no photometry)") << "ugr" << qQNaN() << none;
    QTest::newRow("no Ra known") << "ra" << qQNaN() << none;
}

void TestRequirements::limitsAndOneStepBeyond()
{
    QFETCH(QString, column);
    QFETCH(double, value);
    QFETCH(int, verdict);
    // Everything else comfortably within, so the room's verdict is the column's where it counts.
    Figures f;
    f.emLumen = 600;
    f.emGrid = 620;
    f.uo = 0.8;
    f.ugr = 16;
    f.ra = 84;
    const std::optional<double> v = std::isnan(value) ? std::nullopt : std::optional<double>(value);
    Verdict Check::*member = &Check::em;
    if (column == u"em") {
        f.emLumen = v;
    } else if (column == u"emGrid") {
        f.emGrid = v;
    } else if (column == u"uo") {
        f.uo = v;
        member = &Check::uo;
    } else if (column == u"ugr") {
        f.ugr = v;
        f.whyNoUgr = QStringLiteral("配光データなし");
        member = &Check::ugr;
    } else {
        f.ra = v;
        member = &Check::ra;
    }
    const Requirement r = office();
    const Check c = check(&r, f);
    QCOMPARE(int(c.*member), verdict);
    // The room: failing with any column, else passing (a column not checked does not fail it).
    QCOMPARE(int(c.room), verdict == int(Verdict::Fail) ? int(Verdict::Fail) : int(Verdict::Pass));
    if (verdict == int(Verdict::NotApplicable))
        QVERIFY2(!c.reasons.filter(column == u"ugr" ? QStringLiteral("配光データなし") : QStringLiteral("Ra が不明")).isEmpty(),
                 qPrintable(c.reasons.join(u'|')));
    // "—" for that column: not checked, whatever the figure.
    Requirement open = r;
    if (column.startsWith(u"em"))
        open.em.reset();
    else if (column == u"uo")
        open.uo.reset();
    else if (column == u"ugr")
        open.ugrLimit.reset();
    else
        open.ra.reset();
    QCOMPARE(int(check(&open, f).*member), int(Verdict::NotApplicable));
    // No requirement at all: the room is not judged.
    const Check none = check(nullptr, f);
    QCOMPARE(int(none.room), int(Verdict::NotApplicable));
    QCOMPARE(int(none.em), int(Verdict::NotApplicable));
}

void TestRequirements::masterAsShipped()
{
    const QString path = QDir(TestEnv::sourceDir()).filePath(QStringLiteral("data/masters/kijun.csv"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QList<Requirement> rows;
    QString error;
    QVERIFY2(parse(bytes, &rows, &error), qPrintable(error));
    QCOMPARE(rows.size(), 13);
    // The published values, and only those; the unconfirmed ones marked.
    const Requirement *office = find(rows, QStringLiteral("事務室"));
    QVERIFY(office && office->em == 750 && office->emLow == 500 && office->emHigh == 1000 && !office->uo);
    QVERIFY(office->toConfirm());
    const Requirement *corridor = find(rows, QStringLiteral("廊下・通路"));
    QVERIFY(corridor && corridor->em == 100 && !corridor->ugrLimit && corridor->ra == 40 && !corridor->toConfirm());
    const Requirement *drawing = find(rows, QStringLiteral("設計・製図"));
    QVERIFY(drawing && drawing->uo == 0.7 && drawing->ugrLimit == 16);
    for (const Requirement &r : rows)
        QCOMPARE(r.source, QStringLiteral("JIS Z 9110:2010"));
    // As a spreadsheet saves it (code page 932), and as the tool writes it back: the same rows.
    QList<Requirement> again;
    QVERIFY(parse(Cp932::encode(QString::fromUtf8(bytes)), &again, &error));
    QCOMPARE(again.size(), rows.size());
    QVERIFY(parse(toCsv(rows), &again, &error));
    QCOMPARE(toCsv(again), toCsv(rows));
    QCOMPARE(again.first().summary(), QStringLiteral("Em 750 lx（500～1000）・UGR 19 以下・Ra 80 以上"));
    // A missing master is said, not taken as empty.
    QTemporaryDir dir;
    QVERIFY(!load(dir.path(), &rows, &error));
    QVERIFY2(error.contains(QStringLiteral("kijun.csv がありません")), qPrintable(error));
}

void TestRequirements::masterFaultsNamed_data()
{
    QTest::addColumn<QByteArray>("body"); // after the header line
    QTest::addColumn<QString>("said");
    QTest::newRow("UGR_L not a number") << QByteArray("事務所,事務室,750,—,—,—,abc,80,x,\n") << "2 行目: UGR_L「abc」";
    QTest::newRow("Uo above 1") << QByteArray("a,b,750,—,—,1.5,19,80,x,\n") << "2 行目: Uo「1.5」";
    QTest::newRow("Em in exponent form") << QByteArray("a,b,7e2,—,—,—,19,80,x,\n") << "2 行目: Em「7e2」";
    QTest::newRow("a field short") << QByteArray("a,b,750,—,—,—,19,80,x\n") << "2 行目: 項目が 9 個です";
    QTest::newRow("the same task twice, third line") << QByteArray("a,b,750,—,—,—,19,80,x,\na,b,500,—,—,—,—,—,x,\n")
                                                       << "3 行目: 領域・作業又は活動「b」が重複";
    QTest::newRow("no task") << QByteArray("a,,750,—,—,—,19,80,x,\n") << "2 行目: 領域・作業又は活動がありません";
}

void TestRequirements::masterFaultsNamed()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, said);
    QList<Requirement> rows{office()};
    QString error;
    QVERIFY(!parse(header().join(u',').toUtf8() + '\n' + body, &rows, &error));
    QVERIFY2(error.contains(said), qPrintable(error));
    QCOMPARE(rows.size(), 1); // untouched
    QVERIFY(!parse("区分,領域\n", &rows, &error));
    QVERIFY(error.contains(QStringLiteral("1 行目")));
}

void TestRequirements::proposals_data()
{
    QTest::addColumn<QString>("room");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("the master's name in the room's") << QStringLiteral("事務室（営業）") << QStringLiteral("事務室");
    QTest::newRow("one part of a master's name") << QStringLiteral("廊下") << QStringLiteral("廊下・通路");
    QTest::newRow("the longer name first: 非常階段, not 階段") << QStringLiteral("非常階段") << QStringLiteral("屋内非常階段");
    QTest::newRow("階段室") << QStringLiteral("階段室") << QStringLiteral("階段");
    QTest::newRow("WC") << QStringLiteral("1F WC") << QStringLiteral("便所・洗面所");
    QTest::newRow("full-width ＷＣ") << QStringLiteral("ＷＣ") << QStringLiteral("便所・洗面所");
    QTest::newRow("男子便所") << QStringLiteral("男子便所") << QStringLiteral("便所・洗面所");
    QTest::newRow("中央監視室") << QStringLiteral("中央監視室") << QStringLiteral("制御室");
    QTest::newRow("機械室") << QStringLiteral("機械室") << QStringLiteral("電気室・空調機械室");
    QTest::newRow("no proposal: 会議室") << QStringLiteral("会議室") << QString();
}

void TestRequirements::proposals()
{
    QFETCH(QString, room);
    QFETCH(QString, proposed);
    QFile f(QDir(TestEnv::sourceDir()).filePath(QStringLiteral("data/masters/kijun.csv")));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QList<Requirement> rows;
    QString error;
    QVERIFY(parse(f.readAll(), &rows, &error));
    QCOMPARE(Requirements::proposed(room, rows), proposed);
    // A proposal names only what the master has.
    QCOMPARE(Requirements::proposed(room, {}), QString());
}

void TestRequirements::typedRa_data()
{
    QTest::addColumn<QString>("spare");
    QTest::addColumn<double>("ra"); // 0: none
    QTest::newRow("Ra80") << QStringLiteral("Ra80") << 80.0;
    QTest::newRow("ra 90, padded") << QStringLiteral("ra 90       ") << 90.0;
    QTest::newRow("a bare number is not read") << QStringLiteral("80") << 0.0;
    QTest::newRow("other text") << QStringLiteral("sample") << 0.0;
    QTest::newRow("beyond 100") << QStringLiteral("Ra101") << 0.0;
}

void TestRequirements::typedRa()
{
    QFETCH(QString, spare);
    QFETCH(double, ra);
    LuminaireRecord r;
    r.spare = spare.leftJustified(12, u' ');
    QCOMPARE(Requirements::typedRa(r).value_or(0), ra);
}

void TestRequirements::batchCsvAndReport()
{
    // The example office with row 3 (事務室, 18 × 12 m) named 設計室・製図室 (UGR_L 16), the other
    // rooms as their names propose.
    QTemporaryDir dir;
    RecordGrid g(221, 140);
    QVERIFY(WorkFile::load(g, QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f.syw"))));
    g.setText(3, 139, QStringLiteral("設計室・製図室"));
    const QString in = dir.filePath(QStringLiteral("in.syw"));
    QVERIFY(WorkFile::save(g, in));
    const auto run = [&](const QStringList &args) {
        QProcess p;
        p.setProcessEnvironment(TestEnv::batchEnvironment(dir.path()));
        p.start(TestEnv::program(QStringLiteral("prx5m")), args);
        p.waitForFinished(120000);
        return p.exitCode();
    };
    const QString csv = dir.filePath(QStringLiteral("req.csv"));
    QCOMPARE(run({QStringLiteral("--requirements-csv"), in, csv}), 0);
    QFile f(csv);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(f.readLine()).trimmed(),
             QStringLiteral("row,floor,name,requirement,em_required,em_lumen,em_grid,uo_required,uo,ugr_l,ugr,ra_required,ra,verdict"));
    const QStringList office = csvLine(csv, QStringLiteral("3"));
    QCOMPARE(office.mid(0, 5), (QStringList{"3", "1F", QStringLiteral("事務室 （営業）"), QStringLiteral("設計室・製図室"), "750"}));
    QCOMPARE(office.value(7), QString()); // Uo "—"
    QCOMPARE(office.value(9), QStringLiteral("16"));
    // The verdict follows the printed figures: UGR above 16 fails the room.
    QVERIFY(office.value(10).toDouble() > 16);
    QCOMPARE(office.value(13), QStringLiteral("不適合"));
    // A corridor proposed from its name: Em 100 against 153 lx, no UGR limit, Ra unknown.
    const QStringList corridor = csvLine(csv, QStringLiteral("9"));
    QCOMPARE(corridor.mid(3, 2), (QStringList{QStringLiteral("廊下・通路"), "100"}));
    QCOMPARE(corridor.value(9), QString());
    QCOMPARE(corridor.value(13), QStringLiteral("適合"));
    // A room whose name proposes nothing: not judged.
    QCOMPARE(csvLine(csv, QStringLiteral("4")).value(13), QStringLiteral("対象外"));
    // The report: the office's line as the CSV has it.
    const QString pdf = dir.filePath(QStringLiteral("req.pdf"));
    QCOMPARE(run({QStringLiteral("--pdf"), QStringLiteral("requirements"), in, pdf}), 0);
    const QString text = PdfTools::text(pdf, 1).simplified();
    QVERIFY(text.contains(QStringLiteral("照明要件チェック表")));
    QVERIFY2(text.contains(QStringLiteral("事務室 （営業） 設計室・製図室 750 %1 %2").arg(office.value(5), office.value(6))),
             qPrintable(text.left(1500)));
    QVERIFY(text.contains(QStringLiteral("廊下 廊下・通路（提案）")));
    const QString xlsx = dir.filePath(QStringLiteral("req.xlsx"));
    QCOMPARE(run({QStringLiteral("--xlsx"), QStringLiteral("requirements"), in, xlsx}), 0);
    QVERIFY(QFileInfo(xlsx).size() > 0);
}

void TestRequirements::windowRecordsTheRoomsRequirement()
{
    // The example office in the window, as a user: row 3 typed in 行№, 設計室・製図室 picked, 確認.
    RecordGrid g(221, 38);
    QVERIFY(WorkFile::load(g, QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f.syw"))));
    const MasterTables masters = TestEnv::sampleMasters();
    QTemporaryDir work;
    FYouken window(g, masters, TestEnv::buildDir(), QString(), work.path());
    QVERIFY(window.prepare());
    window.show();
    auto *row = window.findChild<QSpinBox *>(QStringLiteral("Spn_Gyou"));
    auto *pick = window.findChild<QComboBox *>(QStringLiteral("Cmb_Youken"));
    auto *list = window.findChild<QTableWidget *>(QStringLiteral("SPD_Youken"));
    QVERIFY(row && pick && list);
    row->setValue(3);
    // The room's proposal shown first: 事務室, from its name.
    QCOMPARE(pick->currentData().toString(), QStringLiteral("事務室"));
    QCOMPARE(list->currentRow(), 1); // the hall's two rows are the first room
    const int drawing = pick->findData(QStringLiteral("設計室・製図室"));
    QVERIFY(drawing > 0);
    pick->setCurrentIndex(drawing);
    emit pick->activated(drawing);
    QVERIFY(window.findChild<QLabel *>(QStringLiteral("Lbl_Summary"))->text().contains(QStringLiteral("UGR 16 以下")));
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("Btn_Adv")), Qt::LeftButton);
    QVERIFY(window.changed());
    QCOMPARE(window.grid().text(3, 139), QStringLiteral("設計室・製図室"));
    QCOMPARE(window.grid().text(4, 139), QString()); // the next room untouched
    // The list's line is the room's as now judged, and the panel has moved on to the next room.
    QCOMPARE(list->item(1, 3)->text(), QStringLiteral("設計室・製図室"));
    QCOMPARE(list->item(1, 11)->text(), QStringLiteral("16"));
    QCOMPARE(list->item(1, 17)->text(), QStringLiteral("不適合"));
    QCOMPARE(row->value(), 4);
    // A room of two rows records its requirement in both; "(要件なし)" takes it away again.
    row->setValue(2);
    QCOMPARE(list->currentRow(), 0);
    pick->setCurrentIndex(pick->findData(QStringLiteral("出入口")));
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("Btn_Adv")), Qt::LeftButton);
    QCOMPARE(window.grid().text(1, 139), QStringLiteral("出入口"));
    QCOMPARE(window.grid().text(2, 139), QStringLiteral("出入口"));
    row->setValue(3);
    pick->setCurrentIndex(0);
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("Btn_Adv")), Qt::LeftButton);
    QCOMPARE(window.grid().text(3, 139), QStringLiteral("—"));
    // Recorded as no requirement, the room is not judged, now and when the rows are read again
    // (no proposal in its place).
    QCOMPARE(list->item(1, 17)->text(), QStringLiteral("対象外"));
    FYouken reopened(window.grid(), masters, TestEnv::buildDir(), QString(), work.path());
    QVERIFY(reopened.prepare());
    QCOMPARE(reopened.rooms().value(1).task, QString());
    QCOMPARE(reopened.rooms().value(1).proposed, false);
    QCOMPARE(reopened.rooms().value(0).task, QStringLiteral("出入口"));
}

QTEST_MAIN(TestRequirements)
#include "tst_requirements.moc"
