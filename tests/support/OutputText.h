#pragma once

#include <QString>

// What an output shows a reader, as one text: a PDF's text, a workbook's cells (a number that is
// not finite as "nan", a negative zero as "-0"), a CSV file (UTF-8, or CP932 where it is not
// UTF-8), a folder's files one after another.
namespace OutputText {

QString of(const QString &path);
// The first thing in `text` that is not a number a reader may be shown ("nan", "inf", "-0",
// "-0.00"), with a little of what stands around it; "" when there is none.
QString notANumber(const QString &text);

} // namespace OutputText
