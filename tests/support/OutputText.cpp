#include "support/OutputText.h"

#include "support/PdfTools.h"
#include "support/TestEnv.h"
#include "support/XlsxReader.h"
#include "text/Cp932.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

namespace OutputText {

QString of(const QString &path)
{
    if (QFileInfo(path).isDir()) {
        QString out;
        for (const QString &f : QDir(path).entryList(QDir::Files, QDir::Name))
            out += of(QDir(path).filePath(f)) + u'\n';
        return out;
    }
    if (path.endsWith(QStringLiteral(".pdf")))
        return PdfTools::text(path);
    if (path.endsWith(QStringLiteral(".xlsx"))) {
        QString out;
        for (int sheet = 1; sheet <= 2; ++sheet) {
            const XlsxReader::Book book = XlsxReader::read(path, sheet);
            for (auto it = book.cells.cbegin(); it != book.cells.cend(); ++it) {
                if (it->kind == XlsxReader::Cell::Number)
                    out += !std::isfinite(it->number)                   ? QStringLiteral("nan")
                           : it->number == 0 && std::signbit(it->number) ? QStringLiteral("-0")
                                                                          : QString::number(it->number);
                else
                    out += it->text;
                out += u'\n';
            }
        }
        return out;
    }
    bool ok = false;
    const QByteArray bytes = TestEnv::readBytes(path);
    const QString utf8 = QString::fromUtf8(bytes);
    const QString cp932 = Cp932::decode(bytes, &ok);
    return utf8.contains(QChar::ReplacementCharacter) && ok ? cp932 : utf8;
}

QString notANumber(const QString &text)
{
    static const QRegularExpression bad(QStringLiteral("(?<![\\w.])(-?nan|-?inf|-0(\\.0+)?)(?![\\w.])"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = bad.match(text);
    if (!m.hasMatch())
        return QString();
    return m.captured(0) + QStringLiteral(" in ") + text.mid(std::max<qsizetype>(0, m.capturedStart() - 60), 120);
}

} // namespace OutputText
