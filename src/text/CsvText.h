#pragma once

#include <QString>
#include <QStringList>

// Lines of the CSV files the program writes: a field with a comma, a quote or a line break is
// quoted, its quotes doubled.
namespace CsvText {

enum class Guard {
    // The files a spreadsheet opens (the outputs): a text that begins with = + - @ (or a tab or
    // carriage return) would be taken for a formula; it is written after an apostrophe, as text.
    // Numbers ("-1.5") are left as they are.
    Formulas,
    // The masters, read back by the program: every text as it is.
    None,
};

QString field(const QString &text, Guard guard);
QString line(const QStringList &fields, const QString &end, Guard guard);
// A field read back from an output: the guarding apostrophe taken off again.
QString unguarded(const QString &text);

} // namespace CsvText
