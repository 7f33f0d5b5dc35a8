#pragma once

#include "illuminance/RoomDistribution.h"

#include <QDialog>
#include <QHash>

class MasterTables;
namespace Ui {
class F_Bunpu;
}

// 照度分布: the illuminance distribution of one room, its figures (layout, h, grid, Eavg, Emin,
// Emax, U0, Ud, the lumen method's value) above the drawing with isolux lines; the layout may be
// changed to try others (it is not stored); the drawing saved as PNG or PDF.
class FBunpu : public QDialog
{
    Q_OBJECT
public:
    // `texts` are the room's, by the columns of the room record (the panel as it stands).
    FBunpu(const QHash<int, QString> &texts, int row, const MasterTables &masters, const QString &masterDir,
           QWidget *parent = nullptr);
    ~FBunpu() override;

    const RoomDistribution::Outcome &outcome() const { return m_outcome; }

public slots:
    void Btn_Png_Click();
    void Btn_Pdf_Click();

private:
    void recompute(std::optional<Distribution::Layout> layout);
    // The drawing and its figures into an area of a painter.
    void drawPage(QPainter &painter, const QRectF &area) const;

    Ui::F_Bunpu *m_ui;
    QHash<int, QString> m_texts;
    int m_row;
    const MasterTables &m_masters;
    QString m_masterDir;
    RoomDistribution::Outcome m_outcome;
    bool m_updating = false;
};
