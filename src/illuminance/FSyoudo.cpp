#include "illuminance/FSyoudo.h"

#include "master/MasterTables.h"

FSyoudo::FSyoudo(const MasterTables &masters, const QString &workFolder, QWidget *parent)
    : SheetWindow(workFolder, QStringLiteral("t_syou.mdb"), parent), m_masters(masters)
{
    setObjectName(QStringLiteral("F_Syoudo"));
    setWindowTitle(QStringLiteral("照度計算書"));
    resize(900, 640);
}
