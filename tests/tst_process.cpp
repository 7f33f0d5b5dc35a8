// Starts the built program as a user would and checks what only a whole process shows.
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <unistd.h>

class TestProcess : public QObject
{
    Q_OBJECT
private slots:
    void secondCopyEndsAtOnce();
    void startsOverALeftOverLock_data();
    void startsOverALeftOverLock();
    void lockThatCannotBeTakenIsReported();
    void batchTakesNamesAsGiven_data();
    void batchTakesNamesAsGiven();
    void reportNeedsAJapaneseFont_data();
    void reportNeedsAJapaneseFont();
    void mistypedCommandLinesEndWithUsage_data();
    void mistypedCommandLinesEndWithUsage();
    void besideARunningCopy();
    void desktopEntryForWorkFiles();

private:
    QProcessEnvironment isolatedEnvironment(const QTemporaryDir &home) const;
};

QProcessEnvironment TestProcess::isolatedEnvironment(const QTemporaryDir &home) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
    const QString runtime = home.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    return env;
}

void TestProcess::secondCopyEndsAtOnce()
{
    QTemporaryDir home;
    const QString program = QDir(TestEnv::buildDir()).filePath(QStringLiteral("prx5m"));
    QProcess first;
    first.setProcessEnvironment(isolatedEnvironment(home));
    first.start(program, {});
    QVERIFY(first.waitForStarted());
    // Wait until the first copy holds its lock.
    const QString lock = home.filePath(QStringLiteral("runtime/prx5m.lock"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lock), 10000);

    QProcess second;
    second.setProcessEnvironment(isolatedEnvironment(home));
    second.start(program, {});
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QVERIFY(second.readAllStandardError().isEmpty());

    QCOMPARE(first.state(), QProcess::Running); // undisturbed
    first.terminate();
    if (!first.waitForFinished(5000)) {
        first.kill();
        first.waitForFinished();
    }
}

void TestProcess::startsOverALeftOverLock_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("garbage") << QByteArray("\x01\x02\x03 not a lock");
    QTest::newRow("a process that is gone") << QByteArray("999999\nprx5m\nthis-host\n");
}

void TestProcess::startsOverALeftOverLock()
{
    QFETCH(QByteArray, content);
    QTemporaryDir home;
    const QProcessEnvironment env = isolatedEnvironment(home);
    const QString lock = home.filePath(QStringLiteral("runtime/prx5m.lock"));
    TestEnv::writeBytes(lock, content);
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QDir(TestEnv::buildDir()).filePath(QStringLiteral("prx5m")), {});
    QVERIFY(program.waitForStarted());
    // It runs (its menu is up) and holds the lock: its own process number is in the file.
    QTRY_COMPARE_WITH_TIMEOUT(TestEnv::readBytes(lock), QByteArray::number(program.processId()) + '\n', 10000);
    QVERIFY(!program.waitForFinished(500));
    QCOMPARE(program.state(), QProcess::Running);
    program.terminate();
    if (!program.waitForFinished(5000)) {
        program.kill();
        program.waitForFinished();
    }
}

void TestProcess::lockThatCannotBeTakenIsReported()
{
    QTemporaryDir home;
    QProcessEnvironment env = isolatedEnvironment(home);
    const QString runtime = home.filePath(QStringLiteral("locked-runtime"));
    QVERIFY(QDir().mkdir(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    if (!TestEnv::makeFolderUnwritable(runtime))
        QSKIP("no way to make a folder unwritable here");
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QDir(TestEnv::buildDir()).filePath(QStringLiteral("prx5m")), {});
    // The reason goes to stderr and into a message box (which waits for the user: closed here).
    QString message;
    QTRY_VERIFY_WITH_TIMEOUT((message += QString::fromLocal8Bit(program.readAllStandardError()))
                                 .contains(QStringLiteral("起動できません")),
                             10000);
    TestEnv::makeFolderWritable(runtime);
    QVERIFY(message.contains(QStringLiteral("prx5m.lock")));
    program.kill();
    program.waitForFinished();
}

namespace {

// The names in a folder, byte for byte.
QList<QByteArray> namesIn(const QString &folder)
{
    QList<QByteArray> out;
    if (DIR *d = ::opendir(QFile::encodeName(folder).constData())) {
        while (const dirent *e = ::readdir(d))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                out.append(QByteArray(e->d_name));
        ::closedir(d);
    }
    std::sort(out.begin(), out.end());
    return out;
}

QString example(const char *name)
{
    return QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/") + QString::fromLatin1(name));
}

} // namespace

void TestProcess::batchTakesNamesAsGiven_data()
{
    QTest::addColumn<QByteArray>("input");   // a name in the run's folder
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<int>("status");
    QTest::newRow("output named -platform") << QByteArray("in.syw") << QByteArray("-platform") << 0;
    QTest::newRow("output named -reverse") << QByteArray("in.syw") << QByteArray("-reverse") << 0;
    QTest::newRow("input named -style") << QByteArray("-style") << QByteArray("out.pdf") << 0;
    QTest::newRow("output not UTF-8") << QByteArray("in.syw") << QByteArray("out\xff.pdf") << 2;
    QTest::newRow("input not UTF-8") << QByteArray("in\xff.syw") << QByteArray("out.pdf") << 2;
}

void TestProcess::batchTakesNamesAsGiven()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, output);
    QFETCH(int, status);
    QTemporaryDir dir;
    // The input under its own name, made with the bytes of that name.
    const QByteArray in = QFile::encodeName(dir.path()) + '/' + input;
    {
        const QByteArray bytes = TestEnv::readBytes(example("office-3f-cecl.syw"));
        FILE *f = std::fopen(in.constData(), "wb");
        QVERIFY(f);
        QCOMPARE(std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f), size_t(bytes.size()));
        std::fclose(f);
    }
    // Qt cannot name a file whose name is not UTF-8: removed here, byte for byte.
    const auto removeInput = qScopeGuard([&in] { ::unlink(in.constData()); });
    const QList<QByteArray> before = namesIn(dir.path());
    // Through a shell, so the names reach the program as bytes.
    QProcess p;
    p.setProcessEnvironment(TestEnv::batchEnvironment(dir.path() + QStringLiteral("/home")));
    p.setWorkingDirectory(dir.path());
    const auto octal = [](const QByteArray &name) {
        QString out;
        for (char c : name)
            out += QStringLiteral("\\%1").arg(quint8(c), 3, 8, QChar(u'0'));
        return out;
    };
    p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"),
                                         QStringLiteral("exec \"$0\" --pdf cecl \"$(printf '%1')\" \"$(printf '%2')\"")
                                             .arg(octal(input), octal(output)),
                                         TestEnv::program(QStringLiteral("prx5m"))});
    QVERIFY(p.waitForFinished(60000));
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QCOMPARE(p.exitCode(), status);
    QList<QByteArray> after = namesIn(dir.path());
    after.removeAll("home");
    if (status == 0) {
        QList<QByteArray> expected = before + QList<QByteArray>{output};
        std::sort(expected.begin(), expected.end());
        QCOMPARE(after, expected); // the PDF under exactly its name, nothing else
        QVERIFY(TestEnv::readBytes(QFile::decodeName(QFile::encodeName(dir.path()) + '/' + output)).startsWith("%PDF"));
    } else {
        QCOMPARE(after, before); // refused: nothing written under any name
        QVERIFY2(err.contains(QStringLiteral("UTF-8")), qPrintable(err));
    }
}

void TestProcess::reportNeedsAJapaneseFont_data()
{
    QTest::addColumn<QStringList>("fonts");  // the only fonts fontconfig knows
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("embedded");
    QTest::newRow("no Japanese font: status 7")
        << QStringList{QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf")} << 7 << QString();
    QTest::newRow("another Japanese font is taken")
        << QStringList{QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"),
                       QStringLiteral("/usr/share/fonts/opentype/ipaexfont-mincho/ipaexm.ttf")}
        << 0 << QStringLiteral("Mincho");
}

void TestProcess::reportNeedsAJapaneseFont()
{
    QFETCH(QStringList, fonts);
    QFETCH(int, status);
    QFETCH(QString, embedded);
    for (const QString &font : std::as_const(fonts))
        if (!QFile::exists(font))
            QSKIP("a font of this test is not installed");
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("fonts")));
    for (const QString &font : std::as_const(fonts))
        QVERIFY(QFile::copy(font, dir.filePath(QStringLiteral("fonts/") + QFileInfo(font).fileName())));
    TestEnv::writeBytes(dir.filePath(QStringLiteral("fonts.conf")),
                        QStringLiteral("<?xml version=\"1.0\"?><fontconfig><dir>%1</dir><cachedir>%2</cachedir></fontconfig>")
                            .arg(dir.filePath(QStringLiteral("fonts")), dir.filePath(QStringLiteral("fc-cache")))
                            .toUtf8());
    QProcessEnvironment env = TestEnv::batchEnvironment(dir.path());
    env.insert(QStringLiteral("FONTCONFIG_FILE"), dir.filePath(QStringLiteral("fonts.conf")));
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(TestEnv::program(QStringLiteral("prx5m")), {QStringLiteral("--pdf"), QStringLiteral("illuminance"),
                                                       example("office-3f.syw"), pdf});
    QVERIFY(p.waitForFinished(60000));
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QCOMPARE(p.exitCode(), status);
    if (status != 0) {
        QVERIFY(!QFile::exists(pdf));
        QVERIFY2(err.contains(QStringLiteral("fonts-ipaexfont-gothic")), qPrintable(err));
        // A workbook draws nothing: it is written all the same.
        p.start(TestEnv::program(QStringLiteral("prx5m")), {QStringLiteral("--xlsx"), QStringLiteral("illuminance"),
                                                           example("office-3f.syw"), dir.filePath(QStringLiteral("out.xlsx"))});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        return;
    }
    QProcess fontsOf;
    fontsOf.start(QStringLiteral("pdffonts"), {pdf});
    QVERIFY(fontsOf.waitForFinished(30000));
    QVERIFY(QString::fromUtf8(fontsOf.readAllStandardOutput()).contains(embedded));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(30000));
    QVERIFY(QString::fromUtf8(text.readAllStandardOutput()).contains(QStringLiteral("玄関ホール")));
}

void TestProcess::mistypedCommandLinesEndWithUsage_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out"); // the start of standard output
    QTest::addColumn<QString>("err"); // a line standard error must hold
    const QString usage = QStringLiteral("使い方: prx5m --pdf illuminance INPUT.syw OUTPUT.pdf");
    const QString tool = QStringLiteral("usage: prx5m-mst to-mst|to-csv lamp|luminaire|room INPUT OUTPUT");
    QTest::newRow("an option the program does not know")
        << "prx5m" << QStringList{"--no-such-mode", "IN", "OUT"} << 2 << "" << "prx5m: このオプションはありません: --no-such-mode";
    QTest::newRow("a mode and its kind run together")
        << "prx5m" << QStringList{"--pdf-illuminance", "a.syw"} << 2 << "" << usage;
    QTest::newRow("a mode without its files") << "prx5m" << QStringList{"--pdf", "illuminance"} << 2 << "" << usage;
    QTest::newRow("a mode with one file too many")
        << "prx5m" << QStringList{"--distribution-csv", "a.syw", "out", "extra"} << 2 << "" << usage;
    QTest::newRow("a kind the mode does not have")
        << "prx5m" << QStringList{"--xlsx", "distribution", "a.syw", "b.xlsx"} << 2 << "" << usage;
    QTest::newRow("an unknown option after a file") << "prx5m" << QStringList{"a.syw", "--pdf"} << 2 << "" << usage;
    QTest::newRow("--help") << "prx5m" << QStringList{"--help"} << 0 << usage << "";
    QTest::newRow("--version") << "prx5m" << QStringList{"--version"} << 0 << "prx5m 2.5.0" << "";
    QTest::newRow("-h") << "prx5m" << QStringList{"-h"} << 0 << usage << "";
    QTest::newRow("-v") << "prx5m" << QStringList{"-v"} << 0 << "prx5m 2.5.0" << "";
    // A single dash is no mode: refused before any lock, not taken for a window's start.
    QTest::newRow("a mode with one dash")
        << "prx5m" << QStringList{"-pdf", "beil", "a.syw", "b.pdf"} << 2 << "" << "prx5m: このオプションはありません: -pdf";
    QTest::newRow("a one-dash option Qt does not have") << "prx5m" << QStringList{"-x"} << 2 << "" << "prx5m: このオプションはありません: -x";
    QTest::newRow("two work files") << "prx5m" << QStringList{"a.syw", "b.syw"} << 2 << "" << "prx5m: 開く作業ファイルは 1 つだけです: b.syw";
    QTest::newRow("Qt's option without its value") << "prx5m" << QStringList{"a.syw", "-style"} << 2 << "" << "prx5m: -style の値がありません";
    QTest::newRow("tool: an option it does not know") << "prx5m-mst" << QStringList{"--bogus"} << 2 << "" << tool;
    QTest::newRow("tool: photometry with an unknown option")
        << "prx5m-mst" << QStringList{"photometry", "--bogus", "a.ies"} << 2 << "" << "prx5m-mst: 知らないオプション --bogus";
    QTest::newRow("tool: --help") << "prx5m-mst" << QStringList{"--help"} << 0 << tool << "";
    QTest::newRow("tool: --version") << "prx5m-mst" << QStringList{"--version"} << 0 << "prx5m-mst 2.5.0" << "";
}

// What a script meets: the usage and a status at once, before any window or lock.
void TestProcess::mistypedCommandLinesEndWithUsage()
{
    QFETCH(QString, program);
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QTemporaryDir home;
    QProcess p;
    p.setProcessEnvironment(isolatedEnvironment(home));
    p.start(TestEnv::program(program), args);
    QVERIFY(p.waitForStarted());
    const bool ended = p.waitForFinished(10000);
    if (!ended) {
        p.kill();
        p.waitForFinished();
    }
    QVERIFY2(ended, "the program waited instead of ending");
    QCOMPARE(p.exitCode(), status);
    const QString stdOut = QString::fromUtf8(p.readAllStandardOutput());
    const QStringList stdErr = QString::fromUtf8(p.readAllStandardError()).split(u'\n');
    if (out.isEmpty())
        QCOMPARE(stdOut, QString());
    else
        QVERIFY2(stdOut.startsWith(out), qPrintable(stdOut));
    // The usage names the exit statuses, the one of a wrong argument among them.
    if (out.startsWith(QStringLiteral("使い方")))
        QVERIFY(stdOut.contains(QStringLiteral("  2  使い方の誤り、または作業ファイルを読めない")));
    if (err.isEmpty())
        QCOMPARE(stdErr, QStringList{QString()});
    else
        QVERIFY2(stdErr.contains(err), qPrintable(stdErr.join(u'\n')));
    QVERIFY(!QFile::exists(home.filePath(QStringLiteral("runtime/prx5m.lock"))));
}

// With the program open: a batch mode works on its own; a work file named to a second start is
// handed to the running copy, and the second start ends at once.
void TestProcess::besideARunningCopy()
{
    QTemporaryDir home;
    const QString program = QDir(TestEnv::buildDir()).filePath(QStringLiteral("prx5m"));
    QProcess first;
    first.setProcessEnvironment(isolatedEnvironment(home));
    first.start(program, {});
    QVERIFY(first.waitForStarted());
    const auto stop = qScopeGuard([&first] {
        first.kill();
        first.waitForFinished();
    });
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(home.filePath(QStringLiteral("runtime/prx5m.socket"))), 10000);
    const QString example = QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f-beil.syw"));

    QProcess batch;
    batch.setProcessEnvironment(isolatedEnvironment(home));
    batch.start(program, {QStringLiteral("--beil-csv"), example, home.filePath(QStringLiteral("beil.csv"))});
    QVERIFY(batch.waitForFinished(30000));
    QCOMPARE(batch.exitCode(), 0);
    QVERIFY(QFile::exists(home.filePath(QStringLiteral("beil.csv"))));

    QProcess second;
    second.setProcessEnvironment(isolatedEnvironment(home));
    second.start(program, {example});
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(second.readAllStandardError()), QString());
    QCOMPARE(first.state(), QProcess::Running); // it took the file and goes on
}

// What run.sh installs for the user: an entry that opens a work file with this program, and the
// type that names *.syw files.
void TestProcess::desktopEntryForWorkFiles()
{
    QTemporaryDir data;
    const QString program = QDir(TestEnv::buildDir()).filePath(QStringLiteral("prx5m"));
    QProcess install;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), data.path());
    install.setProcessEnvironment(env);
    install.setWorkingDirectory(TestEnv::sourceDir());
    install.start(QStringLiteral("bash"), {QStringLiteral("-c"), QStringLiteral("source scripts/desktop.sh && install_desktop_entry \"$0\""), program});
    QVERIFY(install.waitForFinished(30000));
    QCOMPARE(install.exitCode(), 0);
    const QString entry = data.filePath(QStringLiteral("applications/prx5m.desktop"));
    const QString text = QString::fromUtf8(TestEnv::readBytes(entry));
    QVERIFY2(text.contains(QStringLiteral("Exec=\"%1\" %f").arg(program)), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("MimeType=application/x-prx5m-work;")));
    QProcess validate;
    validate.start(QStringLiteral("desktop-file-validate"), {entry});
    if (validate.waitForStarted()) {
        QVERIFY(validate.waitForFinished(10000));
        QCOMPARE(QString::fromUtf8(validate.readAllStandardOutput() + validate.readAllStandardError()), QString());
        QCOMPARE(validate.exitCode(), 0);
    }
    // The type's glob as the MIME database has it.
    const QString globs = QString::fromUtf8(TestEnv::readBytes(data.filePath(QStringLiteral("mime/globs2"))));
    QVERIFY2(globs.contains(QStringLiteral("application/x-prx5m-work:*.syw")), qPrintable(globs));
}

QTEST_GUILESS_MAIN(TestProcess)
#include "tst_process.moc"
