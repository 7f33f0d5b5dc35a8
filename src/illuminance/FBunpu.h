#pragma once

#include "illuminance/RoomDistribution.h"

#include <QDialog>

class MasterTables;
namespace Ui {
class F_Bunpu;
}

// 照度分布: the illuminance distribution of a room (all the rows that light it; the sheet's other
// rooms one after another with 前の室 / 次の室 and the room list), its figures
// (each kind of luminaire, its count and spacing, the grid, Eavg, Emin, Emax, U0, Ud, the lumen
// method's value and what the figures should be read with) beside the drawing with isolux lines;
// the layout of the room's own row may be changed to try others (it is not stored); the drawing
// saved as PNG, or as a B4 page like the report's as PDF.
class FBunpu : public QDialog
{
    Q_OBJECT
public:
    // `sheet` holds the rooms with the panel's row as the panel stands; `row` is that row.
    // `saveFolder` is where the pictures are proposed (the work file's folder, "" for the last one).
    FBunpu(const RecordGrid &sheet, int row, const MasterTables &masters, const QString &masterDir,
           const RoomDistribution::Headings &headings, const QString &saveFolder, QWidget *parent = nullptr);
    ~FBunpu() override;

    const RoomDistribution::Outcome &outcome() const { return m_outcome; }
    // DXF に書き出す: the room shown, or every room of the file (`all`).
    void writeDxf(bool all);

public slots:
    void Btn_Png_Click();
    void Btn_Pdf_Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void recompute(std::optional<Distribution::Layout> layout);
    // The room list and its buttons on the room shown; another room of the sheet shown.
    void showRoomInList();
    void goToRoom(int index);
    QString startFor(const QString &suffix) const;

    Ui::F_Bunpu *m_ui;
    RecordGrid m_sheet;
    int m_row;
    QList<int> m_rows;
    QList<QList<int>> m_rooms; // every room of the sheet, its rows
    const MasterTables &m_masters;
    QString m_masterDir;
    RoomDistribution::Headings m_headings;
    QString m_saveFolder;
    RoomDistribution::Outcome m_outcome;
    bool m_updating = false;
    bool m_sized = false;
};
