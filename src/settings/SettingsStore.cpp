#include "settings/SettingsStore.h"

#include "text/Cp932.h"
#include "text/NumberText.h"

#include <QSettings>

#include <charconv>

namespace {

constexpr const char *kOrganisation = "kzw";
constexpr const char *kApplication = "zeltika";
constexpr qsizetype kMaxValueBytes = 128;

QString typeKey(const QString &name)
{
    return QStringLiteral("Types/") + name;
}

} // namespace

namespace SettingsStore {

QString ReadSetting(const QString &name)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication);
    if (settings.status() != QSettings::NoError)
        return QString();
    const QVariant value = settings.value(name);
    if (!value.isValid())
        return QString();
    // Values are text; anything else (edited by hand) is taken as its text form. Like the
    // registry's 128-byte buffer, a value whose Shift-JIS bytes and closing NUL need more than 128
    // bytes cannot be read and counts as missing.
    const QString text = value.toString();
    if (Cp932::encode(text).size() + 1 > kMaxValueBytes)
        return QString();
    return text;
}

int WriteSetting(const QString &name, const QString &text, int type)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication);
    if (!settings.isWritable())
        return -1;
    settings.setValue(name, text);
    settings.setValue(typeKey(name), type);
    settings.sync();
    return settings.status() == QSettings::NoError ? 0 : -1;
}

double readPosition(const QString &name)
{
    return NumberText::leading(ReadSetting(name));
}

void writePosition(const QString &name, double twips)
{
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, static_cast<float>(twips), std::chars_format::fixed);
    WriteSetting(name, QString::fromLatin1(buf, result.ptr - buf), kRegDword);
}

QString readPath(const QString &name)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication);
    return settings.value(QStringLiteral("Paths/") + name).toString();
}

void writePath(const QString &name, const QString &path)
{
    // Losing a remembered folder costs only a click in the next dialog: a failure is not reported.
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication);
    settings.setValue(QStringLiteral("Paths/") + name, path);
    settings.sync();
}

} // namespace SettingsStore
