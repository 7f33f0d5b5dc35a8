#pragma once

#include <QString>
#include <optional>

// The number rules of the sheets: every value is text, and a number is read from it only where a
// calculation step needs one, with the reading that step names.
namespace NumberText {

// Leading-number reading: blanks at the start are skipped, then an optional sign and the longest
// decimal number (digits with at most one decimal point). Empty or non-numeric text reads as 0.
double leading(const QString &text);

// Strict reading: the whole text, blanks around it allowed, must be such a decimal number.
std::optional<double> strict(const QString &text);

// The one reading of a stored field by every computation beyond the sheets' own procedures (the
// distribution, the emergency check, BEI/L, …): the whole text a plain decimal number, finite,
// as the panel would have stored it; a blank text is blank. What is wrong with a text is said in
// words a message can end with.
struct Field {
    enum class Problem { None, Blank, NotNumber, Exponent, TooLarge, TooSmall };
    std::optional<double> value; // set when Problem::None ("-0" reads as 0)
    Problem problem = Problem::None;
    bool ok() const { return problem == Problem::None; }
    // "は数値ではありません。", "は指数表記です（小数で入力してください）。", "は大きすぎて計算できません。",
    // "は小さすぎて計算できません。", "が入力されていません。" ("" when none).
    QString reason() const;
};
Field field(const QString &text);

// Display pattern: "#" optional digit, "0" mandatory digit, "," thousands separator,
// "." decimal point. Rounds halves away from zero on the 15-significant-digit decimal form.
// A value that rounds to zero under a pattern without any "0" gives the empty text.
QString format(double value, const QString &pattern);

// Plain decimal text: the shortest decimal form (15 significant digits, no exponent, no padding).
QString plain(double value);

// Integer value of a cell the way the sheets store form integers ("" and non-numbers give 0).
int toInt(const QString &text);

} // namespace NumberText
