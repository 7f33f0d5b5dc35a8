#include "illuminance/DistributionView.h"

#include "photometry/DistributionPlot.h"

#include <QPainter>

DistributionView::DistributionView(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(360, 260);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void DistributionView::show(const Distribution::Room &room, const Photometry &photometry, const Distribution::Result &result)
{
    m_room = room;
    m_photometry = photometry;
    m_result = result;
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
    m_shaded = shaded;
    update();
}

void DistributionView::drawInto(QPainter &painter, const QRectF &area) const
{
    if (!m_has)
        return;
    DistributionPlot::draw(painter, area, m_room, m_result,
                           [this](QPointF p) { return Distribution::totalAt(m_room, m_photometry, m_result, p); }, m_shaded);
}

void DistributionView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawInto(painter, rect());
}
