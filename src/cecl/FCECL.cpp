#include "cecl/FCECL.h"

#include "master/MasterTables.h"
#include "ui/Dialogs.h"
#include "ui_F_CECL.h"

namespace {

SheetFrame::Tables sheetTables()
{
    SheetFrame::Tables t;
    t.title = QStringLiteral("CEC/L計算書");
    t.workDatabaseName = QStringLiteral("t_cecl.mdb");
    t.columns = 140;
    t.freeTextBoxes = {QStringLiteral("Txt_Kai"), QStringLiteral("Txt_Shitsu"), QStringLiteral("Txt_Shitsu2"),
                       QStringLiteral("Txt_Kiguban"), QStringLiteral("Txt_Seigyo")};
    return t;
}

} // namespace

FCECL::FCECL(const MasterTables &masters, const QString &workFolder, QWidget *parent)
    : SheetFrame(sheetTables(), workFolder, parent), m_ui(new Ui::F_CECL), m_masters(masters)
{
    m_ui->setupUi(this);
    attachForm();
    setTab(0);
    Screen_Clear();
}

FCECL::~FCECL()
{
    delete m_ui;
}

void FCECL::Screen_Set(int) {}

void FCECL::Screen_Clear() {}

void FCECL::commitRow(int) {}

void FCECL::paintList() {}

void FCECL::entryRule(const QString &, Qt::FocusReason) {}

bool FCECL::buildPrintTable(QList<QSqlRecord> *)
{
    Dialogs::inform(this, QStringLiteral("データがありません。"));
    return false;
}

BandedReport FCECL::report() const
{
    return BandedReport();
}
