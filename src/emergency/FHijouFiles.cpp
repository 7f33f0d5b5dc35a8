#include "emergency/FHijou.h"
#include "io/CheckedFile.h"
#include "emergency/EmergencyDxf.h"

#include "emergency/EmergencyOutput.h"
#include "emergency/EmergencyRecord.h"
#include "emergency/FHijouImport.h"
#include "emergency/HijouSheet.h"
#include "illuminance/FMidashi.h"
#include "report/PrintTableFile.h"
#include "settings/SettingsStore.h"
#include "text/NumberText.h"
#include "ui/Dialogs.h"
#include "ui/ListGrid.h"
#include "ui_F_Hijou.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QLabel>

// The emergency sheet's 配置表 and its files, dialogs and outputs (the report, the CSV set, the
// luminaire import).

// ---------------------------------------------------------------- the 配置表

void FHijou::paintReachTable()
{
    ListGrid *list = m_ui->Spd_Haichi;
    // The luminaire chosen above the table: looking at it never touches the row.
    const int slot = m_ui->Cmb_HaichiKigu->currentData().toInt();
    const EmergencyMaster::Luminaire *l = m_master.find(slot);
    list->clearContents();
    list->setup(0);
    if (!l) {
        m_ui->Lbl_HaichiTitle->setText(QStringLiteral("器具を選ぶと、その配光から配置表を求めます。"));
        return;
    }
    if (!m_reach.contains(slot)) {
        EmergencyMaster::Light light;
        QString why;
        if (!EmergencyMaster::light(m_master, slot, &light, &why)) {
            m_ui->Lbl_HaichiTitle->setText(QStringLiteral("%1 番 %2: 配置表を求められません（%3）").arg(slot).arg(l->name, why));
            return;
        }
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_reach.insert(slot, ReachTable::table(*light.table, light.scale));
        QApplication::restoreOverrideCursor();
    }
    const double threshold = EmergencyMaster::threshold(l->source);
    m_ui->Lbl_HaichiTitle->setText(QStringLiteral("%1 番　%2　%3　非常時光束 %4 lm　基準照度 %5 lx")
                                       .arg(slot)
                                       .arg(l->name, EmergencyMaster::sourceText(l->source), NumberText::plain(l->flux),
                                            NumberText::plain(threshold)));
    // A line a height worked out for the luminaire's own threshold, the maker's line under it
    // where the master has one.
    struct Shown {
        double height;
        bool maker;
        std::array<QString, 8> figures;
        std::array<bool, 8> marked{};
    };
    QList<Shown> shown;
    for (const ReachTable::Line &line : std::as_const(m_reach[slot])) {
        if (line.threshold != threshold)
            continue;
        Shown own{line.height, false, {}};
        for (int f = 0; f < 8; ++f)
            own.figures[size_t(f)] = ReachTable::shown(line.figures[size_t(f)]);
        shown.append(own);
        if (const EmergencyMaster::MakerLine *m = EmergencyMaster::makerLine(*l, line.height)) {
            Shown theirs{line.height, true, {}};
            for (int f = 0; f < 8; ++f) {
                if (m->figures[size_t(f)] <= 0)
                    continue;
                theirs.marked[size_t(f)] = ReachTable::makerDiffers(m->figures[size_t(f)], line.figures[size_t(f)]);
                theirs.figures[size_t(f)] = NumberText::format(m->figures[size_t(f)], QStringLiteral("0.0"))
                                            + (theirs.marked[size_t(f)] ? QStringLiteral("※") : QString());
            }
            shown.append(theirs);
        }
    }
    list->setup(int(shown.size()));
    for (int i = 0; i < shown.size(); ++i) {
        const Shown &s = shown[i];
        list->setCellText(i + 1, 1, s.maker ? QString() : NumberText::format(s.height, QStringLiteral("0.0")));
        list->setCellText(i + 1, 2, s.maker ? QStringLiteral("ﾒｰｶｰ") : QStringLiteral("計算"));
        for (int f = 0; f < 8; ++f) {
            list->setCellText(i + 1, 3 + f, s.figures[size_t(f)]);
            list->item(i, 2 + f)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            list->item(i, 2 + f)->setForeground(s.marked[size_t(f)] ? QColor(0xb0, 0, 0) : s.maker ? QColor(0x50, 0x50, 0x50)
                                                                                                   : QColor(0x10, 0x10, 0x10));
        }
        list->item(i, 0)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
}

// ---------------------------------------------------------------- files, dialogs, outputs

void FHijou::fileLoaded()
{
    RecordGrid &g = recordGrid();
    if (g.colCount() < EmergencyRecord::kColumns)
        g.setColCount(EmergencyRecord::kColumns);
}

void FHijou::Option_Menu_Midashi_Click()
{
    FMidashi dialog(recordGrid(), QDate::currentDate(), this);
    Dialogs::instance().execute(dialog);
    gridChanged();
}

void FHijou::Btn_Import_Click()
{
    FHijouImport dialog(m_master, QDir(programDir()).filePath(EmergencyMaster::kFile), this);
    if (Dialogs::instance().execute(dialog) != QDialog::Accepted)
        return;
    loadMaster();
    Data_List_Set();
    Data_calculation();
    setTab(kSlotTab);
    Dialogs::inform(this, QStringLiteral("非常用照明器具を登録しました。"), dialog.said().join(u'\n'));
}

bool FHijou::roomsToWrite(QList<EmergencyRooms::Room> *rooms, const QString &what)
{
    if (!settlePanelEdits())
        return false;
    if (!m_masterError.isEmpty() && m_master.luminaires.isEmpty()) {
        Dialogs::inform(this, QStringLiteral("%1できません。").arg(what), m_masterError);
        return false;
    }
    if (!EmergencyRooms::used(recordGrid())) {
        Dialogs::inform(this, QStringLiteral("データがありません。"), QStringLiteral("非常用照明の入力がありません。"));
        return false;
    }
    QList<EmergencyRooms::Refusal> refusals;
    if (!EmergencyRooms::evaluateAll(recordGrid(), m_master, &m_lights, rooms, &refusals)) {
        QStringList lines;
        for (const EmergencyRooms::Refusal &r : std::as_const(refusals))
            lines.append(r.message());
        Dialogs::inform(this, QStringLiteral("計算できない室があるため%1できません（%2 件）。").arg(what).arg(refusals.size()),
                        lines.join(u'\n'));
        return false;
    }
    return true;
}

void FHijou::Menu_File_Csv_Click()
{
    QList<EmergencyRooms::Room> rooms;
    if (!roomsToWrite(&rooms, QStringLiteral("CSVに書き出し")))
        return;
    const QString folder = Dialogs::instance().chooseFolder(this, dialogStart(QString()), QStringLiteral("CSV を書き出すフォルダ"));
    if (folder.isEmpty())
        return;
    QString why, notice;
    if (!EmergencyOutput::writeCsv(rooms, folder, &why, &notice)) {
        Dialogs::inform(this, QStringLiteral("CSVを書き出せませんでした。"), why);
        return;
    }
    setStatusMessage(QStringLiteral("%1 室を書き出しました（%2 に rooms.csv, points.csv, luminaires.csv）%3")
                         .arg(rooms.size())
                         .arg(QDir::toNativeSeparators(folder), notice.isEmpty() ? QString() : u' ' + notice));
}

void FHijou::Menu_File_Dxf_Click(bool all)
{
    QList<EmergencyRooms::Room> rooms;
    if (!roomsToWrite(&rooms, QStringLiteral("DXFに書き出し")))
        return;
    if (!all) {
        const int row = rowNumber();
        QList<EmergencyRooms::Room> own;
        for (const EmergencyRooms::Room &r : std::as_const(rooms))
            if (r.rows.contains(row))
                own.append(r);
        if (own.isEmpty()) {
            Dialogs::inform(this, QStringLiteral("この行は非常用照明の室ではありません。"));
            return;
        }
        rooms = own;
    }
    const QString name = all ? QStringLiteral("非常用照明.dxf") : QStringLiteral("非常用照明_%1.dxf").arg(rooms.first().rowsText());
    const QString path = Dialogs::instance().saveFile(this, dialogStart(name), QStringLiteral("DXF (*.dxf)|*.dxf"), 1);
    if (path.isEmpty())
        return;
    QString why;
    if (!CheckedFile::write(path, EmergencyDxf::drawing(rooms, m_lights), &why)) {
        Dialogs::inform(this, QStringLiteral("DXF を書き出せませんでした。"), why);
        return;
    }
    setStatusMessage(QStringLiteral("%1 室を DXF に書き出しました: %2").arg(rooms.size()).arg(QDir::toNativeSeparators(path)));
}

bool FHijou::Make_Print_File()
{
    m_printRows.clear();
    QList<EmergencyRooms::Room> rooms;
    QList<EmergencyRooms::Refusal> refusals;
    if (!EmergencyRooms::used(recordGrid())) {
        cannotMakePrintTable(QString());
        return false;
    }
    // Large rooms take a while: how far it is is shown, and it can be cancelled.
    bool cancelled = false;
    const auto progress = [this](int done, int total) {
        return Dialogs::instance().progress(this, QStringLiteral("非常用照明の照度を計算しています（%1 / %2 室）").arg(done).arg(total),
                                            done, total);
    };
    if (!EmergencyRooms::evaluateAll(recordGrid(), m_master, &m_lights, &rooms, &refusals, progress, &cancelled)) {
        if (cancelled) {
            setStatusMessage(QStringLiteral("計算を取り消しました。"));
            return false;
        }
        QStringList lines;
        for (const EmergencyRooms::Refusal &r : std::as_const(refusals))
            lines.append(r.message());
        cannotMakePrintTable(QStringLiteral("計算できない室があります（%1 件）。\n%2").arg(refusals.size()).arg(lines.join(u'\n')));
        return false;
    }
    const QStringList headings = EmergencyOutput::headingsOf(recordGrid());
    const QString company = SettingsStore::ReadSetting(QStringLiteral("CompanyName"));
    QString error;
    if (PrintTableFile::buildLines(workDatabasePath(), EmergencyOutput::kCreateStatement, QStringLiteral("W_Data"),
                                   EmergencyOutput::ColumnCount,
                                   EmergencyOutput::lines(rooms, headings, company, dialogFileName()), &m_printRows, &error)
        != PrintTableFile::Status::Ok) {
        cannotMakePrintTable(error);
        m_printRows.clear();
        return false;
    }
    m_pages = RptHijou::Pages{rooms, m_lights, m_master, headings.value(0), headings.value(2), company};
    setReportNotice(QString());
    return true;
}

bool FHijou::buildPrintTable(QList<QSqlRecord> *rows)
{
    if (!Make_Print_File())
        return false;
    *rows = m_printRows;
    return true;
}

BandedReport FHijou::report() const
{
    return RptHijou::definition(m_pages);
}

bool FHijou::writeExcel(const QString &path, QString *error)
{
    return XlsxOutput::write(RptHijou::workbook(m_printRows), path, error);
}
