#include "cecl/FCECL.h"

#include "master/MasterTables.h"

FCECL::FCECL(const MasterTables &masters, const QString &workFolder, QWidget *parent)
    : SheetWindow(workFolder, QStringLiteral("t_cecl.mdb"), parent), m_masters(masters)
{
    setObjectName(QStringLiteral("F_CECL"));
    setWindowTitle(QStringLiteral("CEC/L計算書"));
    resize(900, 640);
}
