#include "shell/AppContext.h"
#include "shell/FMenu.h"
#include "shell/HandOver.h"
#include "shell/HandOverMessage.h"
#include "shell/Links.h"
#include "shell/SingleInstance.h"
#include "shell/Startup.h"
#include "settings/SettingsStore.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"
#include "ui/FTitle.h"
#include "sheet/SheetFrame.h"
#include "ui/WindowPosition.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrlQuery>

#include <atomic>
#include <memory>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QWidget *visibleWindow(const QString &name)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return w;
    return nullptr;
}

} // namespace

class TestShell : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void menuCaptions_data();
    void menuCaptions();
    void versionBox();
    void fileMenusInOneOrder();
    void versionText_data();
    void versionText();
    void sheetHandsPositionOver_data();
    void sheetHandsPositionOver();
    void firstRunPlacesMenuTopLeft();
    void keysPressTheFocusedButton_data();
    void keysPressTheFocusedButton();
    void mailFailureShowsMessage();
    void mailAndHomePageAddresses();
    void missingMasterStopsStartup();
    void leftOverLocksAreTakenOver_data();
    void leftOverLocksAreTakenOver();
    void lockHeldByARunningCopy();
    void lockThatCannotBeTakenIsReported();
    void fileOpensInTheSheetOfItsColumns_data();
    void fileOpensInTheSheetOfItsColumns();
    void fileHandedToTheRunningCopy();
    void handOverLineReadStrictly_data();
    void handOverLineReadStrictly();
    void handOversWaitTheirTurn();
    void secondStartWaitsForTheListener_data();
    void secondStartWaitsForTheListener();
};

void TestShell::cleanup()
{
    FMenu::setUrlOpener(nullptr);
    for (QWidget *w : QApplication::topLevelWidgets())
        w->deleteLater();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestShell::menuCaptions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::newRow("CEC/L") << "Btn_CECL" << QStringLiteral("Ｃ Ｅ Ｃ ／ Ｌ");
    QTest::newRow("illuminance") << "Btn_Syoudo" << QStringLiteral("照 度 計 算");
    QTest::newRow("home page") << "Btn_HP" << QStringLiteral("最新情報");
    QTest::newRow("mail") << "Lbl_Mail" << QStringLiteral("ご意見，要望，バグ情報など");
    QTest::newRow("end") << "Btn_End" << QStringLiteral("終    了");
}

void TestShell::menuCaptions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    TestEnv env;
    AppContext context;
    FMenu menu(context);
    QCOMPARE(menu.objectName(), QStringLiteral("F_Menu"));
    QCOMPARE(menu.windowTitle(), QStringLiteral("ゼルティカとドルネア"));
    QWidget *w = menu.findChild<QWidget *>(name);
    QVERIFY(w);
    if (auto *b = qobject_cast<QPushButton *>(w))
        QCOMPARE(b->text(), caption);
    else
        QCOMPARE(qobject_cast<QLabel *>(w)->text(), caption);
}

void TestShell::fileMenusInOneOrder()
{
    // The main menu names every sheet it opens.
    TestEnv env;
    AppContext context;
    context.workFolder = env.workFolder();
    QVERIFY(context.masters.loadAll(TestEnv::buildDir(), nullptr));
    FMenu menu(context);
    const QString subtitle = menu.findChild<QLabel *>(QStringLiteral("Lbl_Subtitle"))->text();
    for (const char *slot : {"openSyoudo", "openCECL", "openBEIL", "openHijou"}) {
        QMetaObject::invokeMethod(&menu, slot);
        SheetFrame *sheet = menu.openSheet();
        QVERIFY(sheet);
        const QString caption = menu.findChild<QPushButton *>(sheet->objectName() == u"F_Syoudo" ? QStringLiteral("Btn_Syoudo")
                                                              : sheet->objectName() == u"F_CECL" ? QStringLiteral("Btn_CECL")
                                                              : sheet->objectName() == u"F_BEIL" ? QStringLiteral("Btn_BEIL")
                                                                                                 : QStringLiteral("Btn_Hijou"))
                                    ->text()
                                    .remove(u' ')
                                    .remove(u'　');
        const QString named = sheet->objectName() == u"F_CECL" ? QStringLiteral("CEC/L") : caption;
        QVERIFY2(subtitle.contains(named), qPrintable(named));
        // The items every sheet has, in one order, then the sheet's own, then 終了.
        QStringList items;
        for (QAction *a : sheet->findChild<QMenu *>(QStringLiteral("Menu_File"))->actions())
            if (!a->isSeparator())
                items.append(a->objectName());
        QCOMPARE(items.mid(0, 6), (QStringList{"Menu_File_New", "Menu_File_Open", "Menu_File_Save", "Menu_File_NSave",
                                               "Menu_File_Preview", "Menu_File_Printout"}));
        QCOMPARE(items.last(), QStringLiteral("Menu_File_Exit"));
        sheet->close();
    }
}

void TestShell::versionBox()
{
    FTitle box;
    QCOMPARE(box.objectName(), QStringLiteral("F_Title"));
    QCOMPARE(box.findChild<QLabel *>(QStringLiteral("Lbl_Version"))->text(), QStringLiteral("Ver. 2.5.0"));
    QCOMPARE(box.findChild<QLabel *>(QStringLiteral("Lbl_Product"))->text(), QStringLiteral("ゼルティカとドルネア"));
    QCOMPARE(box.findChild<QLabel *>(QStringLiteral("Lbl_Platform"))->text(), QStringLiteral("for Windows98/NT"));
    auto *close = box.findChild<QPushButton *>(QStringLiteral("Btn_Close"));
    QCOMPARE(close->text(), QStringLiteral("閉じる"));
    box.show();
    QTest::mouseClick(close, Qt::LeftButton);
    QVERIFY(!box.isVisible());
}

void TestShell::versionText_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("text");
    QTest::newRow("this release") << 2 << 5 << 0 << "Ver. 2.5.0";
    QTest::newRow("revision 12, no padding") << 2 << 5 << 12 << "Ver. 2.5.12";
}

void TestShell::versionText()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, revision);
    QFETCH(QString, text);
    QCOMPARE(FTitle::versionText(major, minor, revision), text);
}

void TestShell::sheetHandsPositionOver_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("sheetName");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("database");
    QTest::newRow("illuminance") << "Btn_Syoudo" << "F_Syoudo" << QStringLiteral("照度計算書") << "t_syou.mdb";
    QTest::newRow("CEC/L") << "Btn_CECL" << "F_CECL" << QStringLiteral("CEC/L計算書") << "t_cecl.mdb";
}

void TestShell::sheetHandsPositionOver()
{
    QFETCH(QString, button);
    QFETCH(QString, sheetName);
    QFETCH(QString, caption);
    QFETCH(QString, database);
    TestEnv env;
    AppContext context;
    context.workFolder = env.workFolder();
    auto *menu = new FMenu(context);
    menu->move(120, 80);
    menu->show();
    QTest::mouseClick(menu->findChild<QPushButton *>(button), Qt::LeftButton);

    QVERIFY(!menu->isVisible());
    QWidget *sheet = visibleWindow(sheetName);
    QVERIFY(sheet);
    QCOMPARE(sheet->windowTitle(), caption + QStringLiteral("[*]")); // the modified mark's place
    QCOMPARE(sheet->pos(), QPoint(120, 80));
    QCOMPARE(SettingsStore::readPosition(QStringLiteral("PosX")), WindowPosition::pixelsToTwips(120));

    // Closing deletes the work database and brings the menu back where the sheet was.
    const QString db = QDir(env.workFolder()).filePath(database);
    QFile f(db);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    sheet->move(300, 210);
    QVERIFY(sheet->close());
    QVERIFY(!QFile::exists(db));
    QVERIFY(menu->isVisible());
    QCOMPARE(menu->pos(), QPoint(300, 210));
    QCOMPARE(SettingsStore::readPosition(QStringLiteral("PosY")), WindowPosition::pixelsToTwips(210));
}

void TestShell::firstRunPlacesMenuTopLeft()
{
    TestEnv env;
    QVERIFY(env.copySampleMasters());
    AppContext context;
    FMenu *menu = nullptr;
    ScriptedDialogs dialogs;
    QCOMPARE(Startup::start(context, env.programDir(), env.workFolder(), &menu), 0);
    QVERIFY(menu && menu->isVisible());
    QCOMPARE(menu->pos(), QPoint(0, 0));
    QVERIFY(dialogs.asked.isEmpty());
    QCOMPARE(context.helpFile, QDir(env.programDir()).filePath(QStringLiteral("prx5m.hlp")));
    QVERIFY(context.masters.lamp(1).present());
}

void TestShell::keysPressTheFocusedButton_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("sheetName");
    QTest::newRow("Enter on 照度計算") << "Btn_Syoudo" << int(Qt::Key_Return) << "F_Syoudo";
    QTest::newRow("Enter of the keypad on ＣＥＣ／Ｌ") << "Btn_CECL" << int(Qt::Key_Enter) << "F_CECL";
    QTest::newRow("Space on 一次エネルギー") << "Btn_BEIL" << int(Qt::Key_Space) << "F_BEIL";
}

// The menu as the program starts it: a focused button is pressed by Enter as by Space.
void TestShell::keysPressTheFocusedButton()
{
    QFETCH(QString, button);
    QFETCH(int, key);
    QFETCH(QString, sheetName);
    TestEnv env;
    QVERIFY(env.copySampleMasters());
    AppContext context;
    FMenu *menu = nullptr;
    ScriptedDialogs dialogs;
    QCOMPARE(Startup::start(context, env.programDir(), env.workFolder(), &menu), 0);
    QApplication::setActiveWindow(menu);
    QVERIFY(QTest::qWaitForWindowActive(menu));
    auto *b = menu->findChild<QPushButton *>(button);
    b->setFocus(Qt::TabFocusReason);
    QTest::keyClick(b, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QTRY_VERIFY(visibleWindow(sheetName));
    QVERIFY(!menu->isVisible());
}

void TestShell::mailFailureShowsMessage()
{
    TestEnv env;
    AppContext context;
    FMenu menu(context);
    menu.show();
    ScriptedDialogs dialogs;
    QList<QUrl> opened;
    FMenu::setUrlOpener([&](const QUrl &url) {
        opened.append(url);
        return false;
    });
    QTest::mouseClick(menu.findChild<QWidget *>(QStringLiteral("Lbl_Mail")), Qt::LeftButton);
    QCOMPARE(opened.size(), 1);
    QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("なんらかの理由によりメールを送れません。")});
    QCOMPARE(dialogs.asked.first().icon, Dialogs::Icon::Critical);

    // A failing browser is silent.
    QTest::mouseClick(menu.findChild<QPushButton *>(QStringLiteral("Btn_HP")), Qt::LeftButton);
    QCOMPARE(opened.size(), 2);
    QCOMPARE(dialogs.asked.size(), 1);
}

void TestShell::mailAndHomePageAddresses()
{
    TestEnv env;
    AppContext context;
    FMenu menu(context);
    ScriptedDialogs dialogs;
    QList<QUrl> opened;
    FMenu::setUrlOpener([&](const QUrl &url) {
        opened.append(url);
        return true;
    });
    menu.sendMail();
    menu.openHomePage();
    QCOMPARE(opened.size(), 2);
    QCOMPARE(opened[0].scheme(), QStringLiteral("mailto"));
    QCOMPARE(opened[0].path(), Links::kSupportMail);
    QCOMPARE(QUrlQuery(opened[0]).queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
             QStringLiteral("ゼルティカとドルネアサポートへ"));
    QVERIFY(opened[1].path().endsWith(QStringLiteral("/zeltika")));
    QVERIFY(dialogs.asked.isEmpty());
}

void TestShell::missingMasterStopsStartup()
{
    TestEnv env;
    QVERIFY(env.copySampleMasters());
    QFile::remove(QDir(env.programDir()).filePath(MasterTables::kRoomFile));
    AppContext context;
    FMenu *menu = nullptr;
    ScriptedDialogs dialogs;
    QCOMPARE(Startup::start(context, env.programDir(), env.workFolder(), &menu), 1);
    QVERIFY(!menu);
    QVERIFY(!visibleWindow(QStringLiteral("F_Menu")));
    QCOMPARE(dialogs.asked.size(), 1);
    QCOMPARE(dialogs.asked.first().icon, Dialogs::Icon::Critical);
    QVERIFY(dialogs.asked.first().text.contains(QStringLiteral("room.mst")));
    QVERIFY(dialogs.asked.first().text.contains(QDir::toNativeSeparators(env.programDir())));
}

void TestShell::leftOverLocksAreTakenOver_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("no lock") << "none" << QByteArray();
    QTest::newRow("empty file (power loss)") << "file" << QByteArray();
    QTest::newRow("garbage") << "file" << QByteArray("\xff\xfe garbage \x01\x02");
    QTest::newRow("a process that is gone") << "file" << QByteArray("999999\nprx5m\nthis-host\n");
    QTest::newRow("another host") << "file" << QByteArray("1\nprx5m\nsome-other-machine\n");
    QTest::newRow("an empty folder") << "folder" << QByteArray();
    QTest::newRow("a fifo") << "fifo" << QByteArray();
    QTest::newRow("no rights to read it") << "unreadable" << QByteArray("1\n");
}

void TestShell::leftOverLocksAreTakenOver()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString lock = dir.filePath(QStringLiteral("prx5m.lock"));
    if (kind == u"file" || kind == u"unreadable")
        TestEnv::writeBytes(lock, content);
    if (kind == u"unreadable")
        QFile::setPermissions(lock, {});
    if (kind == u"folder")
        QVERIFY(QDir().mkdir(lock));
    if (kind == u"fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(lock).constData(), 0600), 0);
    {
        SingleInstance instance(lock);
        QString error;
        QCOMPARE(instance.acquire(&error), SingleInstance::Result::Acquired);
        QVERIFY(error.isEmpty());
        QVERIFY(QFileInfo(lock).isFile());
        QCOMPARE(TestEnv::readBytes(lock), QByteArray::number(qint64(::getpid())) + '\n');
    }
    // Taken again after the holder has gone.
    SingleInstance again(lock);
    QCOMPARE(again.acquire(), SingleInstance::Result::Acquired);
}

void TestShell::lockHeldByARunningCopy()
{
    QTemporaryDir dir;
    const QString lock = dir.filePath(QStringLiteral("prx5m.lock"));
    SingleInstance running(lock);
    QCOMPARE(running.acquire(), SingleInstance::Result::Acquired);
    SingleInstance second(lock);
    QString error;
    QCOMPARE(second.acquire(&error), SingleInstance::Result::HeldByRunningCopy);
    QVERIFY(error.isEmpty()); // a second copy ends silently
}

void TestShell::lockThatCannotBeTakenIsReported()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkdir(folder));
    if (!TestEnv::makeFolderUnwritable(folder))
        QSKIP("no way to make a folder unwritable here");
    SingleInstance instance(folder + QStringLiteral("/prx5m.lock"));
    QString error;
    const SingleInstance::Result result = instance.acquire(&error);
    TestEnv::makeFolderWritable(folder);
    QCOMPARE(result, SingleInstance::Result::Failed);
    QVERIFY2(error.contains(QStringLiteral("prx5m.lock")) && error.contains(QStringLiteral("起動できません")),
             qPrintable(error));
}

void TestShell::fileOpensInTheSheetOfItsColumns_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("sheetName");
    QTest::newRow("an illuminance file") << "office-3f.syw" << "F_Syoudo";
    QTest::newRow("a CEC/L file") << "office-3f-cecl.syw" << "F_CECL";
    QTest::newRow("a BEI/L file") << "office-3f-beil.syw" << "F_BEIL";
    QTest::newRow("an emergency file") << "office-3f-emergency.syw" << "F_Hijou";
    // Saved from another sheet on this machine: that sheet, whatever its columns name.
    QTest::newRow("a BEI/L file saved from the CEC/L sheet") << "office-3f-beil.syw|F_CECL" << "F_CECL";
    QTest::newRow("an emergency file saved from the illuminance sheet") << "office-3f-emergency.syw|F_Syoudo" << "F_Syoudo";
}

void TestShell::fileOpensInTheSheetOfItsColumns()
{
    QFETCH(QString, file);
    QFETCH(QString, sheetName);
    TestEnv env;
    ScriptedDialogs dialogs; // the options a file without them asks for are cancelled
    AppContext context;
    context.workFolder = env.workFolder();
    QVERIFY(context.masters.loadAll(TestEnv::buildDir(), nullptr));
    FMenu menu(context);
    menu.show();
    QString path = QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/") + file.section(u'|', 0, 0));
    QTemporaryDir dir;
    if (file.contains(u'|')) {
        // Opened in its own sheet from the menu, saved under another name from the sheet named.
        const QString copy = dir.filePath(QStringLiteral("copy.syw"));
        QVERIFY(menu.openFile(path));
        menu.openSheet()->close();
        QMetaObject::invokeMethod(&menu, file.section(u'|', 1) == u"F_CECL" ? "openCECL" : "openSyoudo");
        QVERIFY(menu.openSheet());
        dialogs.paths = {path, copy};
        menu.openSheet()->Menu_File_Open_Click();
        menu.openSheet()->Menu_File_NSave_Click();
        QVERIFY(QFile::exists(copy));
        menu.openSheet()->close();
        path = copy;
    }
    QVERIFY(menu.openFile(path));
    QWidget *sheet = visibleWindow(sheetName);
    QVERIFY(sheet);
    QCOMPARE(menu.openSheet()->currentFileName(), path);
    QVERIFY(!menu.isVisible());
    // Another file while a sheet is open: that sheet closes first (nothing changed: no question).
    QVERIFY(menu.openFile(QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f.syw"))));
    QCOMPARE(menu.openSheet()->objectName(), QStringLiteral("F_Syoudo"));
    QVERIFY(dialogs.messages().isEmpty());
    menu.openSheet()->close();
}

void TestShell::fileHandedToTheRunningCopy()
{
    QTemporaryDir dir;
    const QString socket = dir.filePath(QStringLiteral("prx5m.socket"));
    HandOver running(socket);
    QVERIFY(running.listen(nullptr));
    QStringList handed;
    connect(&running, &HandOver::handed, this, [&handed](const QString &path) { handed.append(path); });
    // The second copy, as main() runs it, on a thread of its own while this one serves.
    const QString path = QStringLiteral("/tmp/事務所\n改修.syw"); // a line break in a name travels whole
    std::atomic<int> answers = 0;
    std::thread second([&] {
        answers += HandOver::send(path, socket, 5000) ? 1 : 0;
        answers += HandOver::send(QString(), socket, 5000) ? 1 : 0;
    });
    QTRY_COMPARE_WITH_TIMEOUT(handed.size(), 2, 10000);
    second.join();
    QCOMPARE(answers.load(), 2);
    QCOMPARE(handed, (QStringList{path, QString()}));
    // No copy listening: the second copy is told so at once.
    QVERIFY(!HandOver::send(path, dir.filePath(QStringLiteral("none.socket")), 1000));
}

void TestShell::handOverLineReadStrictly_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("read");
    QTest::addColumn<QString>("path");
    QTest::newRow("a path") << QStringLiteral("/tmp/事務所\n改修.syw").toUtf8().toBase64() << true << "/tmp/事務所\n改修.syw";
    QTest::newRow("only to the front") << QByteArray() << true << "";
    QTest::newRow("not base64") << QByteArray("/tmp/a.syw") << false << "";
    QTest::newRow("base64 with a stray character") << QByteArray("L3RtcC9h*LnN5dw==") << false << "";
    QTest::newRow("not UTF-8") << QByteArray("/tmp/\xff.syw").toBase64() << false << "";
    QTest::newRow("a NUL in it") << QByteArray("/tmp/a\0b.syw", 12).toBase64() << false << "";
    QTest::newRow("longer than a line may be") << QByteArray(70000, 'A') << false << "";
}

void TestShell::handOverLineReadStrictly()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, read);
    QFETCH(QString, path);
    const auto got = HandOverMessage::decode(line);
    QCOMPARE(bool(got), read);
    if (read)
        QCOMPARE(*got, path);
}

void TestShell::handOversWaitTheirTurn()
{
    TestEnv env;
    ScriptedDialogs dialogs;
    AppContext context;
    context.workFolder = env.workFolder();
    QVERIFY(context.masters.loadAll(TestEnv::buildDir(), nullptr));
    FMenu menu(context);
    menu.show();
    // 3,800 hand-overs of missing files, each arriving while the previous one's message is up.
    QTemporaryDir dir;
    int sent = 0, depth = 0, deepest = 0;
    dialogs.whileShown = [&] {
        ++depth;
        deepest = std::max(deepest, depth);
        if (sent < 3800) {
            ++sent;
            menu.handOver(dir.filePath(QStringLiteral("gone-%1.syw").arg(sent % 3)));
            menu.handOver(dir.filePath(QStringLiteral("gone-%1.syw").arg(sent % 3))); // a repeat is one
        }
        --depth;
    };
    menu.handOver(dir.filePath(QStringLiteral("gone-0.syw")));
    QCOMPARE(sent, 3800);
    QCOMPARE(deepest, 1); // one question at a time
    QCOMPARE(dialogs.messages().size(), 3801);
    QVERIFY(dialogs.messages().first().startsWith(QStringLiteral("データの読込に失敗しました。")));
    QVERIFY(menu.waitingFiles().isEmpty());
}

void TestShell::secondStartWaitsForTheListener_data()
{
    QTest::addColumn<int>("listensAfterMs"); // -1: never
    QTest::addColumn<bool>("letsGo");        // the first copy ends without listening
    QTest::addColumn<int>("start");          // HandOver::Start
    QTest::newRow("the first copy listens a moment later") << 800 << false << int(HandOver::Start::Handed);
    QTest::newRow("the first copy ends without listening") << -1 << true << int(HandOver::Start::First);
    QTest::newRow("the first copy never listens") << -1 << false << int(HandOver::Start::NotHanded);
}

void TestShell::secondStartWaitsForTheListener()
{
    QFETCH(int, listensAfterMs);
    QFETCH(bool, letsGo);
    QFETCH(int, start);
    QTemporaryDir dir;
    const QString lock = dir.filePath(QStringLiteral("prx5m.lock")), socket = dir.filePath(QStringLiteral("prx5m.socket"));
    auto first = std::make_unique<SingleInstance>(lock);
    QCOMPARE(first->acquire(), SingleInstance::Result::Acquired);
    HandOver running(socket);
    QStringList handed;
    connect(&running, &HandOver::handed, this, [&handed](const QString &path) { handed.append(path); });
    if (listensAfterMs >= 0)
        QTimer::singleShot(listensAfterMs, this, [&running] { running.listen(nullptr); });
    if (letsGo)
        QTimer::singleShot(600, this, [&first] { first.reset(); });
    // The second copy on a thread of its own, as main() runs it, while this one serves.
    std::atomic<int> result = -1;
    const QString file = QStringLiteral("/tmp/事務所.syw");
    std::thread second([&] {
        SingleInstance mine(lock);
        QString error;
        result = int(HandOver::startOrHand(mine, file, &error, socket, 2500));
    });
    QTRY_VERIFY_WITH_TIMEOUT(result >= 0, 15000);
    second.join();
    QCOMPARE(result.load(), start);
    if (start == int(HandOver::Start::Handed))
        QCOMPARE(handed, QStringList{file});
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
