// The program in a session that names no language (LANG=C.UTF-8) on a machine where no Japanese
// locale is generated: ctest runs this under xvfb-run. The dialogs write dates as a Japanese user
// reads them, and the C library keeps the session's locale, so the window titles reach the window
// manager (and whatever reads WM_NAME) as they are.
#include "support/TestEnv.h"
#include "ui/Translations.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <clocale>
#include <cstdio>

namespace {

bool onX11()
{
    return QGuiApplication::platformName() == u"xcb";
}

// WM_NAME and _NET_WM_NAME of a window as xprop reads them in the session's locale.
QStringList titleProperties(const QString &windowId)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), windowId, QStringLiteral("WM_NAME"), QStringLiteral("_NET_WM_NAME")});
    if (!xprop.waitForFinished(10000))
        return {};
    QStringList out;
    const QRegularExpression line(QStringLiteral("^(WM_NAME|_NET_WM_NAME)\\([A-Z_0-9]+\\) = \"(.*)\"$"));
    for (const QString &l : QString::fromUtf8(xprop.readAllStandardOutput()).split(u'\n')) {
        if (const auto m = line.match(l); m.hasMatch())
            out.append(m.captured(1) + u'=' + m.captured(2));
    }
    return out;
}

} // namespace

class TestLocale : public QObject
{
    Q_OBJECT
private slots:
    void sessionLocaleKept();
    void fileDialogDatesInJapanese();
    void datesUnderEverySession_data();
    void datesUnderEverySession();
    void windowTitleIntact();
    void programTitleIntact();
};

void TestLocale::sessionLocaleKept()
{
    QCOMPARE(qgetenv("LANG"), QByteArray("C.UTF-8"));
    QCOMPARE(QByteArray(std::setlocale(LC_CTYPE, nullptr)), QByteArray("C.UTF-8"));
    QCOMPARE(QByteArray(std::setlocale(LC_TIME, nullptr)), QByteArray("C.UTF-8"));
    QVERIFY(!qEnvironmentVariableIsSet("LC_TIME")); // nothing left for child processes either
}

void TestLocale::fileDialogDatesInJapanese()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("office.syw"));
    TestEnv::writeBytes(path, "1\r\n");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime(QDate(2026, 3, 4), QTime(5, 6)), QFileDevice::FileModificationTime));
    file.close();
    QFileSystemModel model;
    model.setRootPath(dir.path());
    // The list's date column, as the file dialog shows it.
    QTRY_COMPARE(model.data(model.index(path, 3)).toString(), QStringLiteral("2026/03/04 5:06"));
}

void TestLocale::datesUnderEverySession_data()
{
    // LANG, LC_TIME, LC_ALL of the session (empty: unset), and the date as the dialogs write it.
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("all");
    QTest::addColumn<QString>("shown");
    const QString japanese = QStringLiteral("2026/03/04 5:06"), english = QStringLiteral("3/4/26 5:06 AM");
    QTest::newRow("LANG C") << "C.UTF-8" << "" << "" << japanese;
    QTest::newRow("LC_ALL C over LANG en_US") << "en_US.UTF-8" << "" << "C" << japanese;
    QTest::newRow("LC_ALL C over LC_TIME en_US") << "C.UTF-8" << "en_US.UTF-8" << "POSIX" << japanese;
    QTest::newRow("LC_ALL en_US over LANG C: the session's") << "C.UTF-8" << "" << "en_US.UTF-8" << english;
    QTest::newRow("LC_TIME en_US over LANG C: the session's") << "C.UTF-8" << "en_US.UTF-8" << "" << english;
    QTest::newRow("LC_TIME C over LANG en_US") << "en_US.UTF-8" << "C" << "" << japanese;
}

void TestLocale::datesUnderEverySession()
{
    QFETCH(QString, lang);
    QFETCH(QString, time);
    QFETCH(QString, all);
    QFETCH(QString, shown);
    // This test program again, in that session, printing the date as its start left the locale.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const auto &[name, value] : {std::pair{QStringLiteral("LANG"), lang}, {QStringLiteral("LC_TIME"), time},
                                      {QStringLiteral("LC_ALL"), all}}) {
        if (value.isEmpty())
            env.remove(name);
        else
            env.insert(name, value);
    }
    env.insert(QStringLiteral("PRX5M_PRINT_DATE"), QStringLiteral("1"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess child;
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()).trimmed(), shown);
}

void TestLocale::windowTitleIntact()
{
    if (!onX11())
        QSKIP("needs an X server (ctest runs this test under xvfb-run)");
    QWidget window;
    window.setWindowTitle(QStringLiteral("照度計算書 - 事務所.syw"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QString id = QStringLiteral("0x%1").arg(window.winId(), 0, 16);
    QTRY_COMPARE(titleProperties(id), (QStringList{QStringLiteral("WM_NAME=照度計算書 - 事務所.syw"),
                                                   QStringLiteral("_NET_WM_NAME=照度計算書 - 事務所.syw")}));
}

void TestLocale::programTitleIntact()
{
    if (!onX11())
        QSKIP("needs an X server (ctest runs this test under xvfb-run)");
    QTemporaryDir home;
    QProcessEnvironment env = TestEnv::batchEnvironment(home.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("DISPLAY"), qEnvironmentVariable("DISPLAY"));
    const QString runtime = home.filePath(QStringLiteral("runtime")); // its own lock
    QVERIFY(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(TestEnv::program(QStringLiteral("prx5m")), {});
    QVERIFY(program.waitForStarted());
    // The main menu's window, found by its class among the screen's windows.
    QString id;
    for (int tries = 0; tries < 100 && id.isEmpty(); ++tries) {
        QTest::qWait(100);
        QProcess xwininfo;
        xwininfo.start(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-children")});
        xwininfo.waitForFinished(10000);
        for (const QString &l : QString::fromUtf8(xwininfo.readAllStandardOutput()).split(u'\n'))
            if (l.contains(QStringLiteral("(\"prx5m\" \"zeltika\")")))
                id = l.trimmed().section(u' ', 0, 0);
    }
    const QStringList titles = titleProperties(id);
    program.kill();
    program.waitForFinished();
    QCOMPARE(titles, (QStringList{QStringLiteral("WM_NAME=ゼルティカとドルネア"), QStringLiteral("_NET_WM_NAME=ゼルティカとドルネア")}));
}

int main(int argc, char *argv[])
{
    // As the program does before its application exists.
    Translations::prepareJapaneseDates();
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("PRX5M_PRINT_DATE")) {
        // The date column of the file dialog, as the locale its start prepared writes it.
        std::printf("%s\n", qPrintable(QLocale::system().toString(QDateTime(QDate(2026, 3, 4), QTime(5, 6)), QLocale::ShortFormat)));
        return 0;
    }
    TestLocale test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_locale.moc"
