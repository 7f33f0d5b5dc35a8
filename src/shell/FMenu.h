#pragma once

#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <QWidget>

#include <functional>

struct AppContext;
namespace Ui {
class F_Menu;
}
#include "sheet/SheetFrame.h"

// The main menu: opens one sheet at a time, hiding itself while the sheet is open.
class FMenu : public QWidget
{
    Q_OBJECT
public:
    explicit FMenu(AppContext &context, QWidget *parent = nullptr);
    ~FMenu() override;

    // How addresses are opened (a browser, a mail program); tests put their own in.
    using UrlOpener = std::function<bool(const QUrl &)>;
    static void setUrlOpener(UrlOpener opener);

    SheetFrame *openSheet() const { return m_sheet; }

    // The mail link: "mailto:" + address + "?subject=" + subject.
    static QUrl supportMailUrl();

    // A work file named on the command line or handed over by another copy: opened in the sheet
    // whose columns it holds, the sheet open now closed first (after its question). "" only
    // brings the program to the front. False when nothing was opened.
    bool openFile(const QString &path);
    // A file handed over by another copy: queued, one question at a time (a hand-over that
    // arrives while one is being opened waits for it), the same path queued once.
    void handOver(const QString &path);
    // The files waiting to be opened (tests).
    QStringList waitingFiles() const { return m_waiting; }

public slots:
    void openSyoudo();
    void openCECL();
    void openBEIL();
    void openHijou();
    // 照明要件チェック of a work file chosen here; the requirements recorded are saved into it
    // when the user says so.
    void openYouken();
    void openHomePage();
    void sendMail();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showSheet(SheetFrame *sheet);
    void toFront();

    Ui::F_Menu *m_ui;
    AppContext &m_context;
    QPointer<SheetFrame> m_sheet;
    QStringList m_waiting;    // handed over, not opened yet
    bool m_opening = false;   // a handed-over file is being opened (its questions may be open)
};
