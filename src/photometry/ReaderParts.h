#pragma once

#include "photometry/Photometry.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cmath>
#include <optional>

// What the IES and EULUMDAT readers share: the file's lines in their code page, numbers as the
// formats write them, the place of a fault in the file, and the checks every distribution passes.
namespace PhotometryReader::Parts {

inline constexpr double kEps = 1e-6;

// The text's lines: UTF-8 when valid, CP932 when it looks Japanese, else CP1252; a DOS end mark,
// NUL padding and blank lines at the end dropped.
QStringList linesOf(QByteArray bytes);
// "N 行目: what".
QString at(int line, const QString &what);
std::optional<double> toNumber(QString text, bool decimalComma);
// The unit of the last digit a number is written with: 0.1 for "12.5", 10 for "1.5e2", 1 for "40".
double unitOf(QString text);

// The numbers of the lines from `first` on, each with the line it stands in (1-based).
struct Token {
    QString text;
    int line;
};

// IES numbers are separated by blanks or commas; EULUMDAT's by blanks (a comma is its decimal
// point).
QList<Token> tokens(const QStringList &lines, int first, bool commaSeparates);

class TokenReader
{
public:
    TokenReader(const QList<Token> &tokens, int lastLine, bool decimalComma = false)
        : m_tokens(tokens), m_lastLine(lastLine), m_decimalComma(decimalComma)
    {
    }

    bool number(double *value, const QString &what, QString *error)
    {
        if (m_next >= m_tokens.size()) {
            *error = at(m_lastLine, QStringLiteral("%1がありません（データが足りません）。").arg(what));
            return false;
        }
        const Token &t = m_tokens[m_next++];
        const auto v = toNumber(t.text, m_decimalComma);
        if (!v) {
            *error = at(t.line, QStringLiteral("%1「%2」は数値ではありません。").arg(what, t.text));
            return false;
        }
        *value = *v;
        return true;
    }
    bool count(int *value, const QString &what, QString *error)
    {
        double v = 0;
        if (!number(&v, what, error))
            return false;
        if (v < 1 || v > 100000 || v != std::floor(v)) {
            *error = at(line(), QStringLiteral("%1「%2」は正の整数ではありません。").arg(what).arg(v));
            return false;
        }
        *value = int(v);
        return true;
    }
    int line() const { return m_next > 0 ? m_tokens[m_next - 1].line : m_lastLine; }
    // The unit of the last digit of the number read last.
    double lastUnit() const { return m_next > 0 ? unitOf(m_tokens[m_next - 1].text) : 1; }
    bool atEnd() const { return m_next >= m_tokens.size(); }
    const Token &peek() const { return m_tokens[m_next]; }

private:
    const QList<Token> &m_tokens;
    int m_lastLine;
    bool m_decimalComma;
    qsizetype m_next = 0;
};

// True, with *error, for UTF-16 text (which neither format is written in).
bool refuseUtf16(const QByteArray &bytes, QString *error);
// What every distribution read must give: a flux that is a number and not 0, and a table that is
// not all zeros. Absolute photometry takes the luminaire's flux as its lamp flux.
bool checkFlux(Photometry *out, int intensityLine, QString *error);
// Strictly ascending, within low..high.
bool ascending(const QList<double> &angles, double low, double high);

} // namespace PhotometryReader::Parts
