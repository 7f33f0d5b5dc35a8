#include "text/NumberText.h"

#include <QRegularExpression>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Scans a decimal number at text[pos]: optional sign, digits, at most one point; at least one digit.
// Returns the length scanned, 0 when there is no number there.
qsizetype scanNumber(const QString &text, qsizetype pos)
{
    qsizetype i = pos;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9') {
            digits = true;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    return digits ? i - pos : 0;
}

// The scanned number in the C form (never the user's locale: "3.5" is three and a half everywhere).
double toDouble(const QString &ascii)
{
    std::string s = ascii.toStdString();
    if (!s.empty() && s.front() == '+')
        s.erase(0, 1);
    if (!s.empty() && s.back() == '.')
        s.pop_back();
    const bool negative = !s.empty() && s.front() == '-';
    std::string body = negative ? s.substr(1) : s;
    if (!body.empty() && body.front() == '.')
        body.insert(0, 1, '0');
    double v = 0;
    const auto result = std::from_chars(body.data(), body.data() + body.size(), v, std::chars_format::fixed);
    if (result.ec == std::errc::result_out_of_range) {
        // Too many digits before the point is too large; a value whose digits all come after
        // leading zeros is too small for a double: 0, which callers tell from a typed zero.
        const auto point = body.find('.');
        const std::string whole = body.substr(0, point);
        v = whole.find_first_not_of('0') == std::string::npos ? 0.0 : HUGE_VAL;
    }
    return negative ? -v : v;
}

// The value as 15 significant decimal digits and the position of the decimal point
// (the number of digits before it; may be negative or above 15).
struct Decimal15 {
    std::string digits; // exactly 15 digits, the first non-zero unless the value is 0
    int pointPos = 0;
};

Decimal15 toDecimal15(double magnitude)
{
    Decimal15 d;
    if (magnitude == 0) {
        d.digits = std::string(15, '0');
        d.pointPos = 1;
        return d;
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", magnitude); // d.dddddddddddddde±x
    const std::string s(buf);
    const auto e = s.find('e');
    d.digits = s.substr(0, 1) + s.substr(2, e - 2);
    d.pointPos = std::atoi(s.c_str() + e + 1) + 1;
    return d;
}

} // namespace

namespace NumberText {

double leading(const QString &text)
{
    qsizetype pos = 0;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    const qsizetype len = scanNumber(text, pos);
    if (len == 0)
        return 0;
    return toDouble(text.mid(pos, len));
}

std::optional<double> strict(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    if (begin == end)
        return std::nullopt;
    const qsizetype len = scanNumber(text, begin);
    if (len != end - begin)
        return std::nullopt;
    return toDouble(text.mid(begin, len));
}

Field field(const QString &text)
{
    Field f;
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        f.problem = Field::Problem::Blank;
        return f;
    }
    const auto v = strict(t);
    if (!v) {
        // A number in exponent form ("1e1", "2.5E-3", "1e+308") is one the panel never stores.
        static const auto exponent = [](const QString &s) {
            const qsizetype e = s.indexOf(QRegularExpression(QStringLiteral("[eE]")));
            return e > 0 && strict(s.left(e)) && !s.mid(e + 1).isEmpty()
                   && s.mid(e + 1).contains(QRegularExpression(QStringLiteral("^[+-]?[0-9]+$")));
        };
        f.problem = exponent(t) ? Field::Problem::Exponent : Field::Problem::NotNumber;
        return f;
    }
    if (!std::isfinite(*v)) {
        f.problem = Field::Problem::TooLarge;
        return f;
    }
    if (*v == 0 && t.contains(QRegularExpression(QStringLiteral("[1-9]")))) {
        // Digits after hundreds of zeros: no double holds it, and it is not 0 either.
        f.problem = Field::Problem::TooSmall;
        return f;
    }
    f.value = *v == 0 ? 0.0 : *v;
    return f;
}

QString Field::reason() const
{
    switch (problem) {
    case Problem::None: return QString();
    case Problem::Blank: return QStringLiteral("が入力されていません。");
    case Problem::NotNumber: return QStringLiteral("は数値ではありません。");
    case Problem::Exponent: return QStringLiteral("は指数表記です（小数で入力してください）。");
    case Problem::TooLarge: return QStringLiteral("は大きすぎて計算できません。");
    case Problem::TooSmall: return QStringLiteral("は小さすぎて計算できません。");
    }
    return QString();
}

QString format(double value, const QString &pattern)
{
    if (!std::isfinite(value))
        return QString();
    const qsizetype point = pattern.indexOf(u'.');
    const QString intPattern = point < 0 ? pattern : pattern.left(point);
    const QString decPattern = point < 0 ? QString() : pattern.mid(point + 1);
    const int minIntDigits = int(intPattern.count(u'0'));
    const bool grouping = intPattern.contains(u',');
    const int decimals = int(decPattern.count(u'0') + decPattern.count(u'#'));
    const int minDecimals = int(decPattern.count(u'0'));
    const bool hasZero = pattern.contains(u'0');

    Decimal15 d = toDecimal15(std::fabs(value));
    // Keep the digits up to the pattern's last decimal and round on the next one.
    std::string kept;
    const int keep = d.pointPos + decimals;
    if (keep >= 15) {
        kept = d.digits + std::string(size_t(keep - 15), '0');
    } else if (keep < 0) {
        kept.clear();
    } else {
        kept = d.digits.substr(0, size_t(keep));
        if (d.digits[size_t(keep)] >= '5') {
            int i = keep - 1;
            while (i >= 0 && kept[size_t(i)] == '9') {
                kept[size_t(i)] = '0';
                --i;
            }
            if (i >= 0) {
                ++kept[size_t(i)];
            } else {
                kept.insert(kept.begin(), '1');
            }
        }
    }
    // kept now holds the digits down to the last decimal; split into integer and fraction.
    const int intLen = int(kept.size()) - decimals;
    std::string intDigits;
    std::string fracDigits;
    if (intLen >= 0) {
        intDigits = kept.substr(0, size_t(intLen));
        fracDigits = kept.substr(size_t(intLen));
    } else {
        fracDigits = std::string(size_t(-intLen), '0') + kept;
    }
    const bool isZero = kept.find_first_not_of('0') == std::string::npos;
    if (isZero && !hasZero)
        return QString();

    const auto firstNonZero = intDigits.find_first_not_of('0');
    intDigits = firstNonZero == std::string::npos ? std::string() : intDigits.substr(firstNonZero);
    if (int(intDigits.size()) < minIntDigits)
        intDigits.insert(0, size_t(minIntDigits) - intDigits.size(), '0');
    if (grouping) {
        for (int i = int(intDigits.size()) - 3; i > 0; i -= 3)
            intDigits.insert(size_t(i), 1, ',');
    }
    while (int(fracDigits.size()) > minDecimals && fracDigits.back() == '0')
        fracDigits.pop_back();

    std::string out;
    if (value < 0 && !isZero)
        out += '-';
    out += intDigits;
    if (!fracDigits.empty())
        out += '.' + fracDigits;
    return QString::fromStdString(out);
}

QString plain(double value)
{
    if (!std::isfinite(value))
        return QString();
    if (value == 0)
        return QStringLiteral("0");
    const Decimal15 d = toDecimal15(std::fabs(value));
    std::string digits = d.digits;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string out = value < 0 ? "-" : "";
    const int n = int(digits.size());
    if (d.pointPos <= 0) {
        out += "0." + std::string(size_t(-d.pointPos), '0') + digits;
    } else if (d.pointPos >= n) {
        out += digits + std::string(size_t(d.pointPos - n), '0');
    } else {
        out += digits.substr(0, size_t(d.pointPos)) + '.' + digits.substr(size_t(d.pointPos));
    }
    return QString::fromStdString(out);
}

int toInt(const QString &text)
{
    const double v = leading(text);
    if (!(v > std::numeric_limits<int>::min() && v < std::numeric_limits<int>::max()))
        return 0;
    return int(std::trunc(v));
}

} // namespace NumberText
