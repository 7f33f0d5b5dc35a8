#include "shell/FMenu.h"

#include "ui_F_Menu.h"

#include "beil/FBEIL.h"
#include <QFileInfo>
#include <QCoreApplication>
#include "settings/SettingsStore.h"
#include "illuminance/RoomRecord.h"
#include "illuminance/FYouken.h"
#include "emergency/FHijou.h"
#include "cecl/FCECL.h"
#include "illuminance/FSyoudo.h"
#include "shell/AppContext.h"
#include "grid/WorkFile.h"
#include "rows/SharedFields.h"
#include "sheet/SavedSheet.h"
#include "shell/Links.h"
#include "ui/ClickableLabel.h"
#include "ui/Dialogs.h"
#include "ui/WindowPosition.h"
#include "version.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDesktopServices>
#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QUrlQuery>
#include <QVBoxLayout>

namespace {

FMenu::UrlOpener &urlOpener()
{
    static FMenu::UrlOpener opener = [](const QUrl &url) { return QDesktopServices::openUrl(url); };
    return opener;
}

} // namespace

FMenu::FMenu(AppContext &context, QWidget *parent)
    : QWidget(parent), m_ui(new Ui::F_Menu), m_context(context)
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    connect(m_ui->Btn_Syoudo, &QPushButton::clicked, this, &FMenu::openSyoudo);
    connect(m_ui->Btn_CECL, &QPushButton::clicked, this, &FMenu::openCECL);
    connect(m_ui->Btn_BEIL, &QPushButton::clicked, this, &FMenu::openBEIL);
    connect(m_ui->Btn_Hijou, &QPushButton::clicked, this, &FMenu::openHijou);
    connect(m_ui->Btn_Youken, &QPushButton::clicked, this, &FMenu::openYouken);
    connect(m_ui->Btn_HP, &QPushButton::clicked, this, &FMenu::openHomePage);
    connect(m_ui->Lbl_Mail, &ClickableLabel::clicked, this, &FMenu::sendMail);
    connect(m_ui->Btn_End, &QPushButton::clicked, this, &FMenu::close);
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
}

FMenu::~FMenu()
{
    delete m_ui;
}

void FMenu::setUrlOpener(UrlOpener opener)
{
    urlOpener() = opener ? std::move(opener) : [](const QUrl &url) { return QDesktopServices::openUrl(url); };
}

QUrl FMenu::supportMailUrl()
{
    QUrl url(QStringLiteral("mailto:") + Links::kSupportMail);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"), Links::kMailSubject);
    url.setQuery(query);
    return url;
}

void FMenu::openSyoudo()
{
    auto *sheet = new FSyoudo(m_context.masters, m_context.workFolder);
    if (!m_context.programDir.isEmpty())
        sheet->setProgramDir(m_context.programDir);
    if (!m_context.helpFile.isEmpty())
        sheet->setHelpFile(m_context.helpFile);
    showSheet(sheet);
}

void FMenu::openCECL()
{
    showSheet(new FCECL(m_context.masters, m_context.workFolder));
}

void FMenu::openBEIL()
{
    showSheet(new FBEIL(m_context.masters, m_context.workFolder));
}

void FMenu::openHijou()
{
    auto *sheet = new FHijou(m_context.masters, m_context.workFolder);
    if (!m_context.programDir.isEmpty())
        sheet->setProgramDir(m_context.programDir);
    if (!m_context.helpFile.isEmpty())
        sheet->setHelpFile(m_context.helpFile);
    showSheet(sheet);
}

void FMenu::openYouken()
{
    const QString folder = SettingsStore::readPath(QStringLiteral("YoukenFolder"));
    const QString path = Dialogs::instance().openFile(this, folder.isEmpty() ? QStringLiteral("*.syw") : QDir(folder).filePath(QStringLiteral("*.syw")),
                                                      QStringLiteral("作業ファイル (*.syw)|*.syw"), 1);
    if (path.isEmpty())
        return;
    SettingsStore::writePath(QStringLiteral("YoukenFolder"), QFileInfo(path).absolutePath());
    RecordGrid grid(RoomRecord::kRows, RoomRecord::kColumns);
    WorkFile::Error error = WorkFile::Error::None;
    if (!WorkFile::load(grid, path, &error)) {
        Dialogs::inform(this, QStringLiteral("データの読込に失敗しました。"),
                        QStringLiteral("%1\n%2").arg(QDir::toNativeSeparators(path), WorkFile::errorText(error)));
        return;
    }
    const QString programDir = m_context.programDir.isEmpty() ? QCoreApplication::applicationDirPath() : m_context.programDir;
    FYouken window(grid, m_context.masters, programDir, path, m_context.workFolder, this);
    if (!window.prepare())
        return;
    Dialogs::instance().execute(window);
    if (!window.changed()
        || Dialogs::instance().message(this, QStringLiteral("記録した照明要件を %1 に保存しますか？").arg(QDir::toNativeSeparators(path)),
                                       Dialogs::kTitle, Dialogs::Icon::Question, Dialogs::Buttons::YesNo)
               != Dialogs::Answer::Yes)
        return;
    QString reason;
    if (!WorkFile::save(window.grid(), path, &error, &reason))
        Dialogs::inform(this, QStringLiteral("保存できませんでした。"), QStringLiteral("%1\n%2").arg(QDir::toNativeSeparators(path), reason));
}

void FMenu::showSheet(SheetFrame *sheet)
{
    hide();
    WindowPosition::store(this);
    WindowPosition::restore(sheet);
    connect(sheet, &SheetFrame::closed, this, [this] {
        WindowPosition::restore(this);
        show();
    });
    m_sheet = sheet;
    sheet->show();
}

void FMenu::toFront()
{
    QWidget *w = m_sheet ? static_cast<QWidget *>(m_sheet.data()) : this;
    if (w->isMinimized())
        w->showNormal();
    w->raise();
    w->activateWindow();
}

bool FMenu::openFile(const QString &path)
{
    if (path.isEmpty()) {
        toFront();
        return false;
    }
    RecordGrid grid(221, 1);
    WorkFile::Error error = WorkFile::Error::None;
    if (!WorkFile::load(grid, path, &error)) {
        toFront();
        Dialogs::inform(m_sheet ? static_cast<QWidget *>(m_sheet.data()) : this, QStringLiteral("データの読込に失敗しました。"),
                        QStringLiteral("%1\n%2").arg(QDir::toNativeSeparators(path), WorkFile::errorText(error)));
        return false;
    }
    // The sheet open now goes first, with its own question about its changes.
    if (m_sheet && !m_sheet->close()) {
        toFront();
        return false;
    }
    // The sheet it was last saved from here, else the one its columns name.
    static const QHash<QString, SharedFields::Sheet> saved = {
        {QStringLiteral("F_Syoudo"), SharedFields::Sheet::Illuminance},
        {QStringLiteral("F_CECL"), SharedFields::Sheet::Cecl},
        {QStringLiteral("F_BEIL"), SharedFields::Sheet::Beil},
        {QStringLiteral("F_Hijou"), SharedFields::Sheet::Emergency},
    };
    const QString savedFrom = SavedSheet::of(path);
    switch (saved.contains(savedFrom) ? saved.value(savedFrom) : SharedFields::sheetOfFile(grid)) {
    case SharedFields::Sheet::Cecl:
        openCECL();
        break;
    case SharedFields::Sheet::Beil:
        openBEIL();
        break;
    case SharedFields::Sheet::Emergency:
        openHijou();
        break;
    case SharedFields::Sheet::Illuminance:
        openSyoudo();
    }
    toFront();
    return m_sheet && m_sheet->openFile(path);
}

void FMenu::handOver(const QString &path)
{
    if (path.isEmpty()) {
        toFront();
        return;
    }
    if (!m_waiting.contains(path))
        m_waiting.append(path);
    // Already opening one: its question is on the screen, the others wait their turn.
    if (m_opening)
        return;
    m_opening = true;
    while (!m_waiting.isEmpty())
        openFile(m_waiting.takeFirst());
    m_opening = false;
}

void FMenu::openHomePage()
{
    // Failures to open the browser are silent.
    urlOpener()(QUrl(Links::kHomePage));
}

void FMenu::sendMail()
{
    if (!urlOpener()(supportMailUrl())) {
        Dialogs::instance().message(this, QStringLiteral("なんらかの理由によりメールを送れません。"),
                                    QStringLiteral(PRX5M_PRODUCT_NAME), Dialogs::Icon::Critical,
                                    Dialogs::Buttons::Ok);
    }
}

void FMenu::closeEvent(QCloseEvent *event)
{
    // Ending the menu ends the program at once.
    event->accept();
    QApplication::quit();
}
