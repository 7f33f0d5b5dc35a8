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

QTEST_GUILESS_MAIN(TestProcess)
#include "tst_process.moc"
