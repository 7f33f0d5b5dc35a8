#pragma once

#include "ui/SheetWindow.h"

class MasterTables;

// The illuminance sheet (照度計算書).
class FSyoudo : public SheetWindow
{
    Q_OBJECT
public:
    FSyoudo(const MasterTables &masters, const QString &workFolder, QWidget *parent = nullptr);

private:
    const MasterTables &m_masters;
};
