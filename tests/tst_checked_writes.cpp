// Every file the program writes, written while the disk fails: the failure is reported, nothing
// claims success, and the previous file keeps its bytes. The failures are made to happen by the
// preload library (a write, the sync, the close or the rename fails), by a full tmpfs where one can be
// mounted, and by targets that are no regular files.
#include "grid/WorkFile.h"
#include "illuminance/IlluminancePrintTable.h"
#include "illuminance/RoomRecord.h"
#include "io/CheckedFile.h"
#include "report/BatchStatus.h"
#include "support/FaultInjection.h"
#include "support/PdfTools.h"
#include "support/SheetFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/mount.h>
#include <sys/xattr.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstring>

using namespace RoomRecord;

namespace {

// A sheet of `rooms` rooms whose names start with `prefix`.
RecordGrid sheetOf(const QString &prefix, int rooms)
{
    RecordGrid g(kRows, kColumns);
    for (int r = 1; r <= rooms; ++r) {
        g.setText(r, InUse, QStringLiteral("1"));
        g.setText(r, RoomName1, QStringLiteral("%1%2").arg(prefix).arg(r));
        g.setText(r, LuminaireType, QStringLiteral("FHF32 埋込下面開放"));
        g.setText(r, Area, QStringLiteral("24.0"));
    }
    return g;
}

QStringList leftovers(const QString &folder, const QString &keep)
{
    QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    files.removeAll(keep);
    return files;
}

// The four places a write can fail, with both errors a disk gives.
void addFaultRows(qint64 middle)
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("error");
    for (const QString &error : {QStringLiteral("ENOSPC"), QStringLiteral("EIO")}) {
        QTest::addRow("first write, %s", qPrintable(error)) << QStringLiteral("write:0") << error;
        QTest::addRow("middle, %s", qPrintable(error)) << QStringLiteral("write:%1").arg(middle) << error;
        QTest::addRow("sync, %s", qPrintable(error)) << QStringLiteral("fsync") << error;
        QTest::addRow("rename, %s", qPrintable(error)) << QStringLiteral("rename") << error;
        QTest::addRow("close, %s", qPrintable(error)) << QStringLiteral("close") << error;
    }
}

} // namespace

class TestCheckedWrites : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup() { FaultInjection::clear(); }

    void checkedWrite_data() { addFaultRows(5000); }
    void checkedWrite();
    void workFileSave_data() { addFaultRows(6000); }
    void workFileSave();
    void sheetSaveTellsTheUser_data() { addFaultRows(6000); }
    void sheetSaveTellsTheUser();
    void printTableKeepsThePrevious_data();
    void printTableKeepsThePrevious();
    void notRegularTargets_data();
    void notRegularTargets();
    void batchPdf_data();
    void batchPdf();
    void batchPdfIntoFifo();
    void masterTool_data();
    void masterTool();
    void photometryTool_data();
    void photometryTool();
    void distributionCsvSet_data();
    void distributionCsvSet();
    void fullDisk();
    void fileIdentityKept_data();
    void fileIdentityKept();
    void ownerThatCannotBeGivenWritesInPlace();
    void batchRunsSideBySide();
};

namespace {

// An access control list as Linux keeps it in "system.posix_acl_access": version 2, then
// (tag, permissions, id) entries.
QByteArray acl(const QList<std::array<quint32, 3>> &entries)
{
    QByteArray out;
    const auto put = [&out](quint32 v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.append(char((v >> (8 * i)) & 0xFF));
    };
    put(2, 4);
    for (const auto &e : entries) {
        put(e[0], 2);
        put(e[1], 2);
        put(e[2], 4);
    }
    return out;
}

// user rw-, user 12345 r--, group r--, mask r--, other ---.
QByteArray namedUserAcl()
{
    return acl({{0x01, 6, 0xFFFFFFFF}, {0x02, 4, 12345}, {0x04, 4, 0xFFFFFFFF}, {0x10, 4, 0xFFFFFFFF}, {0x20, 0, 0xFFFFFFFF}});
}

QByteArray attribute(const QString &path, const char *name)
{
    const QByteArray p = QFile::encodeName(path);
    QByteArray value(4096, '\0');
    const ssize_t n = ::getxattr(p.constData(), name, value.data(), size_t(value.size()));
    return n < 0 ? QByteArray() : value.left(n);
}

bool setAttribute(const QString &path, const char *name, const QByteArray &value)
{
    return ::setxattr(QFile::encodeName(path).constData(), name, value.constData(), size_t(value.size()), 0) == 0;
}

struct stat statOf(const QString &path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

} // namespace

void TestCheckedWrites::initTestCase()
{
    QVERIFY2(FaultInjection::loadedHere(), "run under ctest: the fault library must be preloaded");
    QVERIFY(QFile::exists(FaultInjection::library()));
}

void TestCheckedWrites::checkedWrite()
{
    QFETCH(QString, fault);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.bin"));
    const QByteArray old(9000, 'o');
    QString why;
    QVERIFY(CheckedFile::write(path, old, &why));
    FaultInjection::set(fault, QStringLiteral("data.bin"), error);
    QVERIFY(!CheckedFile::write(path, QByteArray(12000, 'n'), &why));
    FaultInjection::clear();
    QVERIFY(!why.isEmpty());
    QVERIFY2(why.contains(error == u"EIO" ? QStringLiteral("入出力") : QStringLiteral("空き容量")), qPrintable(why));
    QCOMPARE(TestEnv::readBytes(path), old);
    QCOMPARE(leftovers(dir.path(), QStringLiteral("data.bin")), QStringList());
    // And without the fault the same write goes through.
    QVERIFY(CheckedFile::write(path, QByteArray(12000, 'n'), &why));
    QCOMPARE(TestEnv::readBytes(path), QByteArray(12000, 'n'));
}

void TestCheckedWrites::workFileSave()
{
    QFETCH(QString, fault);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("office.syw"));
    QVERIFY(WorkFile::save(sheetOf(QStringLiteral("旧"), 3), path));
    const QByteArray old = TestEnv::readBytes(path);
    FaultInjection::set(fault, QStringLiteral("office.syw"), error);
    WorkFile::Error kind = WorkFile::Error::None;
    QString reason;
    QVERIFY(!WorkFile::save(sheetOf(QStringLiteral("新しい室"), 220), path, &kind, &reason));
    FaultInjection::clear();
    QCOMPARE(kind, WorkFile::Error::CannotWrite);
    QVERIFY(!reason.isEmpty());
    QCOMPARE(TestEnv::readBytes(path), old);
    QCOMPARE(leftovers(dir.path(), QStringLiteral("office.syw")), QStringList());
}

void TestCheckedWrites::sheetSaveTellsTheUser()
{
    QFETCH(QString, fault);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.syw"));
    SheetFixture f;
    f.sheet->recordGrid() = sheetOf(QStringLiteral("旧"), 2);
    f.dialogs.paths = {path};
    f.sheet->Menu_File_NSave_Click();
    QVERIFY(f.dialogs.messages().isEmpty());
    const QByteArray old = TestEnv::readBytes(path);
    QVERIFY(!old.isEmpty());

    f.sheet->recordGrid() = sheetOf(QStringLiteral("新しい室"), 200);
    FaultInjection::set(fault, QStringLiteral("sheet.syw"), error);
    f.sheet->Menu_File_Save_Click();
    FaultInjection::clear();
    QCOMPARE(f.dialogs.messages().size(), 1);
    QVERIFY(f.dialogs.messages().first().startsWith(QStringLiteral("データを保存できませんでした。")));
    QCOMPARE(TestEnv::readBytes(path), old);
    QCOMPARE(f.sheet->currentFileName(), path);
    QCOMPARE(leftovers(dir.path(), QStringLiteral("sheet.syw")), QStringList());
}

void TestCheckedWrites::printTableKeepsThePrevious_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("database write") << QStringLiteral("write:2000");
    QTest::newRow("database sync") << QStringLiteral("fsync");
    QTest::newRow("rename into place") << QStringLiteral("rename");
}

void TestCheckedWrites::printTableKeepsThePrevious()
{
    QFETCH(QString, fault);
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("t_syou.mdb"));
    QString error;
    QList<QSqlRecord> rows;
    QCOMPARE(IlluminancePrintTable::build(sheetOf(QStringLiteral("旧"), 1), {}, {}, db, &error, &rows), 22);
    const QByteArray old = TestEnv::readBytes(db);
    FaultInjection::set(fault, QStringLiteral("t_syou.mdb"));
    PrintTableFile::Status status = PrintTableFile::Status::Ok;
    QCOMPARE(IlluminancePrintTable::build(sheetOf(QStringLiteral("新"), 100), {}, {}, db, &error, &rows, &status), -1);
    FaultInjection::clear();
    QCOMPARE(status, PrintTableFile::Status::CannotWrite);
    QVERIFY(!error.isEmpty());
    QCOMPARE(TestEnv::readBytes(db), old);
    QCOMPARE(leftovers(dir.path(), QStringLiteral("t_syou.mdb")), QStringList());
}

void TestCheckedWrites::notRegularTargets_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("fifo") << "fifo";
    QTest::newRow("folder") << "folder";
    QTest::newRow("socket") << "socket";
    QTest::newRow("device") << "device";
}

void TestCheckedWrites::notRegularTargets()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("target.syw"));
    int socketFd = -1;
    const auto closeSocket = qScopeGuard([&] {
        if (socketFd >= 0)
            ::close(socketFd);
    });
    if (kind == u"fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == u"folder") {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == u"socket") {
        socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        QVERIFY(size_t(name.size()) < sizeof address.sun_path);
        std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
        QCOMPARE(::bind(socketFd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    } else {
        path = QStringLiteral("/dev/null");
    }
    struct stat before {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &before), 0);
    QString why;
    QVERIFY(!CheckedFile::write(path, "text", &why));
    QVERIFY2(why.contains(QStringLiteral("通常のファイルではありません")), qPrintable(why));
    QVERIFY(!WorkFile::save(sheetOf(QStringLiteral("室"), 1), path));
    struct stat after {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &after), 0);
    QCOMPARE(after.st_mode, before.st_mode);
    QCOMPARE(after.st_ino, before.st_ino);
    // Nor does loading hang on it.
    RecordGrid g(kRows, kColumns);
    QVERIFY(!WorkFile::load(g, path));
}

void TestCheckedWrites::batchPdf_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QString noPdf = QStringLiteral("PDFを書き込めません");
    const QString noTable = QStringLiteral("印刷用データを作成できません");
    for (const char *sheet : {"illuminance", "cecl"}) {
        const QString table = QString::fromLatin1(sheet) == u"cecl" ? QStringLiteral("t_cecl.mdb")
                                                                     : QStringLiteral("t_syou.mdb");
        for (const QString &error : {QStringLiteral("ENOSPC"), QStringLiteral("EIO")}) {
            for (const QString &fault : {QStringLiteral("write:0"), QStringLiteral("write:20000"), QStringLiteral("fsync"),
                                         QStringLiteral("rename")})
                QTest::addRow("%s pdf %s %s", sheet, qPrintable(fault), qPrintable(error))
                    << sheet << QStringLiteral("office.pdf") << fault << error << int(BatchStatus::CannotWritePdf) << noPdf;
        }
        // The workbook, built aside, goes through the same checked write.
        for (const QString &fault : {QStringLiteral("write:0"), QStringLiteral("write:4000"), QStringLiteral("fsync"),
                                     QStringLiteral("rename"), QStringLiteral("close")})
            QTest::addRow("%s xlsx %s", sheet, qPrintable(fault))
                << sheet << QStringLiteral("office.xlsx") << fault << QStringLiteral("EIO") << int(BatchStatus::CannotWritePdf)
                << QStringLiteral("Excelのファイルを書き込めません");
        // The library's own writing of the workbook it builds aside, to its last close.
        for (const QString &fault : {QStringLiteral("write:0"), QStringLiteral("write:3000"), QStringLiteral("close")})
            QTest::addRow("%s xlsx built aside, %s", sheet, qPrintable(fault))
                << sheet << QStringLiteral("book.xlsx") << fault << QStringLiteral("ENOSPC") << int(BatchStatus::CannotWritePdf)
                << QStringLiteral("Excelのファイルを作成できません");
        // The database's own writes fail as SQLite says it, in Japanese, with the table named.
        for (const QString &fault : {QStringLiteral("write:0"), QStringLiteral("write:2000")})
            QTest::addRow("%s table %s", sheet, qPrintable(fault))
                << sheet << table << fault << QStringLiteral("ENOSPC") << int(BatchStatus::CannotBuildTable)
                << noTable + QStringLiteral(": 印刷用のデータベース %1 を書き込めません（ディスクの空き容量が足りません）。");
        for (const QString &fault : {QStringLiteral("fsync"), QStringLiteral("rename")})
            QTest::addRow("%s table %s", sheet, qPrintable(fault))
                << sheet << table << fault << QStringLiteral("ENOSPC") << int(BatchStatus::CannotBuildTable) << noTable;
    }
}

void TestCheckedWrites::batchPdf()
{
    QFETCH(QString, sheet);
    QFETCH(QString, target);
    QFETCH(QString, fault);
    QFETCH(QString, error);
    QFETCH(int, status);
    QFETCH(QString, message);
    QTemporaryDir dir;
    message.replace(QStringLiteral("%1"), QDir(dir.filePath(QStringLiteral("cache/kzw/zeltika"))).filePath(target));
    const QString work = dir.filePath(QStringLiteral("office.syw"));
    if (sheet == u"cecl")
        TestEnv::writeBytes(work, TestEnv::readBytes(QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f-cecl.syw"))));
    else
        QVERIFY(WorkFile::save(sheetOf(QStringLiteral("会議室"), 30), work));
    const bool excel = target.endsWith(QStringLiteral(".xlsx"));
    const QString report = excel ? QStringLiteral("office.xlsx") : QStringLiteral("office.pdf");
    const QString pdf = dir.filePath(report);
    const QByteArray old("an earlier report\n");
    TestEnv::writeBytes(pdf, old);
    // The print table of an earlier run, where the batch run makes its own.
    const QString tableFolder = dir.filePath(QStringLiteral("cache/kzw/zeltika"));
    QVERIFY(QDir().mkpath(tableFolder));
    const bool inTable = target.endsWith(QStringLiteral(".mdb"));
    const QString table = QDir(tableFolder).filePath(inTable ? target : QStringLiteral("none"));
    const QByteArray oldTable("an earlier print table");
    if (inTable)
        TestEnv::writeBytes(table, oldTable);

    QProcess p;
    p.setProcessEnvironment(FaultInjection::environment(TestEnv::batchEnvironment(dir.path()), fault, target, error));
    p.start(TestEnv::program(QStringLiteral("prx5m")),
            {excel ? QStringLiteral("--xlsx") : QStringLiteral("--pdf"), sheet, work, pdf});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), status);
    const QString stderrText = QString::fromLocal8Bit(p.readAllStandardError());
    QVERIFY2(stderrText.contains(message), qPrintable(stderrText));
    QCOMPARE(TestEnv::readBytes(pdf), old);
    QCOMPARE(leftovers(dir.path(), report), QStringList{QStringLiteral("office.syw")});
    if (inTable) {
        QCOMPARE(TestEnv::readBytes(table), oldTable);
        QCOMPARE(leftovers(tableFolder, target), QStringList());
    }
}

void TestCheckedWrites::batchPdfIntoFifo()
{
    QTemporaryDir dir;
    const QString work = dir.filePath(QStringLiteral("office.syw"));
    QVERIFY(WorkFile::save(sheetOf(QStringLiteral("会議室"), 3), work));
    const QString fifo = dir.filePath(QStringLiteral("out.pdf"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QProcess p;
    p.setProcessEnvironment(TestEnv::batchEnvironment(dir.path()));
    p.start(TestEnv::program(QStringLiteral("prx5m")), {QStringLiteral("--pdf"), QStringLiteral("illuminance"), work, fifo});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 4);
    QVERIFY(QString::fromLocal8Bit(p.readAllStandardError()).contains(QStringLiteral("通常のファイルではありません")));
    QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
}

void TestCheckedWrites::masterTool_data()
{
    addFaultRows(5000);
}

void TestCheckedWrites::masterTool()
{
    QFETCH(QString, fault);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString csv = QDir(TestEnv::sourceDir()).filePath(QStringLiteral("data/masters/syomei.csv"));
    const QString mst = dir.filePath(QStringLiteral("syomei.mst"));
    const QByteArray old(400, ' ');
    TestEnv::writeBytes(mst, old);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("LD_PRELOAD"));
    p.setProcessEnvironment(FaultInjection::environment(env, fault, QStringLiteral("syomei.mst"), error));
    p.start(TestEnv::program(QStringLiteral("prx5m-mst")), {QStringLiteral("to-mst"), QStringLiteral("luminaire"), csv, mst});
    QVERIFY(p.waitForFinished(60000));
    QVERIFY(p.exitCode() != 0);
    QVERIFY(!p.readAllStandardError().isEmpty());
    QCOMPARE(TestEnv::readBytes(mst), old);
    QCOMPARE(leftovers(dir.path(), QStringLiteral("syomei.mst")), QStringList());
}

void TestCheckedWrites::distributionCsvSet_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("link"); // rooms.csv a link to a file not there yet
    QTest::newRow("rooms.csv, its write") << "rooms.csv" << "write:0" << false;
    QTest::newRow("points.csv, mid-file") << "points.csv" << "write:3000" << false;
    QTest::newRow("luminaires.csv, its sync") << "luminaires.csv" << "fsync" << false;
    QTest::newRow("the folder's exchange") << ".prx5m-dir" << "rename" << false;
    QTest::newRow("points.csv; rooms.csv a dangling link") << "points.csv" << "write:0" << true;
}

void TestCheckedWrites::distributionCsvSet()
{
    QFETCH(QString, target);
    QFETCH(QString, fault);
    QFETCH(bool, link);
    QTemporaryDir dir;
    const QString work = QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f.syw"));
    const QString out = dir.filePath(QStringLiteral("csv"));
    QVERIFY(QDir().mkpath(out));
    // An earlier run's rooms and points; it wrote no luminaires.
    const QByteArray rooms = link ? QByteArray() : QByteArray("row,name\n1,earlier\n"), points("row,x,y,e_direct,e\n");
    const QString real = dir.filePath(QStringLiteral("rooms-real.csv"));
    if (link)
        QVERIFY(QFile::link(real, QDir(out).filePath(QStringLiteral("rooms.csv"))));
    else
        TestEnv::writeBytes(QDir(out).filePath(QStringLiteral("rooms.csv")), rooms);
    TestEnv::writeBytes(QDir(out).filePath(QStringLiteral("points.csv")), points);
    QProcess p;
    p.setProcessEnvironment(FaultInjection::environment(TestEnv::batchEnvironment(dir.path()), fault, target, QStringLiteral("ENOSPC")));
    p.start(TestEnv::program(QStringLiteral("prx5m")), {QStringLiteral("--distribution-csv"), work, out});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), int(BatchStatus::CannotWritePdf));
    QVERIFY(QString::fromLocal8Bit(p.readAllStandardError()).contains(QStringLiteral("CSVを書き込めません")));
    // The three files are one set: the earlier set stays whole, whichever file failed.
    QCOMPARE(TestEnv::readBytes(QDir(out).filePath(QStringLiteral("rooms.csv"))), rooms);
    QCOMPARE(TestEnv::readBytes(QDir(out).filePath(QStringLiteral("points.csv"))), points);
    QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden | QDir::System), (QStringList{"points.csv", "rooms.csv"}));
    // The link stays a link, and the file it pointed to is not left behind.
    QCOMPARE(QFileInfo(QDir(out).filePath(QStringLiteral("rooms.csv"))).isSymLink(), link);
    QVERIFY(!QFile::exists(real));
}

void TestCheckedWrites::photometryTool_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("error");
    for (const char *target : {"syomei.csv", "curve.png", "curve.pdf"}) {
        for (const QString &error : {QStringLiteral("ENOSPC"), QStringLiteral("EIO")}) {
            for (const QString &fault : {QStringLiteral("write:0"), QStringLiteral("write:3000"), QStringLiteral("fsync"),
                                         QStringLiteral("rename")})
                QTest::addRow("%s %s %s", target, qPrintable(fault), qPrintable(error))
                    << QString::fromLatin1(target) << fault << error;
        }
    }
}

// Importing a luminaire into the master's slot, then drawing its curve, on a failing disk.
void TestCheckedWrites::photometryTool()
{
    QFETCH(QString, target);
    QFETCH(QString, fault);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("syomei.csv"));
    const QByteArray oldCsv = TestEnv::readBytes(QDir(TestEnv::sourceDir()).filePath(QStringLiteral("data/masters/syomei.csv")));
    QVERIFY(!oldCsv.isEmpty());
    TestEnv::writeBytes(csv, oldCsv);
    const QString plot = dir.filePath(target == u"syomei.csv" ? QStringLiteral("curve.png") : target);
    const QByteArray oldPlot("an earlier curve");
    TestEnv::writeBytes(plot, oldPlot);
    const QString ies = QDir(TestEnv::sourceDir()).filePath(QStringLiteral("data/photometry/downlight-dl2000.ies"));

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("LD_PRELOAD"));
    p.setProcessEnvironment(FaultInjection::environment(env, fault, target, error));
    p.start(TestEnv::program(QStringLiteral("prx5m-mst")),
            {QStringLiteral("photometry"), ies, QStringLiteral("--plot"), plot, QStringLiteral("--into"), csv,
             QStringLiteral("--slot"), QStringLiteral("60"), QStringLiteral("--mf"), QStringLiteral("0.81,0.77,0.72")});
    QVERIFY(p.waitForFinished(60000));
    QVERIFY(p.exitCode() != 0);
    const QString stderrText = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(stderrText.contains(QStringLiteral("書き込めません")), qPrintable(stderrText));
    // The curve is drawn once the master is in place: the master failing leaves both as they
    // were; the curve failing leaves the master registered, the old curve, and says so.
    QCOMPARE(TestEnv::readBytes(plot), oldPlot);
    if (target == u"syomei.csv") {
        QCOMPARE(TestEnv::readBytes(csv), oldCsv);
    } else {
        QVERIFY(TestEnv::readBytes(csv) != oldCsv);
        QVERIFY2(stderrText.contains(QStringLiteral("マスタには登録しましたが、配光曲線")), qPrintable(stderrText));
    }
    QStringList left = leftovers(dir.path(), QStringLiteral("syomei.csv"));
    left.removeAll(QFileInfo(plot).fileName());
    QCOMPARE(left, QStringList());
}

void TestCheckedWrites::fullDisk()
{
    QTemporaryDir dir;
    const QString mountPoint = dir.filePath(QStringLiteral("small"));
    QVERIFY(QDir().mkdir(mountPoint));
    if (::geteuid() != 0
        || ::mount("tmpfs", QFile::encodeName(mountPoint).constData(), "tmpfs", 0, "size=64k") != 0)
        QSKIP("no tmpfs can be mounted here (needs root)");
    const auto unmount = qScopeGuard([&] { ::umount(QFile::encodeName(mountPoint).constData()); });
    const QString path = mountPoint + QStringLiteral("/office.syw");
    QVERIFY(WorkFile::save(sheetOf(QStringLiteral("旧"), 2), path));
    const QByteArray old = TestEnv::readBytes(path);
    // Fill the disk up to a few bytes, as other files would.
    TestEnv::writeBytes(mountPoint + QStringLiteral("/filler"), QByteArray(40 * 1024, 'x'));
    RecordGrid big = sheetOf(QStringLiteral("とても長い室の名前"), 220);
    QString reason;
    QVERIFY(!WorkFile::save(big, path, nullptr, &reason));
    QVERIFY2(reason.contains(QStringLiteral("空き容量")), qPrintable(reason));
    QCOMPARE(TestEnv::readBytes(path), old);
    QCOMPARE(leftovers(mountPoint, QStringLiteral("office.syw")), QStringList{QStringLiteral("filler")});
}

void TestCheckedWrites::batchRunsSideBySide()
{
    QTemporaryDir dir;
    const QStringList prefixes = {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"), QStringLiteral("丁"),
                                  QStringLiteral("戊"), QStringLiteral("己"), QStringLiteral("庚"), QStringLiteral("辛")};
    QList<QProcess *> runs;
    for (int i = 0; i < prefixes.size(); ++i) {
        const QString work = dir.filePath(QStringLiteral("w%1.syw").arg(i));
        QVERIFY(WorkFile::save(sheetOf(prefixes[i] + QStringLiteral("室"), 40 + i), work));
    }
    // All eight share one work folder, as runs of one user do.
    for (int i = 0; i < prefixes.size(); ++i) {
        auto *p = new QProcess(this);
        p->setProcessEnvironment(TestEnv::batchEnvironment(dir.path()));
        p->start(TestEnv::program(QStringLiteral("prx5m")),
                 {QStringLiteral("--pdf"), QStringLiteral("illuminance"), dir.filePath(QStringLiteral("w%1.syw").arg(i)),
                  dir.filePath(QStringLiteral("r%1.pdf").arg(i))});
        runs.append(p);
    }
    for (int i = 0; i < runs.size(); ++i) {
        QVERIFY(runs[i]->waitForFinished(120000));
        QVERIFY2(runs[i]->exitCode() == 0, runs[i]->readAllStandardError().constData());
    }
    for (int i = 0; i < prefixes.size(); ++i) {
        const QString text = PdfTools::text(dir.filePath(QStringLiteral("r%1.pdf").arg(i)));
        QVERIFY(text.contains(prefixes[i] + QStringLiteral("室1")));
        QVERIFY(text.contains(prefixes[i] + QStringLiteral("室%1").arg(40 + i)));
        for (int j = 0; j < prefixes.size(); ++j)
            if (j != i)
                QVERIFY2(!text.contains(prefixes[j] + QStringLiteral("室")), qPrintable(prefixes[j]));
    }
    qDeleteAll(runs);
    // The finished table is in its place and no temporary database is left.
    const QString work = dir.filePath(QStringLiteral("cache/kzw/zeltika"));
    QCOMPARE(leftovers(work, QStringLiteral("t_syou.mdb")), QStringList());
    QVERIFY(QFile::exists(work + QStringLiteral("/t_syou.mdb")));
}

void TestCheckedWrites::fileIdentityKept_data()
{
    QTest::addColumn<QString>("kind");
    for (const char *kind : {"symbolic link", "relative link to a link", "link to a file not there yet", "hard links",
                             "mode kept", "setuid never kept", "read-only refused", "another owner kept",
                             "access control list kept", "user attribute kept", "no access list gained from the folder",
                             "244-byte name"})
        QTest::newRow(kind) << QString::fromLatin1(kind);
}

void TestCheckedWrites::fileIdentityKept()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString real = dir.filePath(QStringLiteral("real.syw"));
    const QByteArray old(3000, 'o');
    // Hard links are written in place: a shorter content must leave no tail of the old one.
    const QByteArray fresh = kind == u"hard links" ? QByteArray(100, 'n') : QByteArray(5000, 'n');
    TestEnv::writeBytes(real, old);
    QString target = real;   // the name the program is given
    QString written = real;  // the file that must hold the new content
    const bool root = ::geteuid() == 0;
    if (kind == u"symbolic link") {
        target = dir.filePath(QStringLiteral("link.syw"));
        QVERIFY(QFile::link(real, target));
    } else if (kind == u"relative link to a link") {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        written = dir.filePath(QStringLiteral("sub/real.syw"));
        QVERIFY(QFile::rename(real, written));
        QCOMPARE(::symlink("sub/real.syw", QFile::encodeName(dir.filePath(QStringLiteral("a.syw"))).constData()), 0);
        QCOMPARE(::symlink("a.syw", QFile::encodeName(dir.filePath(QStringLiteral("b.syw"))).constData()), 0);
        target = dir.filePath(QStringLiteral("b.syw"));
    } else if (kind == u"link to a file not there yet") {
        written = dir.filePath(QStringLiteral("new.syw"));
        target = dir.filePath(QStringLiteral("link.syw"));
        QCOMPARE(::symlink("new.syw", QFile::encodeName(target).constData()), 0);
    } else if (kind == u"hard links") {
        QCOMPARE(::link(QFile::encodeName(real).constData(), QFile::encodeName(dir.filePath(QStringLiteral("other.syw"))).constData()), 0);
    } else if (kind == u"mode kept") {
        QCOMPARE(::chmod(QFile::encodeName(real).constData(), 0640), 0);
    } else if (kind == u"setuid never kept") {
        QCOMPARE(::chmod(QFile::encodeName(real).constData(), 06755), 0);
    } else if (kind == u"read-only refused") {
        QCOMPARE(::chmod(QFile::encodeName(real).constData(), 0444), 0);
    } else if (kind == u"another owner kept") {
        if (!root)
            QSKIP("giving a file to another user needs root");
        QCOMPARE(::chown(QFile::encodeName(real).constData(), 12345, 23456), 0);
    } else if (kind == u"access control list kept") {
        if (!setAttribute(real, "system.posix_acl_access", namedUserAcl()))
            QSKIP("no access control lists on this file system");
    } else if (kind == u"user attribute kept") {
        if (!setAttribute(real, "user.prx5m.note", "kept"))
            QSKIP("no user attributes on this file system");
    } else if (kind == u"no access list gained from the folder") {
        // The folder gives new files a group more: the saved file must not have it.
        const QByteArray defaults = acl({{0x01, 7, 0xFFFFFFFF}, {0x04, 5, 0xFFFFFFFF}, {0x08, 7, 23456},
                                         {0x10, 7, 0xFFFFFFFF}, {0x20, 5, 0xFFFFFFFF}});
        if (!setAttribute(dir.path(), "system.posix_acl_default", defaults))
            QSKIP("no default access control lists on this file system");
    } else if (kind == u"244-byte name") {
        target = written = dir.filePath(QString(80, QChar(0x3042)) + QStringLiteral(".pdf")); // 80 x 3 bytes + 4
        QCOMPARE(QFile::encodeName(QFileInfo(target).fileName()).size(), 244);
    }
    const struct stat before = statOf(written);
    QString why;
    const bool ok = CheckedFile::write(target, fresh, &why);
    if (kind == u"read-only refused") {
        QVERIFY(!ok);
        QCOMPARE(why, QStringLiteral("読み取り専用のファイルのため保存できません: %1").arg(real));
        QCOMPARE(TestEnv::readBytes(real), old);
        QCOMPARE(leftovers(dir.path(), QStringLiteral("real.syw")), QStringList());
        return;
    }
    QVERIFY2(ok, qPrintable(why));
    QCOMPARE(TestEnv::readBytes(written), fresh);
    QCOMPARE(TestEnv::readBytes(target), fresh);
    const struct stat after = statOf(written);
    if (target != written) {
        QVERIFY(QFileInfo(target).isSymLink()); // a link stays a link
    }
    if (kind == u"hard links") {
        QCOMPARE(TestEnv::readBytes(dir.filePath(QStringLiteral("other.syw"))), fresh);
        QCOMPARE(after.st_ino, before.st_ino);
    }
    if (kind == u"mode kept")
        QCOMPARE(after.st_mode & 07777, mode_t(0640));
    if (kind == u"setuid never kept")
        QCOMPARE(after.st_mode & 07777, mode_t(0755));
    if (kind == u"another owner kept") {
        QCOMPARE(after.st_uid, uid_t(12345));
        QCOMPARE(after.st_gid, gid_t(23456));
    }
    if (kind == u"access control list kept") {
        QCOMPARE(attribute(written, "system.posix_acl_access"), namedUserAcl());
        QCOMPARE(after.st_mode & 0777, before.st_mode & 0777);
    }
    if (kind == u"user attribute kept")
        QCOMPARE(attribute(written, "user.prx5m.note"), QByteArray("kept"));
    if (kind == u"no access list gained from the folder") {
        QCOMPARE(attribute(written, "system.posix_acl_access"), QByteArray());
        QCOMPARE(after.st_mode & 07777, before.st_mode & 07777);
    }
    // Nothing left beside it.
    QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &f : std::as_const(files))
        QVERIFY2(!f.endsWith(QStringLiteral(".tmp")), qPrintable(f));
}

void TestCheckedWrites::ownerThatCannotBeGivenWritesInPlace()
{
    // A file of user 12345 that group 23456 may write, saved by user 34567 of that group: a new
    // file would be the saver's, so the file itself is written and stays user 12345's.
    if (::geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
        QSKIP("running as another user needs root and setpriv");
    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7777)));
    const QString csv = dir.filePath(QStringLiteral("Kougen.csv"));
    TestEnv::writeBytes(csv, TestEnv::readBytes(QDir(TestEnv::sourceDir()).filePath(QStringLiteral("data/masters/Kougen.csv"))));
    const QString mst = dir.filePath(QStringLiteral("Kougen.mst"));
    TestEnv::writeBytes(mst, "old");
    QCOMPARE(::chown(QFile::encodeName(mst).constData(), 12345, 23456), 0);
    QCOMPARE(::chmod(QFile::encodeName(mst).constData(), 0664), 0);
    QCOMPARE(::chmod(QFile::encodeName(csv).constData(), 0644), 0);
    QProcess p;
    p.setProcessEnvironment(TestEnv::batchEnvironment(dir.path()));
    p.start(QStringLiteral("setpriv"), {QStringLiteral("--reuid=34567"), QStringLiteral("--regid=23456"), QStringLiteral("--clear-groups"),
                                        TestEnv::program(QStringLiteral("prx5m-mst")), QStringLiteral("to-mst"),
                                        QStringLiteral("lamp"), csv, mst});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 0);
    const struct stat st = statOf(mst);
    QCOMPARE(st.st_uid, uid_t(12345));
    QCOMPARE(st.st_gid, gid_t(23456));
    QCOMPARE(st.st_mode & 07777, mode_t(0664));
    QVERIFY(TestEnv::readBytes(mst).size() > 1000); // the new master
}

QTEST_MAIN(TestCheckedWrites)
#include "tst_checked_writes.moc"
