// Renders the windows to PNG files for a look at them: shot_sheets OUTPUT_DIR
// (run under Xvfb or with QT_QPA_PLATFORM=offscreen; the pictures are the windows' own drawing).
#include "illuminance/FSyoudo.h"
#include "shell/AppContext.h"
#include "shell/FMenu.h"
#include "support/TestEnv.h"
#include "ui/FTitle.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    TestEnv env;
    env.copySampleMasters();
    AppContext context;
    QString error;
    context.masters.loadAll(env.programDir(), &error);

    FMenu menu(context);
    menu.show();
    menu.grab().save(QDir(out).filePath(QStringLiteral("menu.png")));
    FTitle title;
    title.show();
    title.grab().save(QDir(out).filePath(QStringLiteral("title.png")));

    FSyoudo sheet(context.masters, env.workFolder());
    sheet.show();
    QApplication::setActiveWindow(&sheet);
    if (!QTest::qWaitForWindowActive(&sheet))
        return 1;
    const QList<QPair<QString, QString>> room = {
        {"Txt_Kai", "1"},          {"Txt_Shitsu", "事務室"},   {"Txt_Shitsu2", "（東側）"},
        {"Txt_Syoudo1", "500"},    {"Txt_Maguchi", "10"},      {"Txt_Okuyuki", "8"},
        {"Txt_Takasa", "2.7"},     {"Txt_Stakasa", "0.85"},    {"Txt_Kudari", "0"},
    };
    sheet.findChild<QLineEdit *>(QStringLiteral("Txt_Kai"))->setFocus(); // leaves the row field first
    for (const auto &[name, value] : room)
        sheet.setText(name, value);
    sheet.findChild<QTableWidget *>(QStringLiteral("Spd_Syoumei"))->cellClicked(0, 0);
    sheet.findChild<QTableWidget *>(QStringLiteral("Spd_Kougen"))->cellClicked(2, 0);
    sheet.setText(QStringLiteral("Txt_WTousu"), QStringLiteral("2"));
    sheet.findChild<QLineEdit *>(QStringLiteral("Txt_Syoudo1"))->setFocus();
    sheet.findChild<QPushButton *>(QStringLiteral("Btn_Hansya_0"))->click();
    sheet.findChild<QPushButton *>(QStringLiteral("Btn_Hosyu_0"))->click();
    sheet.findChild<QLineEdit *>(QStringLiteral("Txt_Daisu"))->setFocus();
    QApplication::processEvents();
    auto *tabs = sheet.findChild<QTabWidget *>(QStringLiteral("STab_Main"));
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        QApplication::processEvents();
        sheet.grab().save(QDir(out).filePath(QStringLiteral("syoudo_tab%1.png").arg(i)));
    }
    // The preview window over the example office.
    sheet.Btn_Adv_Click();
    QTimer::singleShot(1500, [&out] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            modal->grab().save(QDir(out).filePath(QStringLiteral("preview.png")));
            modal->close();
        }
    });
    sheet.Menu_File_Preview_Click();
    return 0;
}
