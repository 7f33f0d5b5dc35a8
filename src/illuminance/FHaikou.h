#pragma once

#include "grid/RecordGrid.h"
#include "master/LuminaireRecord.h"
#include "photometry/LuminaireImport.h"

#include <QDialog>

class MasterTables;
namespace Ui {
class F_Haikou;
}

// 配光データから照明器具を追加: a maker's photometric file (IES or EULUMDAT) read, shown (name, flux,
// fractions, warnings, polar curve, the 照明率 table as it will be stored) and written into a slot of
// the luminaire master beside the program, the file itself kept beside it. Nothing is written
// before OK, and a write that fails changes nothing.
class FHaikou : public QDialog
{
    Q_OBJECT
public:
    FHaikou(const MasterTables &masters, const QString &masterDir, QWidget *parent = nullptr);
    ~FHaikou() override;

    // The open illuminance sheet's rooms: a slot being replaced says how many of them use it.
    void setSheet(const RecordGrid *grid) { m_sheet = grid; }
    // The question before an occupied slot is replaced ("" when the slot is free).
    QString replaceQuestion(int slot) const;

    // After OK: the slot written and the record it holds now.
    int writtenSlot() const { return m_writtenSlot; }
    const LuminaireRecord &writtenRecord() const { return m_writtenRecord; }

public slots:
    void Btn_File_Click();
    void accept() override; // Btn_OK

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void showAnalysis();
    void drawCurve();
    void showUgrTable();
    void slotChanged();
    void nameEdited(const QString &text);
    int slot() const;
    // The factors typed, or a reason why they cannot be taken ("" when they can).
    QString factorsProblem(QStringList *factors) const;

    Ui::F_Haikou *m_ui;
    const MasterTables &m_masters;
    QString m_masterDir;
    QString m_file;
    bool m_loaded = false;
    bool m_sized = false;
    const RecordGrid *m_sheet = nullptr;
    LuminaireImport::Analysis m_analysis;
    int m_writtenSlot = 0;
    LuminaireRecord m_writtenRecord;
};
