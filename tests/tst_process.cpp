// Starts the built program as a user would and checks what only a whole process shows.
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestProcess : public QObject
{
    Q_OBJECT
private slots:
    void secondCopyEndsAtOnce();
    void startsOverALeftOverLock_data();
    void startsOverALeftOverLock();
    void lockThatCannotBeTakenIsReported();

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

QTEST_GUILESS_MAIN(TestProcess)
#include "tst_process.moc"
