#include "support/PdfTools.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace PdfTools {

QString text(const QString &pdf, int page)
{
    QStringList args = {QStringLiteral("-layout")};
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    args << pdf << QStringLiteral("-");
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

namespace {

// A line of pdfinfo's report, after its key ("" when there is none).
QString info(const QString &pdf, const QString &key)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished(60000);
    if (p.exitCode() != 0)
        return QString();
    for (const QString &line : QString::fromUtf8(p.readAllStandardOutput()).split(u'\n'))
        if (line.startsWith(key + u':'))
            return line.mid(key.size() + 1).trimmed();
    return QString();
}

} // namespace

int pages(const QString &pdf)
{
    const QString n = info(pdf, QStringLiteral("Pages"));
    return n.isEmpty() ? -1 : n.toInt();
}

QString pageSize(const QString &pdf)
{
    return info(pdf, QStringLiteral("Page size"));
}

namespace {

QString bboxPage(const QString &pdf, int page)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page),
                                          QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

const QRegularExpression &wordPattern()
{
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
    return word;
}

} // namespace

double tallestWord(const QString &pdf, int page, const QString &text)
{
    double tallest = 0;
    for (auto it = wordPattern().globalMatch(bboxPage(pdf, page)); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(5).startsWith(text))
            tallest = std::max(tallest, m.captured(4).toDouble() - m.captured(2).toDouble());
    }
    return tallest;
}

QList<QHash<QString, QString>> tableLines(const QString &pdf, int page, const QList<Column> &columns, double top,
                                          double bottom)
{
    struct Word {
        double x, y, right;
        QString text;
    };
    QList<Word> words;
    for (auto it = wordPattern().globalMatch(bboxPage(pdf, page)); it.hasNext();) {
        const auto m = it.next();
        const double y = m.captured(2).toDouble();
        if (y >= top && y < bottom)
            words.append({m.captured(1).toDouble(), y, m.captured(3).toDouble(), m.captured(5)});
    }
    std::sort(words.begin(), words.end(), [](const Word &a, const Word &b) {
        return std::fabs(a.y - b.y) > 2 ? a.y < b.y : a.x < b.x;
    });
    QList<QHash<QString, QString>> lines;
    QHash<QString, double> ends; // where the last word of each column of the line ended
    double lineY = -1000;
    for (const Word &w : std::as_const(words)) {
        if (std::fabs(w.y - lineY) > 2) {
            lines.append(QHash<QString, QString>());
            ends.clear();
            lineY = w.y;
        }
        const double centre = (w.x + w.right) / 2;
        for (const Column &c : columns) {
            if (centre < c.left || centre >= c.right)
                continue;
            // A gap between two words of a cell is the blank the text has there.
            if (ends.contains(c.name) && w.x - ends.value(c.name) > 1)
                lines.last()[c.name] += u' ';
            ends[c.name] = w.right;
            lines.last()[c.name] += QString(w.text)
                                            .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
                                            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
                                            .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
                                            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        }
    }
    return lines;
}

} // namespace PdfTools
