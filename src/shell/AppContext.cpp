#include "shell/AppContext.h"

#include <QDir>
#include <QStandardPaths>

QString AppContext::defaultWorkFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    QDir().mkpath(folder);
    return folder;
}
