#include "ui/HelpWindow.h"

#include <QFile>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTextBrowser>
#include <QTimer>

namespace HelpWindow {

bool show(QWidget *parent, const QString &helpFile, const QString &anchor)
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
        // At most 720 x 640, and never beyond the free area of the screen it opens on.
        const QScreen *screen = parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen();
        const QRect free = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 700);
        window->resize(std::min(720, free.width() * 9 / 10), std::min(640, free.height() * 8 / 10));
        window->move(free.left() + (free.width() - window->width()) / 2, free.top() + (free.height() - window->height()) / 3);
    }
    window->setHtml(QString::fromUtf8(file.readAll()));
    window->setWindowTitle(window->documentTitle());
    window->show();
    window->raise();
    // Scrolled once the window is shown and its text laid out at the window's width.
    if (!anchor.isEmpty()) {
        window->scrollToAnchor(anchor);
        QTimer::singleShot(0, window.data(), [anchor] {
            if (window)
                window->scrollToAnchor(anchor);
        });
    }
    return true;
}

} // namespace HelpWindow
