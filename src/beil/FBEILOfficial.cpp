#include "beil/FBEIL.h"

#include "beil/BeilExport.h"
#include "beil/BeilRecord.h"
#include "beil/BeilRooms.h"
#include "beil/FMondai.h"
#include "beil/OfficialSheets.h"
#include "grid/WorkFile.h"
#include "beil/StandardValues.h"
#include "io/CheckedFile.h"
#include "ui/Dialogs.h"

#include <QDir>
#include <QFileInfo>

// The sheet's problems list and its rows for the official input sheets: 様式4 CSV, the workbook of
// 様式1 and 様式4, and their import.

bool FBEIL::showProblems(const QList<BeilRooms::Problem> &problems, const QString &what)
{
    FMondai dialog(problems, what, this);
    const int answer = Dialogs::instance().execute(dialog);
    if (answer == QDialog::Accepted && dialog.chosenRow() >= 1)
        jumpTo(dialog.chosenRow());
    return !BeilRooms::hasErrors(problems);
}

void FBEIL::jumpTo(int row)
{
    setTab(0);
    setText(QStringLiteral("Txt_Gyou"), QString::number(row));
    rowFieldLeft(true);
    focus(QStringLiteral("Txt_Gyou"));
}

bool FBEIL::roomsToWrite(QList<BeilRooms::Room> *rooms, const QString &what)
{
    // The rows are written as they are stored: edits on the panel are confirmed or dropped first.
    if (!settlePanelEdits())
        return false;
    QList<BeilRooms::Problem> problems;
    if (BeilRooms::evaluateBuilding(recordGrid(), StandardValues::shipped(), rooms, &problems))
        problems += BeilExport::form4Problems(*rooms);
    if (BeilRooms::hasErrors(problems)) {
        showProblems(problems, what);
        return false;
    }
    if (rooms->isEmpty()) {
        Dialogs::inform(this, QStringLiteral("データがありません。"));
        return false;
    }
    return true;
}

void FBEIL::Btn_Form4_Click()
{
    QList<BeilRooms::Room> rooms;
    if (!roomsToWrite(&rooms, QStringLiteral("様式4の行を作成")))
        return;
    const QString path = Dialogs::instance().saveFile(this, dialogStart(OfficialSheets::kForm4CsvName),
                                                      QStringLiteral("CSV (*.csv)|*.csv"), 1);
    if (path.isEmpty())
        return;
    QByteArray bytes;
    QString why;
    if (!BeilExport::form4Csv(rooms, &bytes, &why) || !CheckedFile::write(path, bytes, &why)) {
        Dialogs::inform(this, QStringLiteral("様式4の行を書き出せませんでした。"), why);
        return;
    }
    setStatusMessage(QStringLiteral("%1 行を書き出しました（%2）").arg(BeilExport::form4Rows(rooms).size()).arg(QDir::toNativeSeparators(path)));
}

void FBEIL::Menu_File_Official_Click()
{
    QList<BeilRooms::Room> rooms;
    if (!roomsToWrite(&rooms, QStringLiteral("公式入力シートを作成")))
        return;
    const QString base = currentFileName().isEmpty() ? QStringLiteral("公式入力シート")
                                                     : QFileInfo(currentFileName()).completeBaseName() + QStringLiteral("_公式入力シート");
    const QString path = Dialogs::instance().saveFile(this, dialogStart(base + QStringLiteral(".xlsx")),
                                                      QStringLiteral("Excel (*.xlsx)|*.xlsx"), 1);
    if (path.isEmpty())
        return;
    QString why;
    const QString building = recordGrid().text(BeilRecord::kHeadingsRow, BeilRecord::kTitle1);
    if (!OfficialSheets::writeWorkbook(rooms, building, path, &why)) {
        Dialogs::inform(this, QStringLiteral("公式入力シートを書き出せませんでした。"), why);
        return;
    }
    setStatusMessage(QStringLiteral("様式1 %1 行・様式4 %2 行を書き出しました（%3）。%4。")
                         .arg(rooms.size())
                         .arg(BeilExport::form4Rows(rooms).size())
                         .arg(QDir::toNativeSeparators(path), OfficialSheets::kOnlyLighting));
}

void FBEIL::Menu_File_OfficialInto_Click()
{
    QList<BeilRooms::Room> rooms;
    if (!roomsToWrite(&rooms, QStringLiteral("公式入力シートに書き込み")))
        return;
    const QString building = Dialogs::instance().openFile(this, dialogStart(QStringLiteral("*.xlsx")),
                                                          QStringLiteral("公式入力シート (*.xlsx *.xlsm)|*.xlsx;*.xlsm"), 1);
    if (building.isEmpty())
        return;
    // A new file beside the building's by default: the engineers' workbook stays as it was until
    // the user chooses to replace it.
    const QFileInfo b(building);
    const QString path = Dialogs::instance().saveFile(
        this, b.dir().filePath(b.completeBaseName() + QStringLiteral("_照明.") + b.suffix()),
        QStringLiteral("Excel (*.xlsx *.xlsm)|*.xlsx;*.xlsm"), 1);
    if (path.isEmpty())
        return;
    OfficialSheets::IntoResult result;
    QString why;
    if (!OfficialSheets::writeInto(rooms, building, path, &result, &why)) {
        Dialogs::inform(this, result.refused ? QStringLiteral("公式入力シートのブックを読み込めません。")
                                             : QStringLiteral("公式入力シートに書き込めませんでした。"),
                        why);
        return;
    }
    const QString done = OfficialSheets::intoText(result, path);
    setStatusMessage(done);
    QStringList lines{done};
    if (!result.added.isEmpty())
        lines.append(QStringLiteral("様式1 に追加した室: %1").arg(result.added.join(QStringLiteral("、"))));
    lines += result.warnings;
    if (!result.warnings.isEmpty() || !result.added.isEmpty())
        Dialogs::inform(this, QStringLiteral("公式入力シートに書き込みました。"), lines.join(u'\n'));
}

void FBEIL::Menu_File_Import_Click()
{
    const QString path = Dialogs::instance().openFile(this, dialogStart(QStringLiteral("*.xlsx")),
                                                      QStringLiteral("公式入力シート (*.xlsx *.xlsm *.csv)|*.xlsx;*.xlsm;*.csv"), 1);
    if (path.isEmpty())
        return;
    OfficialSheets::Read read;
    QList<RecordGrid> files;
    QStringList notes;
    QString why;
    if (!OfficialSheets::read(path, &read, &why) || !OfficialSheets::toWorkFiles(read, &files, &notes, &why)) {
        Dialogs::instance().message(this, QStringLiteral("公式入力シートを読み込めません。\n%1").arg(why), Dialogs::kTitle,
                                    Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        return;
    }
    if (files.size() == 1) {
        if (!takeOver(files.first()))
            return;
    } else {
        // A building beyond one work file: saved as several, the first of them opened.
        Dialogs::inform(this, QStringLiteral("行が多いため %1 つの作業ファイルに分けて保存します。保存する名前を指定してください。").arg(files.size()));
        const QString target = Dialogs::instance().saveFile(this, dialogStart(QFileInfo(path).completeBaseName() + QStringLiteral(".syw")),
                                                            QStringLiteral("作業ファイル (*.syw)|*.syw"), 1);
        if (target.isEmpty())
            return;
        // One set: all of them, and none of an earlier longer import of that name left beside them.
        QStringList names, removed;
        if (!OfficialSheets::writeWorkFiles(files, target, &names, &removed, &why)) {
            Dialogs::inform(this, QStringLiteral("データを保存できませんでした。"), why);
            return;
        }
        if (!openFile(names.first()))
            return;
        notes.append(QStringLiteral("作業ファイル: %1（1 つ目を開きました）").arg(names.join(QStringLiteral("、"))));
        if (!removed.isEmpty()) {
            QStringList shown;
            for (const QString &r : std::as_const(removed))
                shown.append(QFileInfo(r).fileName());
            notes.append(QStringLiteral("以前の読み込みの作業ファイルを削除しました: %1").arg(shown.join(QStringLiteral("、"))));
        }
    }
    if (!notes.isEmpty())
        Dialogs::inform(this, QStringLiteral("公式入力シートを読み込みました。"), notes.join(u'\n'));
    int rooms = 0;
    for (const RecordGrid &g : std::as_const(files))
        rooms += int(BeilRooms::rooms(g).size());
    setStatusMessage(QStringLiteral("様式4 %1 行 → %2 室を読み込みました（%3）").arg(read.form4.size()).arg(rooms).arg(QFileInfo(path).fileName()));
}
