#pragma once

#include "emergency/EmergencyMaster.h"

#include <QDialog>
#include <QStringList>

namespace Ui {
class F_HijouImport;
}

// 非常用照明器具の取り込み: a maker's photometric file as a luminaire of the emergency master (the
// same checks and refusals as the master tool's import). OK imports; a refusal stays in the
// dialog with its reason, nothing written.
class FHijouImport : public QDialog
{
    Q_OBJECT
public:
    // `csv`: the master hijou.csv (made when it is not there yet).
    FHijouImport(const EmergencyMaster::Master &master, const QString &csv, QWidget *parent = nullptr);
    ~FHijouImport() override;

    // What the import did, a line each.
    QStringList said() const { return m_said; }

public slots:
    void accept() override;

private:
    void chooseFile();
    // What the chosen file would register: its name, flux and curve (and a source it names).
    void preview();

    Ui::F_HijouImport *m_ui;
    const EmergencyMaster::Master &m_master;
    QString m_csv;
    QStringList m_said;
    QString m_previewed;        // the file the preview shows
    bool m_sourceChosen = false; // the user picked the source
};
