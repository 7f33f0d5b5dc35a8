#pragma once

#include "photometry/Distribution.h"
#include "photometry/DistributionPlot.h"

#include <QWidget>

// The drawing of a room's illuminance distribution on the screen (the same drawing as the report's).
class DistributionView : public QWidget
{
    Q_OBJECT
public:
    explicit DistributionView(QWidget *parent = nullptr);

    void show(const Distribution::Room &room, const Distribution::Result &result,
              const QList<DistributionPlot::Style::Observer> &observers = {});
    void clear();
    void setShaded(bool shaded);
    void setPointValues(bool shown);
    bool hasDrawing() const { return m_has; }
    // The drawing into any painter's area (pictures and PDF files).
    void drawInto(QPainter &painter, const QRectF &area) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_has = false;
    DistributionPlot::Style m_style;
    Distribution::Room m_room;
    Distribution::Result m_result;
    DistributionPlot::Samples m_samples; // worked out once a room, drawn at any size
};
