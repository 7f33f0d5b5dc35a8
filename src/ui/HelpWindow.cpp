#include "ui/HelpWindow.h"

#include <QFile>
#include <QPointer>
#include <QTextBrowser>

namespace HelpWindow {

bool show(QWidget *parent, const QString &helpFile)
{
    QFile file(helpFile);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    static QPointer<QTextBrowser> window;
    if (!window) {
        window = new QTextBrowser(parent);
        window->setWindowFlag(Qt::Window);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setObjectName(QStringLiteral("HelpWindow"));
        window->setOpenExternalLinks(false);
        window->resize(720, 640);
    }
    window->setHtml(QString::fromUtf8(file.readAll()));
    window->setWindowTitle(window->documentTitle());
    window->show();
    window->raise();
    return true;
}

} // namespace HelpWindow
