#pragma once

#include "sheet/SheetFrame.h"

class MasterTables;
namespace Ui {
class F_CECL;
}

// The CEC/L sheet (CEC/L計算書): the rooms of an illuminance work file as zones, completed with
// their input power, standard values, control and correction factors; each zone recomputed as
// the user moves through the panel. What is here is the CEC/L sheet's alone; the frame does the
// rest.
class FCECL : public SheetFrame
{
    Q_OBJECT
public:
    FCECL(const MasterTables &masters, const QString &workFolder, QWidget *parent = nullptr);
    ~FCECL() override;

    void Screen_Set(int row) override;
    void Screen_Clear() override;
    void Data_List_Set();
    // ZoneCalculation of the zone on the panel.
    void Data_calculation();
    // Builds the print table; false when there is nothing to print or it cannot be made (after
    // telling the user why).
    bool Make_Print_File();

public slots:
    void Btn_Seigyo_Click(int index);
    void Btn_Syuho_Click(int index);
    void Btn_Syoho_Click(int index);
    void Menu_Option_Click();

protected:
    void commitRow(int row) override;
    void paintList() override;
    void entryRule(const QString &name, Qt::FocusReason reason) override;
    void fileLoaded() override;
    void fileOpened() override;
    bool beforeConfirm() override;
    QString erasureQuestion(int row) const override;
    int choiceTab(const QString &box) const override;
    bool buildPrintTable(QList<QSqlRecord> *rows) override;
    BandedReport report() const override;
    bool writeExcel(const QString &path, QString *error) override;

private:
    void showOptions();
    // The line under the panel naming the zone of several luminaires that `row` is part of, with
    // the zone's printed figures (the panel's edits in them when `withPanel`).
    void showZone(int row, bool withPanel);

    Ui::F_CECL *m_ui;
    const MasterTables &m_masters;
    QList<QSqlRecord> m_printRows;
    int m_printMethod = 0;
    QString m_primaryEnergyET;
    QString m_primaryEnergyES;
};
