#include "io/CommandLine.h"

#include <QByteArray>

namespace CommandLine {

bool arguments(int argc, char *argv[], QStringList *out, QString *error)
{
    out->clear();
    for (int i = 1; i < argc; ++i) {
        const QByteArray given(argv[i]);
        const QString text = QString::fromUtf8(given);
        if (text.toUtf8() != given) {
            // Shown with its bytes escaped, so the user can find the file.
            QString shown;
            for (char c : given) {
                const auto b = quint8(c);
                shown += b >= 0x20 && b < 0x7F ? QString(QChar(b)) : QStringLiteral("\\x%1").arg(b, 2, 16, QChar(u'0'));
            }
            *error = QStringLiteral("ファイル名が UTF-8 ではないため扱えません: %1").arg(shown);
            return false;
        }
        out->append(text);
    }
    return true;
}

} // namespace CommandLine
