#include "report/Dxf.h"

#include "text/Cp932.h"

#include <algorithm>
#include <cmath>

namespace Dxf {

namespace {

// A group: its code right-aligned in three places, then its value, each on a line.
void group(QByteArray &out, int code, const QByteArray &value)
{
    out += QByteArray::number(code).rightJustified(3, ' ');
    out += "\r\n";
    out += value;
    out += "\r\n";
}

QByteArray number(double v)
{
    if (!std::isfinite(v))
        v = 0;
    QByteArray s = QByteArray::number(v, 'f', 4);
    // Trailing zeros say nothing; "-0.0" is 0.
    while (s.contains('.') && (s.endsWith('0') || s.endsWith('.')))
        s.chop(1);
    if (s == "-0" || s.isEmpty())
        s = "0";
    if (!s.contains('.'))
        s += ".0";
    return s;
}

void at(QByteArray &out, int code, QPointF p)
{
    group(out, code, number(p.x()));
    group(out, code + 10, number(p.y()));
    group(out, code + 20, "0.0");
}

} // namespace

QList<QPointF> layOut(const QStringList &floors, const QList<QSizeF> &sizes, double below)
{
    // The floors in the order they first come, each its band.
    QStringList order;
    for (const QString &f : floors)
        if (!order.contains(f))
            order.append(f);
    QList<QPointF> origins(sizes.size());
    double bandBottom = 0;
    for (const QString &f : std::as_const(order)) {
        double x = 0, tallest = 0;
        for (qsizetype k = 0; k < sizes.size(); ++k) {
            if (floors.value(k) != f)
                continue;
            origins[k] = QPointF(x, bandBottom + below);
            x += sizes[k].width() + kGap;
            tallest = std::max(tallest, sizes[k].height());
        }
        bandBottom += below + tallest + kGap;
    }
    return origins;
}

QByteArray encode(const QString &text)
{
    QByteArray out;
    // Control characters and line ends have no place in a DXF value.
    QString clean = text;
    for (QChar &c : clean)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = u' ';
    for (qsizetype i = 0; i < clean.size(); ++i) {
        const char32_t code = clean[i].isHighSurrogate() && i + 1 < clean.size() ? QChar::surrogateToUcs4(clean[i], clean[i + 1]) : clean[i].unicode();
        const QString one = code > 0xFFFF ? clean.mid(i++, 2) : clean.mid(i, 1);
        bool ok = false;
        const QByteArray b = Cp932::encode(one, &ok);
        if (ok && !b.isEmpty())
            out += b;
        else
            out += "\\U+" + QByteArray::number(uint(code), 16).toUpper().rightJustified(4, '0');
    }
    return out;
}

void Drawing::addLayer(const Layer &layer)
{
    if (!hasLayer(layer.name))
        m_layers.append(layer);
}

bool Drawing::hasLayer(const QString &name) const
{
    return std::any_of(m_layers.cbegin(), m_layers.cend(), [&](const Layer &l) { return l.name == name; });
}

void Drawing::extend(QPointF p)
{
    if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
        return;
    if (!m_any) {
        m_minX = m_maxX = p.x();
        m_minY = m_maxY = p.y();
        m_any = true;
        return;
    }
    m_minX = std::min(m_minX, p.x());
    m_maxX = std::max(m_maxX, p.x());
    m_minY = std::min(m_minY, p.y());
    m_maxY = std::max(m_maxY, p.y());
}

void Drawing::line(const QString &layer, QPointF a, QPointF b)
{
    group(m_entities, 0, "LINE");
    group(m_entities, 8, encode(layer));
    at(m_entities, 10, a);
    at(m_entities, 11, b);
    extend(a);
    extend(b);
}

void Drawing::polyline(const QString &layer, const QList<QPointF> &points, bool closed)
{
    if (points.size() < 2)
        return;
    group(m_entities, 0, "POLYLINE");
    group(m_entities, 8, encode(layer));
    group(m_entities, 66, "1");
    at(m_entities, 10, QPointF(0, 0));
    group(m_entities, 70, closed ? "1" : "0");
    for (const QPointF &p : points) {
        group(m_entities, 0, "VERTEX");
        group(m_entities, 8, encode(layer));
        at(m_entities, 10, p);
        extend(p);
    }
    group(m_entities, 0, "SEQEND");
    group(m_entities, 8, encode(layer));
}

void Drawing::circle(const QString &layer, QPointF centre, double radius)
{
    group(m_entities, 0, "CIRCLE");
    group(m_entities, 8, encode(layer));
    at(m_entities, 10, centre);
    group(m_entities, 40, number(radius));
    extend(centre - QPointF(radius, radius));
    extend(centre + QPointF(radius, radius));
}

void Drawing::point(const QString &layer, QPointF p)
{
    group(m_entities, 0, "POINT");
    group(m_entities, 8, encode(layer));
    at(m_entities, 10, p);
    extend(p);
}

void Drawing::text(const QString &layer, QPointF p, double height, const QString &text, Align align, double rotation)
{
    if (text.isEmpty())
        return;
    group(m_entities, 0, "TEXT");
    group(m_entities, 8, encode(layer));
    at(m_entities, 10, p);
    group(m_entities, 40, number(height));
    group(m_entities, 1, encode(text));
    if (rotation != 0)
        group(m_entities, 50, number(rotation));
    group(m_entities, 7, "STANDARD");
    if (align != Align::Left) {
        group(m_entities, 72, align == Align::Centre ? "1" : "2");
        at(m_entities, 11, p);
    }
    // Its extent, roughly: a character of code page 932 is as wide as high, or half.
    const double width = height * encode(text).size() * 0.5;
    const double left = align == Align::Left ? 0 : align == Align::Centre ? width / 2 : width;
    extend(p - QPointF(left, 0));
    extend(p + QPointF(width - left, height));
}

QByteArray Drawing::bytes() const
{
    QByteArray out;
    group(out, 0, "SECTION");
    group(out, 2, "HEADER");
    group(out, 9, "$ACADVER");
    group(out, 1, "AC1009");
    group(out, 9, "$DWGCODEPAGE");
    group(out, 3, "ANSI_932");
    group(out, 9, "$INSBASE");
    at(out, 10, QPointF(0, 0));
    group(out, 9, "$EXTMIN");
    at(out, 10, QPointF(m_minX, m_minY));
    group(out, 9, "$EXTMAX");
    at(out, 10, QPointF(m_maxX, m_maxY));
    group(out, 0, "ENDSEC");

    group(out, 0, "SECTION");
    group(out, 2, "TABLES");
    group(out, 0, "TABLE");
    group(out, 2, "LTYPE");
    group(out, 70, "2");
    group(out, 0, "LTYPE");
    group(out, 2, "CONTINUOUS");
    group(out, 70, "0");
    group(out, 3, "Solid line");
    group(out, 72, "65");
    group(out, 73, "0");
    group(out, 40, "0.0");
    group(out, 0, "LTYPE");
    group(out, 2, "DASHED");
    group(out, 70, "0");
    group(out, 3, "__ __ __");
    group(out, 72, "65");
    group(out, 73, "2");
    group(out, 40, "300.0"); // mm: a dash of 200, a gap of 100
    group(out, 49, "200.0");
    group(out, 49, "-100.0");
    group(out, 0, "ENDTAB");
    group(out, 0, "TABLE");
    group(out, 2, "LAYER");
    group(out, 70, QByteArray::number(m_layers.size() + 1));
    const auto layer = [&out](const QByteArray &name, int colour, bool dashed, bool off) {
        group(out, 0, "LAYER");
        group(out, 2, name);
        group(out, 70, "0");
        group(out, 62, QByteArray::number(off ? -std::abs(colour) : std::abs(colour)));
        group(out, 6, dashed ? "DASHED" : "CONTINUOUS");
    };
    layer("0", 7, false, false);
    for (const Layer &l : m_layers)
        layer(encode(l.name), l.colour, l.dashed, l.off);
    group(out, 0, "ENDTAB");
    group(out, 0, "TABLE");
    group(out, 2, "STYLE");
    group(out, 70, "1");
    group(out, 0, "STYLE");
    group(out, 2, "STANDARD");
    group(out, 70, "0");
    group(out, 40, "0.0");
    group(out, 41, "1.0");
    group(out, 50, "0.0");
    group(out, 71, "0");
    group(out, 42, "2.5");
    group(out, 3, "txt");
    group(out, 4, "extfont2");
    group(out, 0, "ENDTAB");
    group(out, 0, "ENDSEC");

    group(out, 0, "SECTION");
    group(out, 2, "ENTITIES");
    out += m_entities;
    group(out, 0, "ENDSEC");
    group(out, 0, "EOF");
    return out;
}

} // namespace Dxf
