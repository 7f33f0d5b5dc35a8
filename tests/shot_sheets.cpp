// Renders the windows to PNG files for a look at them: shot_sheets OUTPUT_DIR
// (run under Xvfb at the screen size to look at, or with QT_QPA_PLATFORM=offscreen; the pictures
// are the windows' own drawing). scripts/shots.sh runs it at 1366x768 with 125 % scaling and at
// 1920x1080.
#include "beil/FBEIL.h"
#include "beil/FBEILOP.h"
#include "emergency/FHijou.h"
#include "emergency/FHijouImport.h"
#include "beil/FMondai.h"
#include "grid/WorkFile.h"
#include "cecl/FCECL.h"
#include "illuminance/FSyoudo.h"
#include "shell/AppContext.h"
#include "shell/FMenu.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"
#include "ui/FTitle.h"
#include "illuminance/FBunpu.h"
#include "illuminance/FHaikou.h"
#include "illuminance/FYouken.h"
#include "illuminance/RoomRecord.h"
#include "ui/QtDialogs.h"
#include "ui/Translations.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace {

QString g_out;

void save(QWidget *w, const QString &name)
{
    w->grab().save(QDir(g_out).filePath(name + QStringLiteral(".png")));
}

// Grabs the modal window that `open` brings up, then closes it.
void grabModal(const QString &name, const std::function<void()> &open)
{
    QTimer::singleShot(1500, [name] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            save(modal, name);
            modal->close();
        }
    });
    open();
}

void showActive(QWidget *w)
{
    w->show();
    QApplication::setActiveWindow(w);
    if (!QTest::qWaitForWindowActive(w))
        std::printf("%s not active\n", qPrintable(w->objectName()));
    QApplication::processEvents();
}

void shootTabs(QWidget *sheet, const QString &prefix)
{
    auto *tabs = sheet->findChild<QTabWidget *>(QStringLiteral("STab_Main"));
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        QApplication::processEvents();
        save(sheet, QStringLiteral("%1_tab%2").arg(prefix).arg(i));
    }
    tabs->setCurrentIndex(0);
}

} // namespace

int main(int argc, char *argv[])
{
    Translations::prepareJapaneseDates();
    QApplication app(argc, argv);
    Translations::installJapanese();
    g_out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(g_out);
    TestEnv env;
    env.copySampleMasters();
    AppContext context;
    QString error;
    context.masters.loadAll(env.programDir(), &error);
    const QString example = QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f.syw"));
    const QString ceclExample = QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f-cecl.syw"));

    FMenu menu(context);
    showActive(&menu);
    save(&menu, QStringLiteral("menu"));
    menu.hide();
    FTitle title;
    showActive(&title);
    save(&title, QStringLiteral("title"));
    title.hide();

    {
        ScriptedDialogs scripted;
        auto *sheet = new FSyoudo(context.masters, env.workFolder());
        showActive(sheet);
        scripted.paths = {example};
        sheet->Menu_File_Open_Click();
        save(sheet, QStringLiteral("syoudo"));
        // The worked example's room on the panel: the first room of the example office.
        sheet->findChild<QLineEdit *>(QStringLiteral("Txt_Syoudo1"))->setFocus();
        shootTabs(sheet, QStringLiteral("syoudo"));
        grabModal(QStringLiteral("preview"), [sheet] { sheet->Menu_File_Preview_Click(); });
        // 配光データから照明器具を追加, with the sample downlight read.
        {
            FHaikou dialog(context.masters, env.programDir(), sheet);
            scripted.paths = {QDir(TestEnv::sourceDir()).filePath(QStringLiteral("data/photometry/downlight-dl2000.ies"))};
            dialog.show();
            dialog.Btn_File_Click();
            QApplication::processEvents();
            save(&dialog, QStringLiteral("haikou"));
        }
        // 照度分布 of the first office (row 3) and of the entrance hall (rows 1 and 2, two kinds of
        // luminaire), with the photometric files beside the program, at the size they open.
        for (const int row : {3, 1}) {
            FBunpu window(sheet->recordGrid(), row, context.masters, TestEnv::buildDir(),
                          RoomDistribution::headingsOf(sheet->recordGrid(), QString()), QString(), sheet);
            window.show();
            QApplication::processEvents();
            save(&window, QStringLiteral("bunpu_%1").arg(row));
        }
        // 照明要件チェック of the example, at the size it opens, on the first office.
        {
            FYouken window(sheet->recordGrid(), context.masters, TestEnv::buildDir(), example, env.workFolder(), sheet);
            if (window.prepare()) {
                window.show();
                QApplication::processEvents();
                save(&window, QStringLiteral("youken"));
            }
        }
        sheet->setAttribute(Qt::WA_DeleteOnClose, false);
        delete sheet;
    }
    // The real open dialog, in Japanese.
    grabModal(QStringLiteral("open_dialog"), [&] {
        QtDialogs dialogs;
        dialogs.openFile(nullptr, QStringLiteral("*.syw"), QStringLiteral("照度 (*.syw)|*.syw"), 1);
    });
    if (QFile::exists(ceclExample)) {
        ScriptedDialogs scripted;
        auto *sheet = new FCECL(context.masters, env.workFolder());
        showActive(sheet);
        scripted.paths = {ceclExample};
        sheet->Menu_File_Open_Click();
        shootTabs(sheet, QStringLiteral("cecl"));
        grabModal(QStringLiteral("cecl_preview"), [sheet] { sheet->Menu_File_Preview_Click(); });
        sheet->setAttribute(Qt::WA_DeleteOnClose, false);
        delete sheet;
    }
    const QString beilExample = QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f-beil.syw"));
    if (QFile::exists(beilExample)) {
        ScriptedDialogs scripted;
        auto *sheet = new FBEIL(context.masters, env.workFolder());
        showActive(sheet);
        scripted.paths = {beilExample};
        sheet->Menu_File_Open_Click();
        sheet->setText(QStringLiteral("Txt_Gyou"), QStringLiteral("3"));
        sheet->Screen_Set(3);
        shootTabs(sheet, QStringLiteral("beil"));
        grabModal(QStringLiteral("beil_preview"), [sheet] { sheet->Menu_File_Preview_Click(); });
        sheet->setAttribute(Qt::WA_DeleteOnClose, false);
        delete sheet;
        // The list of problems (three faults and a choice that does not suit its room) and the options.
        RecordGrid g(221, 140);
        WorkFile::load(g, beilExample);
        g.setText(5, 104, QStringLiteral("abc"));
        g.setText(10, 122, QString());
        g.setText(1, 104, QString());
        g.setText(2, 104, QString());
        g.setText(4, 125, QStringLiteral("点滅方式"));
        QList<BeilRooms::Room> rooms;
        QList<BeilRooms::Problem> problems;
        BeilRooms::evaluateBuilding(g, StandardValues::shipped(), &rooms, &problems);
        FMondai list(problems, QStringLiteral("計算書を作成"));
        showActive(&list);
        save(&list, QStringLiteral("beil_problems"));
        list.hide();
        FBEILOP options(g);
        showActive(&options);
        save(&options, QStringLiteral("beil_options"));
        options.hide();
    }
    const QString hijouExample = QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f-emergency.syw"));
    {
        ScriptedDialogs scripted;
        auto *sheet = new FHijou(context.masters, env.workFolder());
        sheet->setProgramDir(TestEnv::buildDir());
        showActive(sheet);
        scripted.paths = {hijouExample};
        sheet->Menu_File_Open_Click();
        // The failing corridor on the panel, then the entrance hall with its typed positions.
        for (int row : {19, 1}) {
            sheet->focus(QStringLiteral("Txt_Gyou"));
            sheet->setText(QStringLiteral("Txt_Gyou"), QString::number(row));
            sheet->focus(QStringLiteral("Txt_Daisu"));
            QApplication::processEvents();
            save(sheet, QStringLiteral("hijou_row%1").arg(row));
        }
        shootTabs(sheet, QStringLiteral("hijou"));
        grabModal(QStringLiteral("hijou_preview"), [sheet] { sheet->Menu_File_Preview_Click(); });
        {
            FHijouImport import(sheet->master(), QDir(env.programDir()).filePath(QStringLiteral("hijou.csv")), sheet);
            showActive(&import);
            // What it is about to register, shown before it does.
            const QStringList samples = QDir(QDir(TestEnv::buildDir()).filePath(QStringLiteral("photometry")))
                                            .entryList({QStringLiteral("*.ies")}, QDir::Files, QDir::Name);
            if (!samples.isEmpty())
                import.findChild<QLineEdit *>(QStringLiteral("Txt_File"))
                    ->setText(QDir(TestEnv::buildDir()).filePath(QStringLiteral("photometry/") + samples.first()));
            QApplication::processEvents();
            save(&import, QStringLiteral("hijou_import"));
        }
        sheet->setAttribute(Qt::WA_DeleteOnClose, false);
        delete sheet;
    }
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    std::printf("screen (logical) %dx%d, pictures in %s\n", screen.width(), screen.height(), qPrintable(g_out));
    return 0;
}
