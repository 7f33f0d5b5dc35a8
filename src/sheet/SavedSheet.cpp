#include "sheet/SavedSheet.h"

#include "settings/SettingsStore.h"

#include <QCryptographicHash>
#include <QFileInfo>

namespace SavedSheet {

namespace {

// One setting a file, named by a digest of its full path (a path of any length and characters).
QString keyOf(const QString &path)
{
    const QFileInfo info(path);
    const QString full = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    return QStringLiteral("SavedFrom/")
           + QString::fromLatin1(QCryptographicHash::hash(full.toUtf8(), QCryptographicHash::Sha1).toHex());
}

} // namespace

QString of(const QString &path)
{
    return path.isEmpty() ? QString() : SettingsStore::readPath(keyOf(path));
}

void remember(const QString &path, const QString &sheet)
{
    if (!path.isEmpty())
        SettingsStore::writePath(keyOf(path), sheet);
}

} // namespace SavedSheet
