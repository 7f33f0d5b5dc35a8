#include "settings/SettingsStore.h"

#include "text/NumberText.h"

#include <QSettings>

#include <charconv>

namespace {

constexpr const char *kOrganisation = "kzw";
constexpr const char *kApplication = "zeltika";

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
    // Values are text; anything else (edited by hand) is taken as its text form.
    return value.isValid() ? value.toString() : QString();
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

} // namespace SettingsStore
