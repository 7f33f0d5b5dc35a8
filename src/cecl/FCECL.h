#pragma once

#include "ui/SheetWindow.h"

class MasterTables;

// The CEC/L sheet (CEC/L計算書).
class FCECL : public SheetWindow
{
    Q_OBJECT
public:
    FCECL(const MasterTables &masters, const QString &workFolder, QWidget *parent = nullptr);

private:
    const MasterTables &m_masters;
};
