#include "PhotometryPlot.h"

#include "io/CheckedFile.h"
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
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw)
            return m * power;
    return 10 * power;
}

void draw(QPainter &painter, const Photometry &p, double size)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(0, 0, size, size), Qt::white);
    QFont font = ReportFont::font();
    font.setPixelSize(int(size / 45));
    painter.setFont(font);
    const QPointF centre(size / 2, size * 0.55);
    const double radius = size * 0.35;

    // Intensities in cd/klm on a plane and its opposite: straight down is down the page, the plane
    // to the right, its opposite to the left.
    const auto curve = [&](double c) {
        QPainterPath path;
        const auto point = [&](double plane, int g, double side) {
            const double v = PhotometryMath::intensity(p, plane, g) * 1000 / p.lampFlux;
            const double a = g * M_PI / 180;
            return QPointF(side * std::sin(a) * v, std::cos(a) * v);
        };
        path.moveTo(point(c, 0, 1));
        for (int g = 1; g <= 180; ++g)
            path.lineTo(point(c, g, 1));
        for (int g = 180; g >= 0; --g)
            path.lineTo(point(c + 180, g, -1));
        return path;
    };
    double maximum = 0;
    for (const QList<double> &plane : p.candela)
        for (double v : plane)
            maximum = std::max(maximum, v * 1000 / p.lampFlux);
    if (maximum <= 0)
        maximum = 1;
    const double step = niceStep(maximum);
    const double top = std::ceil(maximum / step) * step;
    const double scale = radius / top;

    // Rings and spokes.
    painter.setPen(QPen(QColor(190, 190, 190), size / 1000));
    for (double r = step; r <= top + 1e-9; r += step) {
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

    painter.save();
    painter.translate(centre);
    painter.scale(scale, scale);
    QPen solid(QColor(200, 40, 40), 2.2 / scale);
    QPen dashed(QColor(30, 80, 200), 2.2 / scale);
    dashed.setStyle(Qt::DashLine);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(solid);
    painter.drawPath(curve(0));
    painter.setPen(dashed);
    painter.drawPath(curve(90));
    painter.restore();

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
    painter.setPen(QPen(solid.color(), 2));
    painter.drawLine(QPointF(size * 0.25, ly), QPointF(size * 0.31, ly));
    painter.setPen(Qt::black);
    painter.drawText(QPointF(size * 0.32, ly + size / 120), QStringLiteral("C0-C180"));
    QPen legendDash(dashed.color(), 2);
    legendDash.setStyle(Qt::DashLine);
    painter.setPen(legendDash);
    painter.drawLine(QPointF(size * 0.55, ly), QPointF(size * 0.61, ly));
    painter.setPen(Qt::black);
    painter.drawText(QPointF(size * 0.62, ly + size / 120), QStringLiteral("C90-C270"));
}

} // namespace

bool write(const Photometry &p, const QString &path, QString *error)
{
    if (!(p.lampFlux > 0)) {
        *error = QStringLiteral("光束が 0 です。");
        return false;
    }
    if (!CheckedFile::checkTarget(path, error))
        return false;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (QFileInfo(path).suffix().compare(QStringLiteral("pdf"), Qt::CaseInsensitive) == 0) {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setResolution(300);
        writer.setTitle(QStringLiteral("配光曲線 %1").arg(p.name));
        QPainter painter(&writer);
        const double size = std::min(writer.width(), writer.height());
        draw(painter, p, size);
    } else {
        QImage image(900, 900, QImage::Format_RGB32);
        {
            QPainter painter(&image);
            draw(painter, p, 900);
        }
        if (!image.save(&buffer, "PNG")) {
            *error = QStringLiteral("画像を作成できません。");
            return false;
        }
    }
    buffer.close();
    return CheckedFile::write(path, buffer.data(), error);
}

} // namespace PhotometryPlot
