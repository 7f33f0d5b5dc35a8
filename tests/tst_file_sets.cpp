// Sets of files (a master with its kept photometric files and their index; the three CSV files of
// a distribution) as an attacker or an unlucky user meets them: two writers at once, one held at a
// step while the other runs; a writer killed at each step of a set and the next one mending it;
// FIFOs, devices, folders and links planted where the program reads and writes; huge old files.
// Every run that could hang is bounded by a timeout of seconds, so a hang fails instead of
// blocking.
#include "emergency/EmergencyMaster.h"
#include "grid/RecordGrid.h"
#include "grid/WorkFile.h"
#include "illuminance/RoomDistribution.h"
#include "illuminance/RoomRecord.h"
#include "io/FileSet.h"
#include "photometry/LuminaireImport.h"
#include "photometry/PhotometryReader.h"
#include "shell/Startup.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QDirIterator>
#include <QMap>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace RoomRecord;

namespace {

const QString kIes = QStringLiteral("data/photometry/downlight-dl2000.ies");

QString source(const QString &relative)
{
    return QDir(TestEnv::sourceDir()).filePath(relative);
}

// A process of the build's, with its environment; the caller waits.
struct Run {
    QProcess process;
    bool finished(int seconds = 30)
    {
        if (process.state() == QProcess::NotRunning || process.waitForFinished(seconds * 1000))
            return true;
        process.kill(); // a hang fails the row instead of blocking the run
        process.waitForFinished(5000);
        return false;
    }
    int status() const { return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1; }
    QString output() { return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError()); }
};

QProcessEnvironment plainEnvironment(const QString &home)
{
    QProcessEnvironment env = TestEnv::batchEnvironment(home);
    env.remove(QStringLiteral("PRX5M_STOP_AT"));
    env.remove(QStringLiteral("PRX5M_LOCK_WAIT"));
    return env;
}

void start(Run &run, const QString &program, const QStringList &args, const QString &home, const QString &stopAt = {},
           const QString &lockWait = {}, rlim_t memory = 0)
{
    QProcessEnvironment env = plainEnvironment(home);
    if (!stopAt.isEmpty())
        env.insert(QStringLiteral("PRX5M_STOP_AT"), stopAt);
    if (!lockWait.isEmpty())
        env.insert(QStringLiteral("PRX5M_LOCK_WAIT"), lockWait);
    run.process.setProcessEnvironment(env);
#ifndef PRX5M_SANITIZED // the sanitizers reserve far more address space than any cap
    if (memory > 0)
        run.process.setChildProcessModifier([memory] {
            const rlimit cap{memory, memory};
            ::setrlimit(RLIMIT_AS, &cap);
        });
#else
    Q_UNUSED(memory);
#endif
    run.process.start(TestEnv::program(program), args);
}

// Waits until the process stopped itself at its step (SIGSTOP): false when it ended or did not get
// there within the time.
bool stopped(qint64 pid, int seconds = 30)
{
    for (int i = 0; i < seconds * 50; ++i) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return false;
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        if (close < 0 || close + 2 >= line.size())
            return false;
        const char state = line[close + 2];
        if (state == 'T' || state == 't')
            return true;
        if (state == 'Z' || state == 'X')
            return false;
        QThread::msleep(20);
    }
    return false;
}

QStringList importArgs(const QString &csv, int slot)
{
    return {QStringLiteral("photometry"), source(kIes), QStringLiteral("--into"), csv, QStringLiteral("--slot"),
            QString::number(slot), QStringLiteral("--mf"), QStringLiteral("0.81,0.77,0.72")};
}

// The master's line of a slot (the CSV's line `slot`, the header being line 0).
QString masterLine(const QString &csv, int slot)
{
    return QString::fromUtf8(TestEnv::readBytes(csv)).split(u'\n').value(slot).trimmed();
}

bool inIndex(const QString &folder, int slot)
{
    const QStringList lines = QString::fromUtf8(TestEnv::readBytes(QDir(folder).filePath(QStringLiteral("photometry/index.csv"))))
                                  .split(u'\n');
    for (const QString &l : lines)
        if (l.startsWith(QStringLiteral("%1,").arg(slot)))
            return true;
    return false;
}

QStringList entries(const QString &folder)
{
    QStringList out = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    out.sort();
    return out;
}

// A master folder: the sample luminaire master as CSV.
QString masterFolder(const QTemporaryDir &dir)
{
    const QString csv = dir.filePath(QStringLiteral("syomei.csv"));
    TestEnv::writeBytes(csv, TestEnv::readBytes(source(QStringLiteral("data/masters/syomei.csv"))));
    return csv;
}

// A work file of `rooms` rooms like the example's office row 3 (its luminaire has a kept file),
// named with `prefix`, one field set to `value` when given.
QString workFile(const QString &path, const QString &prefix, int rooms, int column = 0, const QString &value = {})
{
    RecordGrid example(kRows, kColumns);
    WorkFile::load(example, source(QStringLiteral("examples/office-3f.syw")));
    RecordGrid g(kRows, kColumns);
    for (int r = 1; r <= rooms; ++r) {
        for (int c = 1; c <= kColumns; ++c)
            g.setText(r, c, example.text(3, c));
        g.setText(r, RoomName1, QStringLiteral("%1%2").arg(prefix).arg(r));
        g.setText(r, RoomName2, QString());
        if (column > 0)
            g.setText(r, column, value);
    }
    WorkFile::save(g, path);
    return path;
}

// The rows a CSV file of the distribution names (its first field, the header left out).
QSet<QString> rowsOf(const QString &path)
{
    QSet<QString> out;
    const QStringList lines = QString::fromUtf8(TestEnv::readBytes(path)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i)
        out.insert(lines[i].section(u',', 0, 0));
    return out;
}

QString roomNames(const QString &folder)
{
    const QStringList lines = QString::fromUtf8(TestEnv::readBytes(QDir(folder).filePath(QStringLiteral("rooms.csv"))))
                                  .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QStringList names;
    for (qsizetype i = 1; i < lines.size(); ++i)
        names.append(lines[i].section(u',', 1, 1));
    return names.join(u' ');
}

// Every file under `folder` (hidden ones too) with its bytes; links by their targets.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo fi(it.next());
        const QString name = QDir(folder).relativeFilePath(fi.filePath());
        if (fi.isSymLink())
            out.insert(name, "-> " + QFile::encodeName(fi.symLinkTarget()));
        else if (fi.isFile())
            out.insert(name, TestEnv::readBytes(fi.filePath()));
        else
            out.insert(name + u'/', QByteArray());
    }
    return out;
}

} // namespace

class TestFileSets : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void racingImports_data();
    void racingImports();
    void racingDistributions();
    void thirdWriterWhileTheLockIsReplaced();
    void longNamesMended_data();
    void longNamesMended();
    void killedAtEachStep_data();
    void killedAtEachStep();
    void outputFolderKilledAtEachStep_data();
    void outputFolderKilledAtEachStep();
    void plantedJournalsTouchNothing_data();
    void plantedJournalsTouchNothing();
    void foldersBesideAreTheProgramsOnly();
    void outputFolderWithAnAccessList();
    void specialFilesInTheSet_data();
    void specialFilesInTheSet();
    void linksInTheProgramsFolder_data();
    void linksInTheProgramsFolder();
    void hugeOldFilesAreNotRead_data();
    void hugeOldFilesAreNotRead();
    void importSourceSaysWhatItIs_data();
    void importSourceSaysWhatItIs();
    void curveOnlyAfterTheMaster_data();
    void curveOnlyAfterTheMaster();

private:
    QTemporaryDir m_program; // a copy of the program, with masters and photometry beside it
};

void TestFileSets::initTestCase()
{
    // The distribution's batch reads the masters beside the program: a copy of it, so that its
    // folder may be tampered with.
    QVERIFY(QFile::copy(TestEnv::program(QStringLiteral("prx5m")), m_program.filePath(QStringLiteral("prx5m"))));
    QFile::setPermissions(m_program.filePath(QStringLiteral("prx5m")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    for (const QString &name : {QStringLiteral("syomei.mst"), QStringLiteral("Kougen.mst"), QStringLiteral("room.mst")})
        QVERIFY(QFile::copy(QDir(TestEnv::buildDir()).filePath(name), m_program.filePath(name)));
}

void TestFileSets::racingImports_data()
{
    QTest::addColumn<QString>("secondWait"); // PRX5M_LOCK_WAIT of the second import ("": the default)
    QTest::addColumn<bool>("secondWritten");
    QTest::newRow("the second waits for the first, then writes its slot") << QString() << true;
    QTest::newRow("the second gives up, naming the lock; the first's slot is whole") << QStringLiteral("1") << false;
}

void TestFileSets::racingImports()
{
    QFETCH(QString, secondWait);
    QFETCH(bool, secondWritten);
    QTemporaryDir dir;
    const QString csv = masterFolder(dir);
    // The first holds the lock, stopped before it reads the master; the second starts meanwhile.
    Run first, second;
    start(first, QStringLiteral("prx5m-mst"), importArgs(csv, 60), dir.path(), QStringLiteral("set:locked"));
    QVERIFY(stopped(first.process.processId()));
    start(second, QStringLiteral("prx5m-mst"), importArgs(csv, 61), dir.path(), {}, secondWait);
    if (secondWritten) {
        QVERIFY2(!second.process.waitForFinished(2000), "the second import did not wait for the first");
        ::kill(pid_t(first.process.processId()), SIGCONT);
    } else {
        QVERIFY(second.finished());
        ::kill(pid_t(first.process.processId()), SIGCONT);
    }
    QVERIFY(first.finished());
    QVERIFY(second.finished());
    QCOMPARE(first.status(), 0);
    const QString secondOutput = second.output();
    QCOMPARE(second.status() == 0, secondWritten);
    if (!secondWritten)
        QVERIFY2(secondOutput.contains(FileSet::kLockName), qPrintable(secondOutput));
    // Never both "succeeding" with one lost: master and index agree on both slots.
    QVERIFY(masterLine(csv, 60).startsWith(QStringLiteral("60,60,LED DOWNLIGHT")));
    QVERIFY(inIndex(dir.path(), 60));
    QCOMPARE(masterLine(csv, 61).startsWith(QStringLiteral("61,61,LED DOWNLIGHT")), secondWritten);
    QCOMPARE(inIndex(dir.path(), 61), secondWritten);
    QCOMPARE(QFile::exists(dir.filePath(QStringLiteral("photometry/61.ies"))), secondWritten);
    QCOMPARE(entries(dir.path()), (QStringList{QStringLiteral("photometry"), QStringLiteral("syomei.csv")}));
}

void TestFileSets::racingDistributions()
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out"));
    const QString many = workFile(dir.filePath(QStringLiteral("a.syw")), QStringLiteral("甲"), 12);
    const QString few = workFile(dir.filePath(QStringLiteral("b.syw")), QStringLiteral("乙"), 3);
    // The first has its new files written beside the old ones and is held there.
    Run first, second;
    start(first, QStringLiteral("prx5m"), {QStringLiteral("--distribution-csv"), QStringLiteral("--interreflection"), QStringLiteral("uniform"), many, out}, dir.path(),
          QStringLiteral("folder:written"));
    QVERIFY(stopped(first.process.processId()));
    start(second, QStringLiteral("prx5m"), {QStringLiteral("--distribution-csv"), QStringLiteral("--interreflection"), QStringLiteral("uniform"), few, out}, dir.path());
    QVERIFY2(!second.process.waitForFinished(2000), "the second run did not wait for the first");
    ::kill(pid_t(first.process.processId()), SIGCONT);
    QVERIFY(first.finished());
    QVERIFY(second.finished());
    QCOMPARE(first.status(), 0);
    QCOMPARE(second.status(), 0);
    // The last writer's set, whole: every file names the same three rooms.
    const QSet<QString> rows{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
    QCOMPARE(roomNames(out), QStringLiteral("乙1 乙2 乙3"));
    QCOMPARE(rowsOf(QDir(out).filePath(QStringLiteral("points.csv"))), rows);
    QCOMPARE(rowsOf(QDir(out).filePath(QStringLiteral("luminaires.csv"))), rows);
    QCOMPARE(entries(out), (QStringList{"luminaires.csv", "points.csv", "rooms.csv", "surfaces.csv", "ugr.csv"}));
}

void TestFileSets::thirdWriterWhileTheLockIsReplaced()
{
    // The first writer lets go (its lock file removed) while the second waits on that file; the
    // second must take the lock file that is there now, not the removed one, or a third writer
    // arriving then takes a lock of its own and both write the master at once.
    QTemporaryDir dir;
    const QString csv = masterFolder(dir);
    Run first, second, third;
    start(first, QStringLiteral("prx5m-mst"), importArgs(csv, 60), dir.path(), QStringLiteral("set:locked"));
    QVERIFY(stopped(first.process.processId()));
    start(second, QStringLiteral("prx5m-mst"), importArgs(csv, 61), dir.path(), QStringLiteral("set:prepared"));
    QVERIFY2(!second.process.waitForFinished(1000), "the second did not wait for the first");
    ::kill(pid_t(first.process.processId()), SIGCONT);
    QVERIFY(first.finished());
    QCOMPARE(first.status(), 0);
    QVERIFY(stopped(second.process.processId())); // it has read the master and holds the lock
    start(third, QStringLiteral("prx5m-mst"), importArgs(csv, 62), dir.path());
    QVERIFY2(!third.process.waitForFinished(1500), "the third wrote while the second held the lock");
    ::kill(pid_t(second.process.processId()), SIGCONT);
    QVERIFY(second.finished());
    QVERIFY(third.finished());
    QCOMPARE(second.status(), 0);
    QCOMPARE(third.status(), 0);
    for (int slot : {60, 61, 62}) {
        QVERIFY2(masterLine(csv, slot).startsWith(QStringLiteral("%1,%1,LED DOWNLIGHT").arg(slot)), qPrintable(masterLine(csv, slot)));
        QVERIFY(inIndex(dir.path(), slot));
    }
    QCOMPARE(entries(dir.path()), (QStringList{QStringLiteral("photometry"), QStringLiteral("syomei.csv")}));
}

void TestFileSets::longNamesMended_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("becomesNew");
    QTest::newRow("written beside it, killed: rolled back") << "set:written" << false;
    QTest::newRow("committed, killed: completed") << "set:committed" << true;
    QTest::newRow("the journal half-written, killed") << "file:written" << false;
}

void TestFileSets::longNamesMended()
{
    // A master whose name takes 250 of a name's 255 bytes: the temporary names beside it are cut
    // to fit, and whoever mends the set still knows them for the program's own.
    QFETCH(QString, step);
    QFETCH(bool, becomesNew);
    QTemporaryDir dir;
    const QString name = QString(82, QChar(0x7167)) + QStringLiteral(".csv"); // 照 × 82: 246 + 4 bytes
    QCOMPARE(QFile::encodeName(name).size(), 250);
    const QString csv = dir.filePath(name);
    TestEnv::writeBytes(csv, TestEnv::readBytes(source(QStringLiteral("data/masters/syomei.csv"))));
    const QByteArray old = TestEnv::readBytes(csv);
    Run killed;
    start(killed, QStringLiteral("prx5m-mst"), importArgs(csv, 60), dir.path(), step);
    QVERIFY(stopped(killed.process.processId()));
    const QStringList during = entries(dir.path());
    QVERIFY2(std::any_of(during.begin(), during.end(), [](const QString &e) { return e.startsWith(u'.'); }),
             qPrintable(during.join(u' ')));
    killed.process.kill();
    QVERIFY(killed.process.waitForFinished(10000));
    Run next;
    start(next, QStringLiteral("prx5m-mst"), importArgs(csv, 61), dir.path());
    QVERIFY(next.finished());
    const QString output = next.output();
    QVERIFY2(next.status() == 0, qPrintable(output));
    QCOMPARE(masterLine(csv, 60).startsWith(QStringLiteral("60,60,")), becomesNew);
    QVERIFY(masterLine(csv, 61).startsWith(QStringLiteral("61,61,")));
    QVERIFY(TestEnv::readBytes(csv) != old);
    QCOMPARE(entries(dir.path()), (QStringList{QStringLiteral("photometry"), name}));
}

void TestFileSets::killedAtEachStep_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("journalLeft"); // killed there, the set is half-way
    QTest::addColumn<bool>("becomesNew");  // mended: the import is complete (else as if never run)
    QTest::addColumn<QString>("mender");   // who opens the set next
    // Before every new file is written and synced, the set goes back; from then on, forward.
    QTest::newRow("locked, nothing read") << "set:locked" << false << false << "tool";
    QTest::newRow("journal half-written (its temporary file)") << "file:written" << false << false << "tool";
    QTest::newRow("journal written") << "set:prepared" << true << false << "tool";
    QTest::newRow("the journal's commit half-written") << "file:written#2" << true << false << "tool";
    QTest::newRow("new files written beside the old") << "set:written" << true << false << "tool";
    QTest::newRow("committed, nothing renamed") << "set:committed" << true << true << "tool";
    QTest::newRow("the master renamed, not the rest") << "set:renamed" << true << true << "tool";
    QTest::newRow("two of three renamed") << "set:renamed#2" << true << true << "tool";
    QTest::newRow("all renamed, old files aside") << "set:replaced" << true << true << "tool";
    QTest::newRow("old files gone, journal left") << "set:cleaned" << true << true << "tool";
    QTest::newRow("written, mended at the program's start") << "set:written" << true << false << "startup";
    QTest::newRow("one renamed, mended at the program's start") << "set:renamed" << true << true << "startup";
    QTest::newRow("one renamed, mended by the distribution") << "set:renamed" << true << true << "distribution";
    QTest::newRow("written, mended by the distribution") << "set:written" << true << false << "distribution";
    QTest::newRow("one renamed, mended by the emergency master's reader") << "set:renamed" << true << true << "emergency";
}

void TestFileSets::killedAtEachStep()
{
    QFETCH(QString, step);
    QFETCH(bool, journalLeft);
    QFETCH(bool, becomesNew);
    QFETCH(QString, mender);
    // What the imports give when nothing stops them, in a folder of their own.
    QTemporaryDir reference;
    const QString refCsv = masterFolder(reference);
    for (int slot : {59, 60}) {
        Run whole;
        start(whole, QStringLiteral("prx5m-mst"), importArgs(refCsv, slot), reference.path());
        QVERIFY(whole.finished());
        QCOMPARE(whole.status(), 0);
    }
    // An earlier import of slot 59, so that the index is replaced, not made.
    QTemporaryDir dir;
    const QString csv = masterFolder(dir);
    Run earlier;
    start(earlier, QStringLiteral("prx5m-mst"), importArgs(csv, 59), dir.path());
    QVERIFY(earlier.finished());
    QCOMPARE(earlier.status(), 0);
    const QByteArray oldMaster = TestEnv::readBytes(csv);
    const QByteArray oldIndex = TestEnv::readBytes(dir.filePath(QStringLiteral("photometry/index.csv")));
    Run killed;
    start(killed, QStringLiteral("prx5m-mst"), importArgs(csv, 60), dir.path(), step);
    QVERIFY(stopped(killed.process.processId()));
    killed.process.kill();
    QVERIFY(killed.process.waitForFinished(10000));
    QCOMPARE(QFile::exists(dir.filePath(FileSet::kJournalName)), journalLeft);

    if (mender == u"tool") {
        Run next; // another slot: the set is mended first, then this import goes on it
        start(next, QStringLiteral("prx5m-mst"), importArgs(csv, 62), dir.path());
        QVERIFY(next.finished());
        QCOMPARE(next.status(), 0);
        QVERIFY(inIndex(dir.path(), 62));
        QVERIFY(masterLine(csv, 62).startsWith(QStringLiteral("62,62,")));
    } else if (mender == u"startup") {
        AppContext context;
        QString error;
        Startup::prepare(context, dir.path(), dir.filePath(QStringLiteral("work")), &error); // no .mst here: fails after
    } else if (mender == u"emergency") {
        EmergencyMaster::Master master;
        QString error;
        EmergencyMaster::load(dir.path(), &master, &error); // no hijou.csv here: nothing else read
    } else {
        RoomDistribution::computeAll(RecordGrid(kRows, kColumns), MasterTables(), dir.path());
    }
    QVERIFY(!QFile::exists(dir.filePath(FileSet::kJournalName)));
    // All old or all new: the master's slot, the index's line and the kept file agree.
    if (becomesNew)
        QCOMPARE(masterLine(csv, 60), masterLine(refCsv, 60));
    else
        QVERIFY2(masterLine(csv, 60).section(u',', 1).isEmpty(), qPrintable(masterLine(csv, 60))); // an empty slot
    QCOMPARE(inIndex(dir.path(), 60), becomesNew);
    QCOMPARE(TestEnv::readBytes(dir.filePath(QStringLiteral("photometry/60.ies"))),
             becomesNew ? TestEnv::readBytes(source(kIes)) : QByteArray());
    if (mender != u"tool") {
        QCOMPARE(TestEnv::readBytes(csv), becomesNew ? TestEnv::readBytes(refCsv) : oldMaster);
        if (!becomesNew)
            QCOMPARE(TestEnv::readBytes(dir.filePath(QStringLiteral("photometry/index.csv"))), oldIndex);
    }
    QVERIFY(inIndex(dir.path(), 59));
    // Nothing stray: no temporary file, no old file aside, no journal, no lock.
    QStringList expected{QStringLiteral("photometry"), QStringLiteral("syomei.csv")};
    if (mender == u"startup")
        expected.append(QStringLiteral("work"));
    QStringList got = entries(dir.path());
    got.removeAll(QStringLiteral("work"));
    expected.removeAll(QStringLiteral("work"));
    QCOMPARE(got, expected);
    QStringList kept{QStringLiteral("59.ies"), QStringLiteral("index.csv")};
    if (becomesNew)
        kept.append(QStringLiteral("60.ies"));
    if (mender == u"tool")
        kept.append(QStringLiteral("62.ies"));
    kept.sort();
    QCOMPARE(entries(dir.filePath(QStringLiteral("photometry"))), kept);
}

void TestFileSets::outputFolderKilledAtEachStep_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("becomesNew"); // what the folder holds right after the kill
    QTest::addColumn<bool>("userFile");   // a file of the user's in the folder: file by file
    QTest::newRow("new set written beside the folder") << "folder:written" << false << false;
    QTest::newRow("exchanged, the old set not yet removed") << "folder:exchanged" << true << false;
    QTest::newRow("a file of the user's there: one file renamed") << "set:renamed" << false << true;
}

void TestFileSets::outputFolderKilledAtEachStep()
{
    QFETCH(QString, step);
    QFETCH(bool, becomesNew);
    QFETCH(bool, userFile);
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out"));
    const QString a = workFile(dir.filePath(QStringLiteral("a.syw")), QStringLiteral("甲"), 3);
    const QString b = workFile(dir.filePath(QStringLiteral("b.syw")), QStringLiteral("乙"), 2);
    Run earlier;
    start(earlier, QStringLiteral("prx5m"), {QStringLiteral("--distribution-csv"), QStringLiteral("--interreflection"), QStringLiteral("uniform"), a, out}, dir.path());
    QVERIFY(earlier.finished());
    QCOMPARE(earlier.status(), 0);
    if (userFile)
        TestEnv::writeBytes(QDir(out).filePath(QStringLiteral("memo.txt")), "the user's memo\n");
    const QMap<QString, QByteArray> old = snapshot(out);
    Run killed;
    start(killed, QStringLiteral("prx5m"), {QStringLiteral("--distribution-csv"), QStringLiteral("--interreflection"), QStringLiteral("uniform"), b, out}, dir.path(), step);
    QVERIFY(stopped(killed.process.processId()));
    // A reader meanwhile: every file of the folder from one run.
    const QString seen = roomNames(out);
    const QSet<QString> rows = rowsOf(QDir(out).filePath(QStringLiteral("points.csv")));
    killed.process.kill();
    QVERIFY(killed.process.waitForFinished(10000));
    if (!userFile) {
        QCOMPARE(seen, becomesNew ? QStringLiteral("乙1 乙2") : QStringLiteral("甲1 甲2 甲3"));
        QCOMPARE(rows.size(), becomesNew ? 2 : 3);
        QCOMPARE(rowsOf(QDir(out).filePath(QStringLiteral("luminaires.csv"))), rows);
        if (!becomesNew) {
            QMap<QString, QByteArray> now = snapshot(out);
            now.remove(FileSet::kLockName);
            QCOMPARE(now, old);
        }
    }
    // The next run mends what was left (a folder beside, a journal) and writes its own set.
    Run next;
    start(next, QStringLiteral("prx5m"), {QStringLiteral("--distribution-csv"), QStringLiteral("--interreflection"), QStringLiteral("uniform"), a, out}, dir.path());
    QVERIFY(next.finished());
    QCOMPARE(next.status(), 0);
    QCOMPARE(roomNames(out), QStringLiteral("甲1 甲2 甲3"));
    QStringList expected{"luminaires.csv", "points.csv", "rooms.csv", "surfaces.csv", "ugr.csv"};
    if (userFile)
        expected.append(QStringLiteral("memo.txt"));
    expected.sort();
    QCOMPARE(entries(out), expected);
    QCOMPARE(entries(dir.path()), (QStringList{"a.syw", "b.syw", "out"}));
}

void TestFileSets::plantedJournalsTouchNothing_data()
{
    // A journal someone left in the folder: HOME is the folder's path, ELSE the other folder's.
    // Each would delete or replace a file it has no business with if it were followed.
    QTest::addColumn<QString>("where");   // master (an import into it) or out (a distribution's CSV)
    QTest::addColumn<QString>("journal");
    QTest::addColumn<QString>("message"); // "" when it is a journal of the program's own, mended
    const QString outside = QStringLiteral("フォルダの外を指しています");
    const QString foreign = QStringLiteral("組のものでないファイルを指しています");
    const QString names = "file syomei.csv .syomei.csv.abc123.prx5m-new -\n";
    QTest::newRow("rollback of ../victim.txt (would delete it)")
        << "master" << "prx5m-set 2\nstate rollback\nfile ../victim.txt .victim.txt.abc123.prx5m-new -\nend\n" << outside;
    QTest::newRow("rollback of an absolute path")
        << "master" << "prx5m-set 2\nstate rollback\nfile ELSE/victim.txt .victim.txt.abc123.prx5m-new -\nend\n" << outside;
    QTest::newRow("an earlier version's journal naming a file elsewhere")
        << "master" << "prx5m-set 1\nstate rollback\nfile ELSE/victim.txt ELSE/.victim.txt.abc123.prx5m-new -\nend\n" << outside;
    QTest::newRow("commit renaming the user's file over the master")
        << "master" << "prx5m-set 2\nstate commit\nfile syomei.csv notes.txt -\nend\n" << foreign;
    QTest::newRow("prepare deleting the user's file as a temporary one")
        << "master" << "prx5m-set 2\nstate prepare\nfile syomei.csv ../victim.txt -\nend\n" << outside;
    QTest::newRow("rollback of a file of the user's in the folder")
        << "master" << "prx5m-set 2\nstate rollback\nfile notes.txt .notes.txt.abc123.prx5m-new -\nend\n" << foreign;
    QTest::newRow("old file aside named as the user's")
        << "master" << "prx5m-set 2\nstate commit\nfile syomei.csv .syomei.csv.abc123.prx5m-new notes.txt\nend\n" << foreign;
    QTest::newRow("a folder to remove outside")
        << "master" << "prx5m-set 2\nstate rollback\nfolder ../victims\n" + names + "end\n" << outside;
    QTest::newRow("through photometry/.. to the folder above")
        << "master" << "prx5m-set 2\nstate rollback\nfile photometry/../../victim.txt .v.abc123.prx5m-new -\nend\n" << outside;
    QTest::newRow("the distribution's folder: rollback of ../victim.txt")
        << "out" << "prx5m-set 2\nstate rollback\nfile ../victim.txt .victim.txt.abc123.prx5m-new -\nend\n" << outside;
    QTest::newRow("the distribution's folder: the user's notes.txt")
        << "out" << "prx5m-set 2\nstate rollback\nfile notes.txt .notes.txt.abc123.prx5m-new -\nend\n" << foreign;
    QTest::newRow("written by another user") << "master" << "OTHER" << QStringLiteral("ほかのユーザーが書いた記録です");
    QTest::newRow("a second name of a file of the user's") << "master" << "LINKED"
                                                          << QStringLiteral("ほかの名前があるか、だれでも書き換えられる記録です");
    QTest::newRow("a link to a file elsewhere") << "master" << "SYMLINK" << QStringLiteral("通常のファイルとして読めません");
    // What the program wrote itself is still followed: an earlier version's whole paths inside
    // the folder, rolled back (the new file it had begun removed).
    QTest::newRow("an earlier version's own journal, inside the folder")
        << "master" << "prx5m-set 1\nstate rollback\nfile HOME/syomei.csv HOME/.syomei.csv.abc123.prx5m-new -\nend\n"
        << QString();
}

void TestFileSets::plantedJournalsTouchNothing()
{
    QFETCH(QString, where);
    QFETCH(QString, journal);
    QFETCH(QString, message);
    QTemporaryDir top, elsewhere;
    // The folder sits in a folder of the user's; a folder elsewhere holds more of the user's files.
    const QString home = top.filePath(where == u"out" ? QStringLiteral("out") : QStringLiteral("master"));
    QVERIFY(QDir().mkpath(home));
    const QString csv = QDir(home).filePath(QStringLiteral("syomei.csv"));
    TestEnv::writeBytes(csv, TestEnv::readBytes(source(QStringLiteral("data/masters/syomei.csv"))));
    TestEnv::writeBytes(QDir(home).filePath(QStringLiteral("notes.txt")), "the user's notes\n");
    TestEnv::writeBytes(top.filePath(QStringLiteral("victim.txt")), "the user's file above\n");
    QVERIFY(QDir().mkpath(top.filePath(QStringLiteral("victims"))));
    TestEnv::writeBytes(elsewhere.filePath(QStringLiteral("victim.txt")), "the user's file elsewhere\n");
    TestEnv::writeBytes(QDir(home).filePath(QStringLiteral(".syomei.csv.abc123.prx5m-new")), "a half-written master\n");
    const bool special = journal == u"OTHER" || journal == u"LINKED" || journal == u"SYMLINK";
    QString text = special ? QStringLiteral("prx5m-set 2\nstate rollback\n%1end\n").arg(QStringLiteral(
                                 "file syomei.csv .syomei.csv.abc123.prx5m-new -\n"))
                           : journal;
    text.replace(QStringLiteral("HOME"), QFileInfo(home).absoluteFilePath());
    text.replace(QStringLiteral("ELSE"), QFileInfo(elsewhere.path()).absoluteFilePath());
    const QString journalPath = QDir(home).filePath(FileSet::kJournalName);
    if (journal == u"LINKED") {
        // The journal's text in a file of the user's, given the journal's name as a second name.
        TestEnv::writeBytes(QDir(home).filePath(QStringLiteral("draft.txt")), text.toUtf8());
        QVERIFY(::link(QFile::encodeName(QDir(home).filePath(QStringLiteral("draft.txt"))).constData(),
                       QFile::encodeName(journalPath).constData()) == 0);
    } else if (journal == u"SYMLINK") {
        TestEnv::writeBytes(elsewhere.filePath(QStringLiteral("journal.txt")), text.toUtf8());
        QVERIFY(QFile::link(elsewhere.filePath(QStringLiteral("journal.txt")), journalPath));
    } else {
        TestEnv::writeBytes(journalPath, text.toUtf8());
    }
    if (journal == u"OTHER") {
        if (::geteuid() != 0)
            QSKIP("a file of another user can only be made as root");
        QCOMPARE(::chown(QFile::encodeName(journalPath).constData(), 65534, 65534), 0);
    }
    const QMap<QString, QByteArray> before = snapshot(top.path()), beforeElsewhere = snapshot(elsewhere.path());

    Run run;
    if (where == u"out")
        start(run, QStringLiteral("prx5m"),
              {QStringLiteral("--distribution-csv"), workFile(elsewhere.filePath(QStringLiteral("w.syw")), QStringLiteral("室"), 2),
               home},
              top.path());
    else
        start(run, QStringLiteral("prx5m-mst"), importArgs(csv, 60), top.path());
    QVERIFY(run.finished());
    const QString output = run.output();
    if (message.isEmpty()) {
        // Mended, then the import went on: the half-written file gone, the slot written.
        QVERIFY2(run.status() == 0, qPrintable(output));
        QVERIFY(!QFile::exists(journalPath));
        QVERIFY(!QFile::exists(QDir(home).filePath(QStringLiteral(".syomei.csv.abc123.prx5m-new"))));
        QVERIFY(masterLine(csv, 60).startsWith(QStringLiteral("60,60,")));
        return;
    }
    QVERIFY2(run.status() != 0, qPrintable(output));
    QVERIFY2(output.contains(QStringLiteral("作業記録 .prx5m-set.journal が不正です")) && output.contains(message),
             qPrintable(output));
    // Nothing touched, here or anywhere: every file byte for byte, none gone, none new.
    QCOMPARE(snapshot(top.path()), before);
    if (where == u"out") {
        QMap<QString, QByteArray> after = snapshot(elsewhere.path());
        after.remove(QStringLiteral("w.syw")); // the work file the run read, made after the snapshot
        QMap<QString, QByteArray> was = beforeElsewhere;
        QCOMPARE(after, was);
    } else {
        QCOMPARE(snapshot(elsewhere.path()), beforeElsewhere);
    }
}

void TestFileSets::foldersBesideAreTheProgramsOnly()
{
    // Beside the output folder "outside": what a killed run left (its lock there, free: removed),
    // the folder "out"'s (its name a part of this one's: kept), a folder of the user's under the
    // program's kind of name but without the lock the program always makes (kept), a run's folder
    // at work (its lock held: kept).
    QTemporaryDir top;
    const QString out = top.filePath(QStringLiteral("outside"));
    const auto plant = [&](const QString &name, bool lock) {
        const QString f = top.filePath(name);
        QDir().mkpath(f);
        TestEnv::writeBytes(QDir(f).filePath(QStringLiteral("rooms.csv")), "row,name\r\n1," + name.toUtf8() + "\r\n");
        if (lock)
            TestEnv::writeBytes(QDir(f).filePath(FileSet::kLockName), QByteArray());
        return f;
    };
    plant(QStringLiteral(".outside.Killed.prx5m-dir"), true);
    const QString other = plant(QStringLiteral(".out.abc123.prx5m-dir"), true);
    const QString users = plant(QStringLiteral(".outside.abc123.prx5m-dir"), false);
    const QString busy = plant(QStringLiteral(".outside.Busy12.prx5m-dir"), true);
    const int held = ::open(QFile::encodeName(QDir(busy).filePath(FileSet::kLockName)).constData(), O_RDONLY);
    QVERIFY(held >= 0 && ::flock(held, LOCK_EX) == 0);
    const QMap<QString, QByteArray> kept[] = {snapshot(other), snapshot(users), snapshot(busy)};
    Run run;
    start(run, QStringLiteral("prx5m"),
          {QStringLiteral("--distribution-csv"), QStringLiteral("--interreflection"), QStringLiteral("uniform"),
           workFile(top.filePath(QStringLiteral("w.syw")), QStringLiteral("室"), 2), out},
          top.path());
    QVERIFY(run.finished());
    ::close(held);
    QVERIFY2(run.status() == 0, qPrintable(run.output()));
    QVERIFY(!QFileInfo::exists(top.filePath(QStringLiteral(".outside.Killed.prx5m-dir"))));
    QCOMPARE(snapshot(other), kept[0]);
    QCOMPARE(snapshot(users), kept[1]);
    QCOMPARE(snapshot(busy), kept[2]);
    QCOMPARE(roomNames(out), QStringLiteral("室1 室2"));
}

void TestFileSets::outputFolderWithAnAccessList()
{
    // A folder with a default access list of its own: a new folder in its place would lose it, so
    // its files are replaced one by one, and the run says why.
    QTemporaryDir top;
    const QString out = top.filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(out));
    QByteArray acl; // version 2; user rwx, group r-x, other r-x
    const auto put = [&acl](quint32 v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            acl.append(char((v >> (8 * i)) & 0xFF));
    };
    put(2, 4);
    for (const auto &[tag, perm] : {std::pair{0x01u, 7u}, {0x04u, 5u}, {0x20u, 5u}}) {
        put(tag, 2);
        put(perm, 2);
        put(0xFFFFFFFF, 4);
    }
    if (::setxattr(QFile::encodeName(out).constData(), "system.posix_acl_default", acl.constData(), size_t(acl.size()), 0) != 0)
        QSKIP("this file system keeps no access lists");
    Run run;
    start(run, QStringLiteral("prx5m"),
          {QStringLiteral("--distribution-csv"), QStringLiteral("--interreflection"), QStringLiteral("uniform"),
           workFile(top.filePath(QStringLiteral("w.syw")), QStringLiteral("室"), 2), out},
          top.path());
    QVERIFY(run.finished());
    const QString output = run.output();
    QVERIFY2(run.status() == 0, qPrintable(output));
    QVERIFY2(output.contains(QStringLiteral("フォルダにアクセス権の設定（ACL）があるため、ファイルを一つずつ置き換えました")),
             qPrintable(output));
    QVERIFY(::getxattr(QFile::encodeName(out).constData(), "system.posix_acl_default", nullptr, 0) > 0);
    QCOMPARE(roomNames(out), QStringLiteral("室1 室2"));
    QCOMPARE(entries(top.path()), (QStringList{"out", "w.syw"}));
}

void TestFileSets::specialFilesInTheSet_data()
{
    QTest::addColumn<QString>("where");   // the file of the set planted
    QTest::addColumn<QString>("kind");    // fifo, folder, device (a link to /dev/zero)
    QTest::addColumn<QString>("message");
    const QString fifo = QStringLiteral("通常のファイルではありません（名前付きパイプ）");
    const QString folder = QStringLiteral("通常のファイルではありません（フォルダ）");
    const QString device = QStringLiteral("通常のファイルではありません（デバイス）");
    QTest::newRow("photometry/60.ies a FIFO") << "photometry/60.ies" << "fifo" << fifo;
    QTest::newRow("photometry/index.csv a FIFO") << "photometry/index.csv" << "fifo" << fifo;
    QTest::newRow("photometry/index.csv a folder") << "photometry/index.csv" << "folder" << folder;
    QTest::newRow("the --into CSV a FIFO") << "syomei.csv" << "fifo" << fifo;
    QTest::newRow("the --into CSV linked to /dev/zero") << "syomei.csv" << "device" << device;
    QTest::newRow("OUT/points.csv a FIFO") << "out/points.csv" << "fifo" << fifo;
    QTest::newRow("OUT/rooms.csv a folder") << "out/rooms.csv" << "folder" << folder;
    QTest::newRow("OUT/rooms.csv linked to /dev/zero") << "out/rooms.csv" << "device" << device;
    QTest::newRow("photometry/60.ies kept for the distribution, a FIFO") << "program/photometry/1.ies" << "fifo" << fifo;
    QTest::newRow("photometry/index.csv beside the program, a FIFO") << "program/photometry/index.csv" << "fifo" << fifo;
}

void TestFileSets::specialFilesInTheSet()
{
    QFETCH(QString, where);
    QFETCH(QString, kind);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString csv = masterFolder(dir);
    const bool program = where.startsWith(QStringLiteral("program/"));
    const QString programPhotometry = m_program.filePath(QStringLiteral("photometry"));
    QDir(programPhotometry).removeRecursively();
    QVERIFY(QDir().mkpath(programPhotometry));
    if (program) {
        // The sample index and files beside the copy of the program.
        const QString built = QDir(TestEnv::buildDir()).filePath(QStringLiteral("photometry"));
        for (const QString &name : QDir(built).entryList(QDir::Files))
            QVERIFY(QFile::copy(QDir(built).filePath(name), QDir(programPhotometry).filePath(name)));
    }
    const QByteArray master = TestEnv::readBytes(csv);
    const QString planted = program ? m_program.filePath(where.mid(8)) : dir.filePath(where);
    QVERIFY(QDir().mkpath(QFileInfo(planted).absolutePath()));
    QFile::remove(planted);
    if (kind == u"fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(planted).constData(), 0600), 0);
    else if (kind == u"folder")
        QVERIFY(QDir().mkdir(planted));
    else
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), planted));
    Run run;
    if (where.startsWith(QStringLiteral("out/")) || program) {
        const QString work = workFile(dir.filePath(QStringLiteral("w.syw")), QStringLiteral("室"), 3);
        run.process.setProcessEnvironment(plainEnvironment(dir.path()));
        run.process.start(m_program.filePath(QStringLiteral("prx5m")),
                          {QStringLiteral("--distribution-csv"), work, dir.filePath(QStringLiteral("out"))});
    } else {
        start(run, QStringLiteral("prx5m-mst"), importArgs(csv, 60), dir.path(), {}, {}, rlim_t(1) << 30);
    }
    QVERIFY2(run.finished(), "hung on the planted file");
    const QString output = run.output();
    QVERIFY2(output.contains(message), qPrintable(output));
    if (program) {
        // A room whose file cannot be read is listed without figures, the others computed.
        QCOMPARE(run.status(), 0);
    } else {
        QVERIFY(run.status() != 0);
        QCOMPARE(run.status() == 4, where.startsWith(QStringLiteral("out/")));
    }
    // The planted file is as it was, and nothing else changed.
    QVERIFY(QFileInfo(planted).exists() || QFileInfo(planted).isSymLink());
    QVERIFY(!QFileInfo(planted).isFile() || QFileInfo(planted).isSymLink());
    if (where != u"syomei.csv")
        QCOMPARE(TestEnv::readBytes(csv), master);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("photometry/60.ies"))) || where == u"photometry/60.ies");
    QVERIFY(!QFile::exists(dir.filePath(FileSet::kJournalName)));
    QVERIFY(!QFile::exists(dir.filePath(FileSet::kLockName)));
}

void TestFileSets::linksInTheProgramsFolder_data()
{
    QTest::addColumn<QString>("link");   // in the folder beside the master
    QTest::addColumn<QString>("target"); // where it points
    QTest::newRow("photometry/60.ies to a file elsewhere") << "photometry/60.ies" << "elsewhere.ies";
    QTest::newRow("photometry/60.ies dangling") << "photometry/60.ies" << "missing.ies";
    QTest::newRow("photometry/index.csv to a file elsewhere") << "photometry/index.csv" << "elsewhere.csv";
    QTest::newRow("photometry itself to a folder elsewhere") << "photometry" << "elsewhere";
}

void TestFileSets::linksInTheProgramsFolder()
{
    QFETCH(QString, link);
    QFETCH(QString, target);
    QTemporaryDir dir, other;
    const QString csv = masterFolder(dir);
    const QString elsewhere = other.filePath(target);
    const bool folder = !target.contains(u'.');
    const QByteArray bait("a file of the user's\n");
    if (folder)
        QVERIFY(QDir().mkpath(elsewhere));
    else if (!target.startsWith(QStringLiteral("missing")))
        TestEnv::writeBytes(elsewhere, bait);
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("photometry"))) || folder);
    if (folder)
        QDir(dir.filePath(QStringLiteral("photometry"))).removeRecursively();
    QVERIFY(QFile::link(elsewhere, dir.filePath(link)));
    const QByteArray master = TestEnv::readBytes(csv);
    Run run;
    start(run, QStringLiteral("prx5m-mst"), importArgs(csv, 60), dir.path());
    QVERIFY(run.finished());
    const QString output = run.output();
    QCOMPARE(run.status(), 1);
    QVERIFY2(output.contains(QStringLiteral("シンボリックリンク")) && output.contains(QDir::toNativeSeparators(dir.filePath(link))),
             qPrintable(output));
    // Nothing written through it, nothing changed here.
    QCOMPARE(TestEnv::readBytes(csv), master);
    QVERIFY(QFileInfo(dir.filePath(link)).isSymLink());
    if (folder)
        QCOMPARE(entries(elsewhere), QStringList());
    else
        QCOMPARE(TestEnv::readBytes(elsewhere), target.startsWith(QStringLiteral("missing")) ? QByteArray() : bait);
    // The distribution does not take a planted link for the slot's file either.
    if (link == u"photometry/60.ies") {
        TestEnv::writeBytes(elsewhere, TestEnv::readBytes(source(kIes)));
        TestEnv::writeBytes(dir.filePath(QStringLiteral("photometry/index.csv")), "slot,name,file\r\n60,LED DOWNLIGHT 2000,60.ies\r\n");
        const QString kept = LuminaireImport::keptFile(dir.path(), 60, QStringLiteral("LED DOWNLIGHT 2000"));
        Photometry p;
        QString error;
        QVERIFY(!PhotometryReader::readFile(kept, &p, &error, nullptr, true));
        QVERIFY2(error.contains(QStringLiteral("シンボリックリンク")), qPrintable(error));
    }
}

void TestFileSets::hugeOldFilesAreNotRead_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<qint64>("size"); // a sparse file of this size
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message"); // "" when it is replaced
    // Under a cap of 1 GiB of address space: reading one of these whole would fail or abort.
    QTest::newRow("a 2 GB index.csv: refused as too large") << "photometry/index.csv" << qint64(2) * 1000 * 1000 * 1000 << 1
                                                           << QStringLiteral("大きすぎます");
    QTest::newRow("a 3 GB old points.csv: replaced, not read")
        << "out/points.csv" << qint64(3) * 1000 * 1000 * 1000 << 0 << QString();
    QTest::newRow("a 3 GB old photometry/60.ies: replaced, not read")
        << "photometry/60.ies" << qint64(3) * 1000 * 1000 * 1000 << 0 << QString();
    QTest::newRow("a 2 GB --into CSV: refused as too large") << "syomei.csv" << qint64(2) * 1000 * 1000 * 1000 << 1
                                                            << QStringLiteral("大きすぎます");
}

void TestFileSets::hugeOldFilesAreNotRead()
{
    QFETCH(QString, where);
    QFETCH(qint64, size);
    QFETCH(int, status);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString csv = masterFolder(dir);
    const QString huge = dir.filePath(where);
    QVERIFY(QDir().mkpath(QFileInfo(huge).absolutePath()));
    {
        QFile f(huge);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(size)); // sparse: no disk taken
    }
    Run run;
    const rlim_t cap = rlim_t(1) << 30;
    if (where.startsWith(QStringLiteral("out/")))
        start(run, QStringLiteral("prx5m"),
              {QStringLiteral("--distribution-csv"), workFile(dir.filePath(QStringLiteral("w.syw")), QStringLiteral("室"), 2),
               dir.filePath(QStringLiteral("out"))},
              dir.path(), {}, {}, cap);
    else
        start(run, QStringLiteral("prx5m-mst"), importArgs(csv, 60), dir.path(), {}, {}, cap);
    QVERIFY2(run.finished(), "took the huge file in");
    const QString output = run.output();
    QVERIFY2(run.status() == status, qPrintable(output));
    if (!message.isEmpty()) {
        QVERIFY2(output.contains(message), qPrintable(output));
        QCOMPARE(QFileInfo(huge).size(), size);
    } else {
        QVERIFY(QFileInfo(huge).size() < 10 * 1024 * 1024);
        QStringList left = entries(QFileInfo(huge).absolutePath());
        QVERIFY2(left.filter(QStringLiteral("prx5m")).isEmpty(), qPrintable(left.join(u' ')));
    }
}

void TestFileSets::importSourceSaysWhatItIs_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("a FIFO") << "fifo" << QStringLiteral("通常のファイルではありません（名前付きパイプ）");
    QTest::newRow("a folder") << "folder" << QStringLiteral("通常のファイルではありません（フォルダ）");
    QTest::newRow("a device") << "device" << QStringLiteral("通常のファイルではありません（デバイス）");
    QTest::newRow("missing") << "missing" << QStringLiteral("ファイルがありません");
}

void TestFileSets::importSourceSaysWhatItIs()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("source.ies"));
    if (kind == u"fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (kind == u"folder")
        QVERIFY(QDir().mkdir(path));
    else if (kind == u"device")
        path = QStringLiteral("/dev/null");
    Run run;
    start(run, QStringLiteral("prx5m-mst"), {QStringLiteral("photometry"), path}, dir.path());
    QVERIFY2(run.finished(), "waited on the source");
    const QString output = run.output();
    QCOMPARE(run.status(), 1);
    QVERIFY2(output.contains(message), qPrintable(output));
    if (kind != u"missing")
        QVERIFY2(!output.contains(QStringLiteral("ファイルがありません")), qPrintable(output));
}

void TestFileSets::curveOnlyAfterTheMaster_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("masterNew");
    QTest::addColumn<bool>("strayLeft");
    // The curve is drawn only once the master's set is committed: a new curve never stands beside
    // the old master.
    QTest::newRow("killed before the commit") << "set:written" << false << false;
    QTest::newRow("killed after the commit") << "set:replaced" << true << false;
    QTest::newRow("killed writing the curve") << "file:written#3" << true << true;
}

void TestFileSets::curveOnlyAfterTheMaster()
{
    QFETCH(QString, step);
    QFETCH(bool, masterNew);
    QFETCH(bool, strayLeft);
    QTemporaryDir dir;
    const QString csv = masterFolder(dir);
    const QString curve = dir.filePath(QStringLiteral("curve.png"));
    const QByteArray earlier("an earlier curve");
    TestEnv::writeBytes(curve, earlier);
    const QStringList args = importArgs(csv, 60) + QStringList{QStringLiteral("--plot"), curve};
    Run killed;
    start(killed, QStringLiteral("prx5m-mst"), args, dir.path(), step);
    QVERIFY(stopped(killed.process.processId()));
    killed.process.kill();
    QVERIFY(killed.process.waitForFinished(10000));
    QCOMPARE(TestEnv::readBytes(curve), earlier);
    const auto strays = [&] {
        return QDir(dir.path()).entryList({QStringLiteral(".curve.png.*.tmp")}, QDir::Files | QDir::Hidden);
    };
    QCOMPARE(!strays().isEmpty(), strayLeft);
    // The next run mends the set, removes what the stopped curve's write left, and draws anew.
    Run next;
    start(next, QStringLiteral("prx5m-mst"), importArgs(csv, 62) + QStringList{QStringLiteral("--plot"), curve}, dir.path());
    QVERIFY(next.finished());
    QCOMPARE(next.status(), 0);
    QVERIFY(strays().isEmpty());
    QVERIFY(TestEnv::readBytes(curve).startsWith("\x89PNG"));
    QCOMPARE(masterLine(csv, 60).startsWith(QStringLiteral("60,60,")), masterNew);
}

QTEST_GUILESS_MAIN(TestFileSets)
#include "tst_file_sets.moc"
