#pragma once

#include "sheet/SheetFrame.h"

class MasterTables;
namespace Ui {
class F_CECL;
}

// The CEC/L sheet (CEC/L計算書).
class FCECL : public SheetFrame
{
    Q_OBJECT
public:
    FCECL(const MasterTables &masters, const QString &workFolder, QWidget *parent = nullptr);
    ~FCECL() override;

    void Screen_Set(int row) override;
    void Screen_Clear() override;

protected:
    void commitRow(int row) override;
    void paintList() override;
    void entryRule(const QString &name, Qt::FocusReason reason) override;
    bool buildPrintTable(QList<QSqlRecord> *rows) override;
    BandedReport report() const override;

private:
    Ui::F_CECL *m_ui;
    const MasterTables &m_masters;
};
