// The frame's file operations, printing, help and closing: the same for both sheets.
#include "grid/WorkFile.h"
#include "report/ReportFont.h"
#include "settings/SettingsStore.h"
#include "report/ReportOutput.h"
#include "sheet/SheetFrame.h"
#include "sheet/SavedSheet.h"
#include "ui/Dialogs.h"
#include "ui/FTitle.h"
#include "ui/HelpWindow.h"
#include "ui/ListGrid.h"
#include "ui/ModalScope.h"
#include "ui/WindowPosition.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QTimer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

namespace {

const QString kInitialName = QStringLiteral("*.syw");

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
    // Changes are saved or dropped first; a sheet without changes but with rooms still asks
    // before its rooms go.
    if (isWindowModified()) {
        if (!settleChanges())
            return;
    } else if (anyRowInUse(recordGrid()) && !Dialogs::ask(this, QStringLiteral("現在編集中のデータを破棄しますか？"))) {
        return;
    }
    Record_Clear();
    m_rowList->clearTexts();
    sheetCleared();
    Screen_Clear();
    Set_Spdtop(m_rowList);
    setText(QStringLiteral("Txt_Gyou"), QStringLiteral("1"));
    m_currentFileName.clear();
    m_fileStamp = {};
    m_fileColumns = m_tables.columns;
    m_shownRow = m_panelRow = 1;
    m_panelEdited = false;
    markSaved();
    focus(QStringLiteral("Txt_Gyou"));
}

void SheetFrame::Menu_File_Open_Click()
{
    if (!settleChanges())
        return;
    const QString path = Dialogs::instance().openFile(this, dialogStart(kInitialName), m_tables.openFilter, 1);
    if (path.isEmpty())
        return; // cancelled: nothing changes
    loadFile(path);
}

bool SheetFrame::openFile(const QString &path)
{
    return settleChanges() && loadFile(path);
}

bool SheetFrame::loadFile(const QString &path)
{
    WorkFile::Error error = WorkFile::Error::None;
    // A failed load leaves the grid, the list, the panel and the names as they were. The grid
    // takes the file's width (at least the sheet's own), not the width of the file before it.
    RecordGrid loaded(kRows, 1);
    if (!WorkFile::load(loaded, path, &error)) {
        Dialogs::inform(this, QStringLiteral("データの読込に失敗しました。"),
                        QStringLiteral("%1\n%2").arg(QDir::toNativeSeparators(path), WorkFile::errorText(error)));
        return false;
    }
    m_fileColumns = loaded.colCount();
    loaded.setColCount(std::max(m_tables.columns, m_fileColumns));
    m_recData->grid = loaded;
    m_savedGrid = loaded;
    m_dialogFileName = path;
    m_currentFileName = path;
    SettingsStore::writePath(QStringLiteral("LastFolder"), QFileInfo(path).absolutePath());
    rememberFile();
    showLoaded();
    return true;
}

bool SheetFrame::takeOver(const RecordGrid &grid)
{
    if (!settleChanges())
        return false;
    RecordGrid taken = grid;
    taken.setSize(kRows, std::max(m_tables.columns, grid.colCount()));
    m_recData->grid = taken;
    // Not yet saved anywhere: everything it holds is a change.
    m_savedGrid = RecordGrid(kRows, taken.colCount());
    m_fileColumns = m_tables.columns;
    m_currentFileName.clear();
    m_dialogFileName.clear();
    m_fileStamp = {};
    showLoaded();
    return true;
}

void SheetFrame::showLoaded()
{
    setStatusMessage(QString());
    // The sheet widens the grid for its own columns and brings stored figures up to date; what
    // it changed shows as a change of the file.
    fileLoaded();
    m_savedGrid.setColCount(recordGrid().colCount());
    m_panelEdited = false;
    updateTitle();
    gridChanged();
    Screen_Clear();
    setText(QStringLiteral("Txt_Gyou"), QStringLiteral("1"));
    m_rowList->clearTexts();
    sheetCleared();
    paintList();
    Set_Spdtop(m_rowList);
    UpDown1_Up();
    fileOpened();
    gridChanged();
    // The row field, its number selected: what is typed next replaces it.
    focus(QStringLiteral("Txt_Gyou"));
}

void SheetFrame::Menu_File_Save_Click()
{
    saveWithQuestion();
}

void SheetFrame::Menu_File_NSave_Click()
{
    const QString path = Dialogs::instance().saveFile(this, dialogStart(kInitialName), m_tables.saveFilter, 1);
    if (path.isEmpty())
        return;
    m_dialogFileName = path;
    QString reason;
    if (saveGrid(path, &reason)) {
        m_currentFileName = path;
        SettingsStore::writePath(QStringLiteral("LastFolder"), QFileInfo(path).absolutePath());
        rememberFile();
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
    // Another program's change to the file is not overwritten without a question.
    if (changedByAnotherProgram()
        && !Dialogs::ask(this, QStringLiteral("「%1」は他のプログラムで変更されています。上書きしますか？")
                                   .arg(QFileInfo(m_currentFileName).fileName()),
                           Dialogs::Icon::Warning)) {
        return false;
    }
    QString reason;
    if (!saveGrid(m_currentFileName, &reason)) {
        Dialogs::inform(this, QStringLiteral("データを保存できませんでした。"), reason);
        return false;
    }
    rememberFile();
    markSaved();
    return true;
}

int SheetFrame::savedColumns() const
{
    // The file keeps its width unless a sheet wrote beyond it: a 38-column file opened on a
    // wider sheet and saved unchanged stays byte for byte.
    const RecordGrid &g = recordGrid();
    for (int r = 1; r <= g.rowCount(); ++r)
        for (int c = m_fileColumns + 1; c <= g.colCount(); ++c)
            if (!g.text(r, c).isEmpty())
                return g.colCount();
    return std::min(m_fileColumns, g.colCount());
}

bool SheetFrame::saveGrid(const QString &path, QString *reason)
{
    RecordGrid out = recordGrid();
    const int width = savedColumns();
    out.setColCount(width);
    if (!WorkFile::save(out, path, nullptr, reason))
        return false;
    m_fileColumns = width;
    // Named on the command line later, the file opens on this sheet again.
    SavedSheet::remember(path, objectName());
    return true;
}

void SheetFrame::rememberFile()
{
    m_fileStamp = {};
    QFile file(m_currentFileName);
    if (m_currentFileName.isEmpty() || !file.open(QIODevice::ReadOnly))
        return;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return;
    m_fileStamp.size = file.size();
    m_fileStamp.hash = hash.result();
}

bool SheetFrame::changedByAnotherProgram() const
{
    if (m_fileStamp.size < 0)
        return false; // nothing known of the file: nothing to compare
    QFile file(m_currentFileName);
    if (!file.exists())
        return false; // gone: saving loses nobody's work
    if (!file.open(QIODevice::ReadOnly))
        return true;
    if (file.size() != m_fileStamp.size)
        return true;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    return !hash.addData(&file) || hash.result() != m_fileStamp.hash;
}

bool SheetFrame::settleChanges()
{
    if (!isWindowModified())
        return true;
    const QString text = m_currentFileName.isEmpty()
                             ? QStringLiteral("変更されたデータを保存しますか？")
                             : QStringLiteral("「%1」への変更を保存しますか？").arg(QFileInfo(m_currentFileName).fileName());
    switch (Dialogs::instance().message(this, text, Dialogs::kTitle, Dialogs::Icon::Question,
                                        Dialogs::Buttons::SaveDiscardCancel)) {
    case Dialogs::Answer::Save:
        return confirmPanel() && saveWithQuestion();
    case Dialogs::Answer::Discard:
        return true;
    default:
        return false;
    }
}

bool SheetFrame::confirmPanel()
{
    if (!m_panelEdited || m_panelRow < 1 || m_panelRow > kLastRow)
        return true;
    // Saving on the way out keeps what was typed, even a value the calculation refuses; only an
    // erasure the user declines keeps the window open.
    leaveEditedField();
    beforeConfirm();
    if (!erasureAllowed(m_panelRow))
        return false;
    commitRow(m_panelRow);
    m_panelEdited = false;
    paintList();
    gridChanged();
    return true;
}

void SheetFrame::Menu_File_Preview_Click()
{
    showReport(false);
}

void SheetFrame::Menu_File_Printout_Click()
{
    showReport(true);
}

void SheetFrame::showReport(bool onPrinter)
{
    // Without a Japanese font every Japanese character would print as an empty box.
    if (!ReportFont::available()) {
        Dialogs::instance().message(this, ReportFont::missingMessage(), Dialogs::kTitle, Dialogs::Icon::Critical,
                                    Dialogs::Buttons::Ok);
        return;
    }
    QList<QSqlRecord> rows;
    m_reportNotice.clear();
    if (!buildPrintTable(&rows))
        return;
    gridChanged(); // printing may fill empty cells
    if (!m_reportNotice.isEmpty())
        setStatusMessage(m_reportNotice);
    ReportOutput::Option option;
    const bool withOption = reportOption(&option);
    if (onPrinter)
        ReportOutput::print(this, report(), rows, m_tables.title, pdfName(), withOption ? &option : nullptr);
    else
        ReportOutput::preview(this, report(), rows, m_tables.title, pdfName(), m_reportNotice, withOption ? &option : nullptr,
                              [this](const QString &path, QString *error) { return writeExcel(path, error); });
}

QString SheetFrame::pdfName() const
{
    if (m_currentFileName.isEmpty()) {
        // "CEC/L計算書" names no folder: the slash is written full width.
        QString title = m_tables.title;
        title.replace(u'/', QChar(0xFF0F));
        const QString folder = SettingsStore::readPath(QStringLiteral("LastFolder"));
        return QDir(folder.isEmpty() || !QFileInfo(folder).isDir() ? QDir::homePath() : folder)
            .filePath(title + QStringLiteral(".pdf"));
    }
    const QFileInfo file(m_currentFileName);
    const QString suffix = m_tables.reportName.isEmpty() ? QString() : u'_' + m_tables.reportName;
    return file.dir().filePath(file.completeBaseName() + suffix + QStringLiteral(".pdf"));
}

QString SheetFrame::dialogStart(const QString &name) const
{
    const QString folder = m_currentFileName.isEmpty() ? SettingsStore::readPath(QStringLiteral("LastFolder"))
                                                       : QFileInfo(m_currentFileName).absolutePath();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return name;
    return QDir(folder).filePath(name);
}

void SheetFrame::Menu_Help_Zeltika_Click()
{
    const QString help = m_helpFile.isEmpty()
                             ? QDir(QApplication::applicationDirPath()).filePath(QStringLiteral("prx5m.hlp"))
                             : m_helpFile;
    if (!HelpWindow::show(this, help, m_tables.helpSection))
        Dialogs::inform(this, QStringLiteral("ヘルプファイルを開けません。\n%1").arg(QDir::toNativeSeparators(help)));
}

void SheetFrame::Menu_Help_Version_Click()
{
    FTitle box(this);
    const ModalScope running(this);
    box.exec();
}

bool SheetFrame::event(QEvent *event)
{
    // Closed while one of its dialogs runs (a session ending with a file dialog open): that
    // dialog is a child of the sheet, living on the stack of the sheet's own code. The dialogs
    // are ended and the sheet goes only once their loops have returned.
    if (event->type() == QEvent::DeferredDelete && ModalScope::running(this)) {
        for (QDialog *dialog : findChildren<QDialog *>())
            if (dialog->isVisible())
                dialog->reject();
        QTimer::singleShot(10, this, &QObject::deleteLater);
        return true;
    }
    return QMainWindow::event(event);
}

void SheetFrame::closeEvent(QCloseEvent *event)
{
    // Nothing is lost without a question: changes since the file was opened or saved, and edits
    // on the panel not yet confirmed. A save that fails keeps the window and its data.
    if (!settleChanges()) {
        event->ignore();
        return;
    }
    const QString db = workDatabasePath();
    if (QFile::exists(db))
        QFile::remove(db);
    WindowPosition::store(this);
    event->accept();
    emit closed();
}
