#include "ui/Translations.h"

#include <QCoreApplication>
#include <QHash>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace Translations {

namespace {

// Texts of Qt's dialogs that its Japanese translation lacks (the type column of the file dialog).
class MissingTexts : public QTranslator
{
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        static const QHash<QByteArray, QString> texts = {
            {"QAbstractFileIconProvider/Folder", QStringLiteral("フォルダー")},
            {"QAbstractFileIconProvider/Drive", QStringLiteral("ドライブ")},
            {"QAbstractFileIconProvider/Alias", QStringLiteral("エイリアス")},
            {"QAbstractFileIconProvider/Unknown", QStringLiteral("不明")},
            {"QAbstractFileIconProvider/File", QStringLiteral("ファイル")},
        };
        return texts.value(QByteArray(context) + '/' + source);
    }
};

} // namespace

bool installJapanese()
{
    // Dates, sizes and the like in the standard dialogs as Japanese users read them.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    // Installed first, so Qt's own translation is asked before it.
    QCoreApplication::installTranslator(new MissingTexts(QCoreApplication::instance()));
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

void prepareJapaneseDates()
{
    const QByteArray all = qgetenv("LC_ALL");
    const QByteArray lang = !all.isEmpty() ? all : (qEnvironmentVariableIsEmpty("LC_TIME") ? qgetenv("LANG") : qgetenv("LC_TIME"));
    if (!(lang.isEmpty() || lang == "C" || lang.startsWith("C.") || lang == "POSIX"))
        return;
    // Qt reads the time locale from the environment once, when its system locale is first asked
    // for; the variable is gone again before the application sets the C library's locale, which
    // would fail as a whole for a locale that is not generated.
    // LC_ALL, where set, overrides LC_TIME: then it is the one changed for that moment.
    const char *variable = all.isEmpty() ? "LC_TIME" : "LC_ALL";
    const bool had = qEnvironmentVariableIsSet(variable);
    const QByteArray before = qgetenv(variable);
    qputenv(variable, "ja_JP.UTF-8");
    (void)QLocale::system();
    if (had)
        qputenv(variable, before);
    else
        qunsetenv(variable);
}

} // namespace Translations
