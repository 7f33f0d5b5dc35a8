#pragma once

#include "cecl/CeclOptions.h"

#include <QDialog>

class MasterTables;
class RecordGrid;
namespace Ui {
class F_CECL_OP;
}

// The CEC/L options dialog (CEC/Lｵﾌﾟｼｮﾝ): building type, simplified method, and the links of the
// zones' standard values to the room master. Loaded from the headings row each time it is shown;
// only OK writes back.
class FCECLOP : public QDialog
{
    Q_OBJECT
public:
    FCECLOP(RecordGrid &grid, const MasterTables &masters, QWidget *parent = nullptr);
    ~FCECLOP() override;

    // What OK copied from the room master into the zones.
    const CeclOptions::Copied &copied() const { return m_copied; }

public slots:
    void accept() override;   // OK
    void CancelButton_Click();

private:
    bool refusedWithoutBuildingType();

    Ui::F_CECL_OP *m_ui;
    RecordGrid &m_grid;
    const MasterTables &m_masters;
    CeclOptions::Copied m_copied;
};
