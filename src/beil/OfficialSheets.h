#pragma once

#include "beil/BeilRooms.h"
#include "grid/RecordGrid.h"
#include "io/XlsxCells.h"

#include <QList>
#include <QString>
#include <QStringList>

// The official input sheets of the energy calculation, as the official Ver.3.8 workbook lays them
// out: 様式1 (共通)室仕様 Rev.2 (tab "1) 室仕様", columns A–N) and 様式4 (照明)照明 (tab "4) 照明",
// columns A–R), each with its ten header rows and data from row 11. Written from the sheet's rooms
// (a CSV per sheet, or one workbook of both), and read back into work files (a workbook, or the
// 様式4 CSV with a 様式1 CSV beside it).
namespace OfficialSheets {

inline const QString kForm4Tab = QStringLiteral("4) 照明");
inline const QString kForm1Tab = QStringLiteral("1) 室仕様");
inline const QString kForm0Tab = QStringLiteral("0) 基本情報");
inline const QString kForm0Title = QStringLiteral("様式 0. (共通)基本情報");
inline const QString kBuildingNameLabel = QStringLiteral("建築物の名称");
inline const QString kForm4Title = QStringLiteral("様式 4. (照明)照明");
inline const QString kForm1Title = QStringLiteral("様式 1. (共通)室仕様 Rev.2");
inline const QString kForm4CsvName = QStringLiteral("様式4 (照明)照明入力シート.csv");
inline const QString kVersion = QStringLiteral("Ver.3.8");
constexpr int kHeaderRows = 10;
constexpr int kForm4Columns = 18; // A–R
constexpr int kForm1Columns = 14; // A–N
// The columns that hold numbers: 様式4 E–J, L, M; 様式1 F–H.
inline const QList<int> kForm4Numbers = {5, 6, 7, 8, 9, 10, 12, 13};
inline const QList<int> kForm1Numbers = {6, 7, 8};
// What 様式1 says of the targets it leaves out, when it is written without the building's workbook.
inline const QString kOnlyLighting = QStringLiteral("照明以外の対象（空調・換気・給湯）は書き出していません");

// The ten header rows of each sheet.
QList<QStringList> form4Header();
QList<QStringList> form1Header();
// A line per room (様式1): 階, 室名, 建物用途, 室用途 大分類 and 小分類, 室面積, 階高, 天井高, the
// target marks (照明 ■), 建築物の名称, 備考.
QList<QStringList> form1Rows(const QList<BeilRooms::Room> &rooms, const QString &buildingName);

// A sheet as the official CSV form: every row from row 1, CP932, CRLF; false when a text cannot
// be held in CP932.
bool csv(const QList<QStringList> &header, const QList<QStringList> &rows, QByteArray *bytes, QString *error);
// The workbook of both sheets, numbers as numbers.
bool writeWorkbook(const QList<BeilRooms::Room> &rooms, const QString &buildingName, const QString &path, QString *error);

// Into the building's own official workbook (its other sheets, its 様式1 rooms and their other
// targets filled in by the other engineers): every part of `buildingPath` copied as it is into
// `path`, but 様式4 from row 11 (the rooms' rows) and 様式1's 照明 mark (column K) of the rooms
// matched by 階 + 室名 (建物用途 and 室用途 between rooms of one name); rooms 様式1 lacks are added
// after its last room, marked; "0) 基本情報" and everything else untouched. New cells are inline
// strings: the shared strings stay as they are.
struct IntoResult {
    int form4Rows = 0;
    int marked = 0;         // rooms of 様式1 given ■
    int alreadyMarked = 0;  // rooms of 様式1 that had it
    QStringList added;      // rooms added to 様式1 ("2F 書庫")
    QStringList warnings;   // rooms marked ■ in 様式1 that the work file lacks
    bool refused = false;   // false returned for the building's workbook (not for the write)
};
bool writeInto(const QList<BeilRooms::Room> &rooms, const QString &buildingPath, const QString &path, IntoResult *result,
               QString *error);
// What it did, a line for the status bar or standard output.
QString intoText(const IntoResult &result, const QString &path);

// The bounds of an official workbook's reading: only "0) 基本情報", 様式1 and 様式4 (by their tabs,
// or by their A1), and no text longer than a work file's field takes: 室名 and 機器名称
// kLongestName characters, 備考 and 建築物の名称 kLongestText, the others kLongestValue.
constexpr int kLongestName = 100;
constexpr int kLongestText = 400;
constexpr int kLongestValue = 64;
XlsxCells::Limits officialLimits();

// 建築物の名称 of a "0) 基本情報" sheet: the first text right of its label ("" when none).
QString buildingNameOf(const XlsxCells::Sheet &sheet);

// The sheets' data rows as read (blank rows left out), 18 and 14 texts each.
struct Read {
    QList<QStringList> form4;
    QList<int> form4Lines;  // the sheet's row of each
    QList<QStringList> form1;
    bool form1Found = false;
    QString buildingName;   // 建築物の名称 of "0) 基本情報", else of 様式1
};
// A workbook (.xlsx, .xlsm: the sheets found by their tabs or by A1 beginning "様式 4." /
// "様式 1.") or the 様式4 CSV (with a 様式1 CSV in the same folder when there is one). False with
// the reason for a file that is no such sheet, malformed, encrypted or too large.
bool read(const QString &path, Read *out, QString *error);

// A workbook from its bytes, as read() reads one.
bool readWorkbookBytes(const QByteArray &bytes, Read *out, QString *error);

// The rows as work files: each luminaire row of 様式4 a row in use (階, 室名, 建物用途, 室用途,
// 床面積, 間口, 奥行, 天井高, 室指数 on every row of its room, 階高 on its first; 機器名称, 入力電力,
// 台数, the four controls, 備考), 様式1 filling what 様式4 leaves blank; more rows than a work file
// holds go into several, split between rooms and keeping floors together where they fit. *notes
// says what the reader should know (the two sheets disagreeing, a room of another input method,
// the files made).
bool toWorkFiles(const Read &in, QList<RecordGrid> *files, QStringList *notes, QString *error);

// The names of the work files of an import into `path`: the name itself for one file, else
// NAME_1.syw, NAME_2.syw, ….
QStringList fileNames(const QString &path, int count);

// The work files of an import written as one set at `path`'s folder (all old or all new, whatever
// stops the run; the next run mends what a stopped one left), the files of an earlier import of
// the same stem that this one has no place for (NAME_k.syw beyond the new count) removed in the
// same set (*removed). A file of such a name that is no work file of the program's is refused
// before anything is written. False with the reason; *written names the files made.
bool writeWorkFiles(const QList<RecordGrid> &files, const QString &path, QStringList *written, QStringList *removed,
                    QString *error);

} // namespace OfficialSheets
