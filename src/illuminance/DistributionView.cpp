#include "illuminance/DistributionView.h"

#include <QPainter>

DistributionView::DistributionView(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(360, 260);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void DistributionView::show(const Distribution::Room &room, const Distribution::Result &result,
                            const QList<DistributionPlot::Style::Observer> &observers)
{
    m_style.observers = observers;
    m_room = room;
    m_result = result;
    m_samples = DistributionPlot::sample(room, result, 96);
    m_has = true;
    update();
}

void DistributionView::clear()
{
    m_has = false;
    update();
}

void DistributionView::setShaded(bool shaded)
{
    m_style.shaded = shaded;
    update();
}

void DistributionView::setPointValues(bool shown)
{
    m_style.pointValues = shown;
    update();
}

void DistributionView::drawInto(QPainter &painter, const QRectF &area) const
{
    if (!m_has)
        return;
    // On the screen no text of the drawing is smaller than the window's own.
    DistributionPlot::Style style = m_style;
    if (painter.device() == this)
        style.smallestText = std::max(6, fontInfo().pixelSize() * 9 / 10);
    DistributionPlot::draw(painter, area, m_room, m_result, m_samples, style);
}

void DistributionView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawInto(painter, rect());
}
