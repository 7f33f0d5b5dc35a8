#include "photometry/PhotometryPlot.h"

#include "photometry/Glare.h"
#include "photometry/PhotometryMath.h"
#include "report/ReportFont.h"
#include "text/NumberText.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <cmath>

namespace PhotometryPlot {

namespace {

// A round step for the rings: 1, 2 or 5 times a power of ten.
double niceStep(double maximum)
{
    const double raw = maximum / 5;
    const double power = std::pow(10, std::floor(std::log10(raw)));
    if (!std::isfinite(power) || !(power > 0))
        return maximum; // beyond what a power of ten can say: one ring
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw)
            return m * power;
    return 10 * power;
}

// A value of the curve in cd/klm, or 0 for one that is not a number.
double perKilolumen(const Photometry &p, double c, double g)
{
    const double v = PhotometryMath::intensity(p, c, g) * 1000 / p.lampFlux;
    return std::isfinite(v) ? v : 0;
}

} // namespace

void draw(QPainter &painter, const Photometry &p, double size)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(0, 0, size, size), Qt::white);
    QFont font = ReportFont::font();
    font.setPixelSize(int(size / 45));
    painter.setFont(font);
    const QPointF centre(size / 2, size * 0.55);
    const double radius = size * 0.35;

    double maximum = 0;
    for (int c = 0; c < p.candela.size(); ++c)
        for (int g = 0; g < p.candela[c].size(); ++g)
            maximum = std::max(maximum, perKilolumen(p, p.cAngles.value(c), p.gAngles.value(g)));
    if (!(maximum > 0) || !std::isfinite(maximum))
        maximum = 1;
    const double step = niceStep(maximum);
    const double top = std::max(step, std::ceil(maximum / step) * step);
    const double scale = radius / top;

    // Intensities in cd/klm on a plane and its opposite, in the page's own units: straight down is
    // down the page, the plane to the right, its opposite to the left.
    const auto curve = [&](double c) {
        QPainterPath path;
        const auto point = [&](double plane, int g, double side) {
            const double v = std::min(perKilolumen(p, plane, g) * scale, 2.0 * size);
            const double a = g * M_PI / 180;
            return centre + QPointF(side * std::sin(a) * v, std::cos(a) * v);
        };
        path.moveTo(point(c, 0, 1));
        for (int g = 1; g <= 180; ++g)
            path.lineTo(point(c, g, 1));
        for (int g = 180; g >= 0; --g)
            path.lineTo(point(c + 180, g, -1));
        return path;
    };

    // Rings (at most ten, whatever the scale) and spokes.
    painter.setPen(QPen(QColor(190, 190, 190), size / 1000));
    for (int i = 1; i <= 10; ++i) {
        const double r = i * step;
        if (r > top * (1 + 1e-9))
            break;
        painter.drawEllipse(centre, r * scale, r * scale);
        painter.setPen(QColor(110, 110, 110));
        painter.drawText(QPointF(centre.x() + 4, centre.y() + r * scale - 4), NumberText::plain(r));
        painter.setPen(QPen(QColor(190, 190, 190), size / 1000));
    }
    for (int a = 0; a < 360; a += 30) {
        const double rad = a * M_PI / 180;
        painter.drawLine(centre, centre + QPointF(std::sin(rad), std::cos(rad)) * radius);
    }
    painter.setPen(QColor(80, 80, 80));
    for (int a = 0; a <= 180; a += 30) {
        const double rad = a * M_PI / 180;
        const QPointF at = centre + QPointF(std::sin(rad), std::cos(rad)) * (radius + size / 30);
        painter.drawText(QRectF(at.x() - 40, at.y() - 12, 80, 24), Qt::AlignCenter, QStringLiteral("%1°").arg(a));
        const QPointF left = centre + QPointF(-std::sin(rad), std::cos(rad)) * (radius + size / 30);
        if (a != 0 && a != 180)
            painter.drawText(QRectF(left.x() - 40, left.y() - 12, 80, 24), Qt::AlignCenter, QStringLiteral("%1°").arg(a));
    }

    QPen solid(QColor(200, 40, 40), size / 400);
    QPen dashed(QColor(30, 80, 200), size / 400);
    dashed.setStyle(Qt::DashLine);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(solid);
    painter.drawPath(curve(0));
    painter.setPen(dashed);
    painter.drawPath(curve(90));

    // Title and legend.
    QFont big = font;
    big.setPixelSize(int(size / 32));
    big.setBold(true);
    painter.setFont(big);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, size * 0.02, size, size * 0.05), Qt::AlignCenter,
                     QStringLiteral("配光曲線  %1").arg(p.name));
    painter.setFont(font);
    painter.drawText(QRectF(0, size * 0.07, size, size * 0.04), Qt::AlignCenter, QStringLiteral("単位: cd/klm"));
    const double ly = size * 0.95;
    painter.setPen(QPen(solid.color(), size / 400));
    painter.drawLine(QPointF(size * 0.25, ly), QPointF(size * 0.31, ly));
    painter.setPen(Qt::black);
    painter.drawText(QPointF(size * 0.32, ly + size / 120), QStringLiteral("C0-C180"));
    QPen legendDash(dashed.color(), size / 400);
    legendDash.setStyle(Qt::DashLine);
    painter.setPen(legendDash);
    painter.drawLine(QPointF(size * 0.55, ly), QPointF(size * 0.61, ly));
    painter.setPen(Qt::black);
    painter.drawText(QPointF(size * 0.62, ly + size / 120), QStringLiteral("C90-C270"));
}

void drawUgrTable(QPainter &painter, const Photometry &p, const QRectF &area)
{
    painter.save();
    painter.fillRect(area, Qt::white);
    QFont font = ReportFont::font();
    const double row = area.height() / 26;
    font.setPixelSize(std::max(6, int(row * 0.6)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    Glare::Table t;
    QString error;
    if (!Glare::table(p, 0.25, &t, &error)) {
        painter.drawText(QRectF(area.left(), area.top(), area.width(), row * 1.5), Qt::AlignCenter, QStringLiteral("UGR 表: ") + error);
        painter.restore();
        return;
    }
    QFont bold = font;
    bold.setBold(true);
    painter.setFont(bold);
    painter.drawText(QRectF(area.left(), area.top(), area.width(), row * 1.2), Qt::AlignCenter, Glare::titleText(t));
    painter.setFont(font);
    // X and Y, then the five sets crosswise and endwise, as catalogues print them.
    const double left = area.left() + area.width() * 0.04, width = area.width() * 0.92;
    const double first = width * 0.07, cell = (width - 2 * first) / 10;
    const auto x = [&](int column) { return left + (column < 2 ? column * first : 2 * first + (column - 2) * cell); };
    const auto w = [&](int column) { return column < 2 ? first : cell; };
    double y = area.top() + row * 1.5;
    const auto text = [&](int column, int span, const QString &s) {
        const double right = x(column + span - 1) + w(column + span - 1);
        painter.drawText(QRectF(x(column), y, right - x(column), row), Qt::AlignCenter, s);
    };
    const double top = y;
    text(0, 1, QStringLiteral("X"));
    text(1, 1, QStringLiteral("Y"));
    text(2, 5, QStringLiteral("横（C0–C180 面を見る）"));
    text(7, 5, QStringLiteral("縦（C90–C270 面を見る）"));
    y += row;
    const char *surfaces[] = {"天井", "壁", "床"};
    for (int k = 0; k < 3; ++k, y += row) {
        text(0, 2, QString::fromUtf8(surfaces[k]) + QStringLiteral(" %"));
        for (int set = 0; set < 5; ++set) {
            text(2 + set, 1, QString::number(Glare::kSets[set][k]));
            text(7 + set, 1, QString::number(Glare::kSets[set][k]));
        }
    }
    painter.drawLine(QPointF(left, y), QPointF(left + width, y));
    for (int room = 0; room < int(Glare::kRooms.size()); ++room, y += row) {
        text(0, 1, QStringLiteral("%1H").arg(Glare::kRooms[room][0]));
        text(1, 1, QStringLiteral("%1H").arg(Glare::kRooms[room][1]));
        for (int c = 0; c < 10; ++c)
            text(2 + c, 1, Glare::cellText(t.cells[room][c]));
        // A line between the groups of X, as the table reads.
        if (room + 1 < int(Glare::kRooms.size()) && Glare::kRooms[room + 1][0] != Glare::kRooms[room][0])
            painter.drawLine(QPointF(left, y + row), QPointF(left + width, y + row));
    }
    painter.drawRect(QRectF(left, top, width, y - top));
    for (int c : {2, 7})
        painter.drawLine(QPointF(x(c), top), QPointF(x(c), y));
    painter.drawLine(QPointF(x(2), top + row), QPointF(left + width, top + row));
    painter.drawText(QRectF(area.left(), y + row * 0.2, area.width(), row * 1.2), Qt::AlignCenter,
                     QStringLiteral("観測者の目の高さ 1.2 m、H は目から器具までの高さ。背景輝度は CIE 190 の方法。"));
    painter.restore();
}

QByteArray render(const Photometry &p, const QString &path, QString *error)
{
    if (!(p.lampFlux > 0)) {
        *error = QStringLiteral("光束が 0 です。");
        return {};
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (QFileInfo(path).suffix().compare(QStringLiteral("pdf"), Qt::CaseInsensitive) == 0) {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setResolution(300);
        writer.setTitle(QStringLiteral("配光曲線 %1").arg(p.name));
        QPainter painter(&writer);
        // The curve above, the UGR table below.
        const double size = std::min(double(writer.width()), writer.height() * 0.6);
        painter.translate((writer.width() - size) / 2, 0);
        draw(painter, p, size);
        painter.resetTransform();
        drawUgrTable(painter, p, QRectF(0, size + writer.height() * 0.02, writer.width(), writer.height() - size - writer.height() * 0.02));
    } else {
        QImage image(900, 1400, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            draw(painter, p, 900);
            drawUgrTable(painter, p, QRectF(0, 900, 900, 500));
        }
        if (!image.save(&buffer, "PNG")) {
            *error = QStringLiteral("画像を作成できません。");
            return {};
        }
    }
    buffer.close();
    if (buffer.data().isEmpty())
        *error = QStringLiteral("配光曲線を作成できません。");
    return buffer.data();
}

} // namespace PhotometryPlot
