#include "ui/WindowPosition.h"

#include "settings/SettingsStore.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace {

double logicalDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

} // namespace

namespace WindowPosition {

double pixelsToTwips(int pixels)
{
    return pixels * 1440.0 / logicalDpi();
}

int twipsToPixels(double twips)
{
    const double px = std::round(twips * logicalDpi() / 1440.0);
    // A hand-edited value far off any screen must not overflow.
    if (!(px > -1e6 && px < 1e6))
        return 0;
    return int(px);
}

void store(const QWidget *window)
{
    SettingsStore::writePosition(QStringLiteral("PosX"), pixelsToTwips(window->x()));
    SettingsStore::writePosition(QStringLiteral("PosY"), pixelsToTwips(window->y()));
}

void restore(QWidget *window)
{
    const int x = twipsToPixels(SettingsStore::readPosition(QStringLiteral("PosX")));
    const int y = twipsToPixels(SettingsStore::readPosition(QStringLiteral("PosY")));
    window->move(x, y);
}

} // namespace WindowPosition
