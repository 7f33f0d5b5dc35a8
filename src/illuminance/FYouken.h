#pragma once

#include "grid/RecordGrid.h"
#include "illuminance/RequirementsCheck.h"

#include <QDialog>

class MasterTables;
namespace Ui {
class F_Youken;
}

// 照明要件チェック: every room of a work file against its room requirement (Em, Uo, UGR_L, Ra), a
// verdict per figure and per room. A room is chosen in the list or by its row (行№); its
// requirement is picked from the master (the one its name proposes to start with) and 確認
// records it in the room's rows and moves on to the next room. The report 照明要件チェック表 is
// previewed, printed and saved from here.
class FYouken : public QDialog
{
    Q_OBJECT
public:
    // `grid` is the work file's rows (its headings row included); `fileName` the file they are
    // from ("" for an unsaved sheet), `workFolder` where the print table is made.
    FYouken(const RecordGrid &grid, const MasterTables &masters, const QString &programDir, const QString &fileName,
            const QString &workFolder, QWidget *parent = nullptr);
    ~FYouken() override;

    // Works every room out (with a cancellable progress); false when the master cannot be read
    // (said) or the user cancelled.
    bool prepare();
    // The rows with the requirements recorded, and whether any was.
    const RecordGrid &grid() const { return m_grid; }
    bool changed() const { return m_changed; }
    const QList<RequirementsCheck::Room> &rooms() const { return m_rooms; }

public slots:
    void Btn_Adv_Click();
    void Btn_Preview_Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void paintList();
    void paintRow(int index);
    void showRoom(int index);
    void requirementPicked();
    int roomOfRow(int row) const;
    // The room as its requirement would judge it (the panel's pick, not yet recorded).
    RequirementsCheck::Room judged(int index, const QString &task, bool proposed) const;

    Ui::F_Youken *m_ui;
    RecordGrid m_grid;
    const MasterTables &m_masters;
    QString m_programDir;
    QString m_fileName;
    QString m_workFolder;
    QList<Requirements::Requirement> m_master;
    QList<RoomDistribution::Outcome> m_outcomes;
    QList<RequirementsCheck::Room> m_rooms;
    int m_current = -1;
    bool m_changed = false;
    bool m_showing = false;
    bool m_sized = false;
};
