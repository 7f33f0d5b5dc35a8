#pragma once

#include <QHash>
#include <QList>
#include <QString>

// Reads PDFs the way a user's viewer shows them (poppler's command-line tools).
namespace PdfTools {

// The text of one page (0 = all pages), laid out.
QString text(const QString &pdf, int page = 0);
// The page count, -1 when the file is no PDF.
int pages(const QString &pdf);
// The paper as pdfinfo says it ("1032 x 729 pts" for B4 landscape).
QString pageSize(const QString &pdf);

// The printed lines of a table as a reader sees them: the words of one page between `top` and
// `bottom` (points from the top of the paper), grouped into lines by their height and into
// columns by where they stand (name -> [left, right) in points). Lines without any word are left
// out; a column's words are joined in reading order.
struct Column {
    QString name;
    double left;
    double right;
};
// The height in points of the tallest word of a page that starts with `text` (0 when none): the
// size its text is drawn at.
double tallestWord(const QString &pdf, int page, const QString &text);

QList<QHash<QString, QString>> tableLines(const QString &pdf, int page, const QList<Column> &columns, double top,
                                          double bottom);

} // namespace PdfTools
