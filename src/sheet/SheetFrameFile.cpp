// The frame's file operations, printing, help and closing: the same for both sheets.
#include "grid/WorkFile.h"
#include "report/ReportOutput.h"
#include "sheet/SheetFrame.h"
#include "ui/Dialogs.h"
#include "ui/FTitle.h"
#include "ui/HelpWindow.h"
#include "ui/ListGrid.h"
#include "ui/WindowPosition.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

namespace {

const QString kInitialName = QStringLiteral("*.syw");
// The two filters differ by the blank before the parenthesis.
const QString kSaveFilter = QStringLiteral("照度(*.syw)|*.syw");
const QString kOpenFilter = QStringLiteral("照度 (*.syw)|*.syw");

bool anyRowInUse(const RecordGrid &grid)
{
    for (int r = 1; r <= SheetFrame::kLastRow; ++r)
        if (grid.text(r, 1) == u"1")
            return true;
    return false;
}

} // namespace

void SheetFrame::Menu_File_New_Click()
{
    if (anyRowInUse(recordGrid()) && !Dialogs::ask(this, QStringLiteral("現在編集中のデータを破棄しますか？")))
        return;
    Record_Clear();
    m_rowList->clearTexts();
    sheetCleared();
    Screen_Clear();
    Set_Spdtop(m_rowList);
    setText(QStringLiteral("Txt_Gyou"), QStringLiteral("1"));
    m_currentFileName.clear();
    m_shownRow = 1;
    markSaved();
    box(QStringLiteral("Txt_Gyou"))->setFocus(Qt::OtherFocusReason);
}

void SheetFrame::Menu_File_Open_Click()
{
    const QString path = Dialogs::instance().openFile(this, kInitialName, kOpenFilter, 1);
    if (path.isEmpty())
        return; // cancelled: nothing changes
    WorkFile::Error error = WorkFile::Error::None;
    // A failed load leaves the grid, the list, the panel and the names as they were.
    if (!WorkFile::load(recordGrid(), path, &error)) {
        Dialogs::inform(this, QStringLiteral("データの読込に失敗しました。"),
                        QStringLiteral("%1\n%2").arg(QDir::toNativeSeparators(path), WorkFile::errorText(error)));
        return;
    }
    m_dialogFileName = path;
    m_currentFileName = path;
    fileLoaded();
    markSaved();
    Screen_Clear();
    setText(QStringLiteral("Txt_Gyou"), QStringLiteral("1"));
    m_rowList->clearTexts();
    sheetCleared();
    paintList();
    Set_Spdtop(m_rowList);
    UpDown1_Up();
    fileOpened();
    gridChanged();
    box(QStringLiteral("Txt_Gyou"))->setFocus(Qt::OtherFocusReason);
}

void SheetFrame::Menu_File_Save_Click()
{
    saveWithQuestion();
}

void SheetFrame::Menu_File_NSave_Click()
{
    const QString path = Dialogs::instance().saveFile(this, kInitialName, kSaveFilter, 1);
    if (path.isEmpty())
        return;
    m_dialogFileName = path;
    QString reason;
    if (WorkFile::save(recordGrid(), path, nullptr, &reason)) {
        m_currentFileName = path;
        markSaved();
    } else {
        Dialogs::inform(this, QStringLiteral("データを保存できませんでした。"), reason);
    }
}

bool SheetFrame::saveWithQuestion()
{
    if (m_currentFileName.isEmpty()) {
        Menu_File_NSave_Click();
        return !m_currentFileName.isEmpty() && !isWindowModified();
    }
    QString reason;
    if (!WorkFile::save(recordGrid(), m_currentFileName, nullptr, &reason)) {
        Dialogs::inform(this, QStringLiteral("データを保存できませんでした。"), reason);
        return false;
    }
    markSaved();
    return true;
}

void SheetFrame::Menu_File_Preview_Click()
{
    showReport(&ReportOutput::preview);
}

void SheetFrame::Menu_File_Printout_Click()
{
    showReport(&ReportOutput::print);
}

void SheetFrame::showReport(void (*output)(QWidget *, const BandedReport &, const QList<QSqlRecord> &,
                                            const QString &, const QString &))
{
    QList<QSqlRecord> rows;
    if (!buildPrintTable(&rows))
        return;
    gridChanged(); // printing may fill empty cells
    output(this, report(), rows, m_tables.title, pdfName());
}

QString SheetFrame::pdfName() const
{
    if (m_currentFileName.isEmpty())
        return m_tables.title + QStringLiteral(".pdf");
    const QFileInfo file(m_currentFileName);
    return file.dir().filePath(file.completeBaseName() + QStringLiteral(".pdf"));
}

void SheetFrame::Menu_Help_Zeltika_Click()
{
    const QString help = m_helpFile.isEmpty()
                             ? QDir(QApplication::applicationDirPath()).filePath(QStringLiteral("prx5m.hlp"))
                             : m_helpFile;
    if (!HelpWindow::show(this, help))
        Dialogs::inform(this, QStringLiteral("ヘルプファイルを開けません。\n%1").arg(QDir::toNativeSeparators(help)));
}

void SheetFrame::Menu_Help_Version_Click()
{
    FTitle box(this);
    box.exec();
}

void SheetFrame::closeEvent(QCloseEvent *event)
{
    // Nothing is lost without a question: changes since the file was opened or saved.
    if (isWindowModified()) {
        const QString text = m_currentFileName.isEmpty()
                                 ? QStringLiteral("変更されたデータを保存しますか？")
                                 : QStringLiteral("「%1」への変更を保存しますか？").arg(QFileInfo(m_currentFileName).fileName());
        switch (Dialogs::instance().message(this, text, Dialogs::kTitle, Dialogs::Icon::Question,
                                            Dialogs::Buttons::SaveDiscardCancel)) {
        case Dialogs::Answer::Save:
            if (!saveWithQuestion()) {
                event->ignore();
                return;
            }
            break;
        case Dialogs::Answer::Discard:
            break;
        default:
            event->ignore();
            return;
        }
    }
    const QString db = workDatabasePath();
    if (QFile::exists(db))
        QFile::remove(db);
    WindowPosition::store(this);
    event->accept();
    emit closed();
}
