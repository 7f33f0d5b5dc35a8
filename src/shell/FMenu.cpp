#include "shell/FMenu.h"

#include "cecl/FCECL.h"
#include "illuminance/FSyoudo.h"
#include "shell/AppContext.h"
#include "shell/Links.h"
#include "ui/ClickableLabel.h"
#include "ui/Dialogs.h"
#include "ui/WindowPosition.h"
#include "version.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFrame>
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

QPushButton *makeButton(const QString &name, const QString &caption, QWidget *parent, int height)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setMinimumHeight(height);
    return button;
}

} // namespace

FMenu::FMenu(AppContext &context, QWidget *parent)
    : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("F_Menu"));
    setWindowTitle(QStringLiteral("ゼルティカとドルネア"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);

    auto *title = new QLabel(QStringLiteral("ゼルティカとドルネア"), this);
    title->setObjectName(QStringLiteral("Lbl_Title"));
    title->setAlignment(Qt::AlignCenter);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    title->setFont(titleFont);
    auto *subtitle = new QLabel(QStringLiteral("照度計算・照明エネルギー消費係数計算"), this);
    subtitle->setAlignment(Qt::AlignCenter);

    QPushButton *cecl = makeButton(QStringLiteral("Btn_CECL"), QStringLiteral("Ｃ Ｅ Ｃ ／ Ｌ"), this, 44);
    QPushButton *syoudo = makeButton(QStringLiteral("Btn_Syoudo"), QStringLiteral("照 度 計 算"), this, 44);
    QFont big = syoudo->font();
    big.setPointSizeF(big.pointSizeF() * 1.25);
    cecl->setFont(big);
    syoudo->setFont(big);
    QPushButton *hp = makeButton(QStringLiteral("Btn_HP"), QStringLiteral("最新情報"), this, 28);
    auto *mail = new ClickableLabel(QStringLiteral("ご意見，要望，バグ情報など"), this);
    mail->setObjectName(QStringLiteral("Lbl_Mail"));
    mail->setAlignment(Qt::AlignCenter);
    mail->setStyleSheet(QStringLiteral("color: #1a4f9c; text-decoration: underline;"));
    QPushButton *end = makeButton(QStringLiteral("Btn_End"), QStringLiteral("終    了"), this, 28);

    auto *rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 16);
    layout->setSpacing(8);
    layout->addWidget(title);
    layout->addWidget(subtitle);
    layout->addSpacing(8);
    layout->addWidget(syoudo);
    layout->addWidget(cecl);
    layout->addSpacing(4);
    layout->addWidget(rule);
    layout->addWidget(hp);
    layout->addWidget(mail);
    layout->addSpacing(4);
    layout->addWidget(end);

    connect(syoudo, &QPushButton::clicked, this, &FMenu::openSyoudo);
    connect(cecl, &QPushButton::clicked, this, &FMenu::openCECL);
    connect(hp, &QPushButton::clicked, this, &FMenu::openHomePage);
    connect(mail, &ClickableLabel::clicked, this, &FMenu::sendMail);
    connect(end, &QPushButton::clicked, this, &FMenu::close);

    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
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
    if (!m_context.helpFile.isEmpty())
        sheet->setHelpFile(m_context.helpFile);
    showSheet(sheet);
}

void FMenu::openCECL()
{
    showSheet(new FCECL(m_context.masters, m_context.workFolder));
}

void FMenu::showSheet(SheetWindow *sheet)
{
    hide();
    WindowPosition::store(this);
    WindowPosition::restore(sheet);
    connect(sheet, &SheetWindow::closed, this, [this] {
        WindowPosition::restore(this);
        show();
    });
    m_sheet = sheet;
    sheet->show();
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
