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

} // namespace Translations
