#pragma once

#include <QString>

// Reads PDFs the way a user's viewer shows them (poppler's command-line tools).
namespace PdfTools {

// The text of one page (0 = all pages), laid out.
QString text(const QString &pdf, int page = 0);
// The page count, -1 when the file is no PDF.
int pages(const QString &pdf);

} // namespace PdfTools
