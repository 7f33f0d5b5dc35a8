#include "beil/OfficialSheets.h"

#include "beil/BeilRecord.h"
#include "beil/Controls.h"
#include "beil/StandardValues.h"
#include "io/BoundedRead.h"
#include "io/XlsxCells.h"
#include "text/Cp932.h"
#include "text/CsvText.h"
#include "text/NumberText.h"
#include "grid/WorkFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

// The official input sheets read back: a workbook or the 様式4 CSV (with its 様式1 beside it) into
// the rows of work files.
namespace OfficialSheets {

namespace {

using namespace BeilRecord;

constexpr qint64 kMaxBytes = 32LL * 1024 * 1024;
constexpr int kMaxLines = 20000;
constexpr int kFirstData = kHeaderRows + 1;

QString cellError(const QString &sheet, int row, int column, const QString &what)
{
    return QStringLiteral("「%1」のセル %2%3 %4").arg(sheet, XlsxCells::columnName(column)).arg(row).arg(what);
}

// The data rows (row 11 on) of a sheet's cells, `columns` texts each; a row of blanks is left out.
bool dataOf(const XlsxCells::Sheet &sheet, int columns, const QList<int> &numbers, QList<QStringList> *rows,
            QList<int> *lines, QString *error)
{
    for (int r = kFirstData; r <= sheet.rows.size(); ++r) {
        QStringList texts(columns);
        bool any = false;
        for (int c = 1; c <= columns; ++c) {
            const XlsxCells::Cell &cell = sheet.at(r, c);
            if (cell.kind == XlsxCells::Cell::Boolean || cell.kind == XlsxCells::Cell::Error) {
                *error = cellError(sheet.name, r, c, QStringLiteral("の値「%1」は使えません（文字または数値にしてください）。").arg(cell.text));
                return false;
            }
            const QString text = cell.text.trimmed();
            if (!text.isEmpty() && numbers.contains(c) && !NumberText::strict(text)) {
                *error = cellError(sheet.name, r, c, QStringLiteral("「%1」は数値ではありません。").arg(text.left(40)));
                return false;
            }
            texts[c - 1] = text;
            any = any || !text.isEmpty();
        }
        if (any) {
            rows->append(texts);
            if (lines)
                lines->append(r);
        }
    }
    return true;
}

} // namespace

XlsxCells::Limits officialLimits()
{
    XlsxCells::Limits limits;
    // Only the sheets the rows come from; the building's other sheets are never unpacked.
    limits.onlyTabs = {kForm0Tab, kForm1Tab, kForm4Tab};
    limits.onlyFirstCells = {QStringLiteral("様式 0."), QStringLiteral("様式 1."), QStringLiteral("様式 4.")};
    // What a work file's field takes (in characters), refused as it is read.
    limits.maxChars = [](const QString &sheet, int row, int column) {
        if (row <= kHeaderRows || sheet.trimmed() == kForm0Tab)
            return kLongestText;
        const bool four = sheet.trimmed() == kForm4Tab;
        if (column == 2 || (four && column == 11))
            return kLongestName;  // 室名, 機器名称
        if (column == (four ? 18 : 14) || (!four && column == 13))
            return kLongestText;  // 備考, 建築物の名称
        return kLongestValue;     // 階, 用途, numbers, controls, marks
    };
    return limits;
}

namespace {

bool isSheet(const XlsxCells::Sheet &sheet, const QString &tab, const QString &mark)
{
    return sheet.name.trimmed() == tab || sheet.at(1, 1).text.trimmed().startsWith(mark);
}

bool sheetsRead(const QList<XlsxCells::Sheet> &sheets, Read *out, QString *error);

bool readWorkbook(const QString &path, Read *out, QString *error)
{
    QList<XlsxCells::Sheet> sheets;
    return XlsxCells::read(path, &sheets, error, officialLimits()) && sheetsRead(sheets, out, error);
}

bool sheetsRead(const QList<XlsxCells::Sheet> &sheets, Read *out, QString *error)
{
    const XlsxCells::Sheet *form4 = nullptr, *form1 = nullptr;
    for (const XlsxCells::Sheet &s : std::as_const(sheets)) {
        if (!form4 && isSheet(s, kForm4Tab, QStringLiteral("様式 4.")))
            form4 = &s;
        else if (!form1 && isSheet(s, kForm1Tab, QStringLiteral("様式 1.")))
            form1 = &s;
        else if (out->buildingName.isEmpty() && isSheet(s, kForm0Tab, QStringLiteral("様式 0.")))
            out->buildingName = buildingNameOf(s);
    }
    if (!form4) {
        *error = QStringLiteral("様式4（照明）のシートがありません（シート名「%1」、または A1 が「様式 4.」で始まるシート）。").arg(kForm4Tab);
        return false;
    }
    if (!dataOf(*form4, kForm4Columns, kForm4Numbers, &out->form4, &out->form4Lines, error))
        return false;
    if (form1) {
        out->form1Found = true;
        if (!dataOf(*form1, kForm1Columns, kForm1Numbers, &out->form1, nullptr, error))
            return false;
    }
    return true;
}

// The rows of a CSV form, from line 11; false when the file is no CSV of CP932 text.
bool csvRows(const QString &path, int columns, const QList<int> &numbers, QList<QStringList> *rows, QList<int> *lines,
             QString *error, QString *firstCell = nullptr)
{
    QByteArray bytes;
    if (BoundedRead::read(path, kMaxBytes, &bytes, error) != BoundedRead::Outcome::Read)
        return false;
    bool ok = false;
    const QString text = Cp932::decode(bytes, &ok);
    if (!ok) {
        *error = QStringLiteral("%1: シフトJIS（コードページ932）の文字でない部分があります。").arg(QFileInfo(path).fileName());
        return false;
    }
    QVector<QStringList> all;
    WorkFile::Error e = WorkFile::Error::None;
    if (!WorkFile::fromCsv(text, kMaxLines, &all, &e)) {
        *error = QStringLiteral("%1: %2。").arg(QFileInfo(path).fileName(), WorkFile::errorText(e, kMaxLines));
        return false;
    }
    if (firstCell)
        *firstCell = all.isEmpty() || all[0].isEmpty() ? QString() : all[0][0].trimmed();
    for (int r = kFirstData; r <= all.size(); ++r) {
        QStringList texts(columns);
        bool any = false;
        for (int c = 1; c <= columns; ++c) {
            // A text written after an apostrophe so that a spreadsheet shows it as text.
            const QString t = CsvText::unguarded(all[r - 1].value(c - 1).trimmed());
            if (!t.isEmpty() && numbers.contains(c) && !NumberText::strict(t)) {
                *error = QStringLiteral("%1 の %2 行目 %3 列「%4」は数値ではありません。")
                             .arg(QFileInfo(path).fileName())
                             .arg(r)
                             .arg(XlsxCells::columnName(c), t.left(40));
                return false;
            }
            texts[c - 1] = t;
            any = any || !t.isEmpty();
        }
        if (any) {
            rows->append(texts);
            if (lines)
                lines->append(r);
        }
    }
    return true;
}

bool readCsv(const QString &path, Read *out, QString *error)
{
    QString first;
    if (!csvRows(path, kForm4Columns, kForm4Numbers, &out->form4, &out->form4Lines, error, &first))
        return false;
    if (!first.startsWith(QStringLiteral("様式 4."))) {
        *error = QStringLiteral("%1 は様式4（照明）の CSV ではありません（1 行目が「様式 4.」で始まりません）。").arg(QFileInfo(path).fileName());
        return false;
    }
    // The 様式1 of the same building, in the same folder.
    const QFileInfoList beside = QFileInfo(path).dir().entryInfoList({QStringLiteral("*.csv"), QStringLiteral("*.CSV")},
                                                                      QDir::Files, QDir::Name);
    for (const QFileInfo &f : beside.mid(0, 200)) {
        if (f.absoluteFilePath() == QFileInfo(path).absoluteFilePath())
            continue;
        // Recognised by its first line, a few bytes of it: other CSV files are never read whole.
        QFile head(f.absoluteFilePath());
        if (!f.isFile() || !head.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            continue;
        const QString first = Cp932::decodeLossy(head.read(256));
        head.close();
        if (!first.trimmed().startsWith(QStringLiteral("様式 1.")) && !first.trimmed().startsWith(QStringLiteral("\"様式 1.")))
            continue;
        QList<QStringList> rows;
        QString ignored, mark;
        if (csvRows(f.absoluteFilePath(), kForm1Columns, kForm1Numbers, &rows, nullptr, &ignored, &mark)
            && mark.startsWith(QStringLiteral("様式 1."))) {
            out->form1 = rows;
            out->form1Found = true;
            break;
        }
    }
    return true;
}

QString stored(int category, const QString &shown)
{
    const Controls::Choice *c = Controls::find(category, shown);
    return c ? Controls::stored(*c) : shown;
}

struct Room {
    QStringList head;            // A–J of its first row
    QList<QStringList> kinds;    // K–R of each row
    int line = 0;                // its first row on the sheet
};

} // namespace


QString buildingNameOf(const XlsxCells::Sheet &sheet)
{
    // The label, wherever the sheet puts it; the name is the first text to its right.
    for (int r = 1; r <= std::min<qsizetype>(sheet.rows.size(), 200); ++r)
        for (int c = 1; c <= sheet.rows[r - 1].size(); ++c) {
            const QString label = sheet.at(r, c).text;
            if (!label.contains(QStringLiteral("建築物の名称")) && !label.contains(QStringLiteral("建物の名称")))
                continue;
            for (int v = c + 1; v <= sheet.rows[r - 1].size(); ++v)
                if (const QString name = sheet.at(r, v).text.trimmed(); !name.isEmpty())
                    return name;
        }
    return QString();
}

bool readWorkbookBytes(const QByteArray &bytes, Read *out, QString *error)
{
    *out = Read();
    QList<XlsxCells::Sheet> sheets;
    if (!XlsxCells::readBytes(bytes, &sheets, error, officialLimits()) || !sheetsRead(sheets, out, error))
        return false;
    if (out->form4.isEmpty()) {
        *error = QStringLiteral("様式4（照明）に照明器具の行がありません（11 行目から）。");
        return false;
    }
    return true;
}

bool read(const QString &path, Read *out, QString *error)
{
    *out = Read();
    QByteArray head;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        head = file.read(4);
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool workbook = suffix == u"xlsx" || suffix == u"xlsm" || head.startsWith("PK");
    if (!workbook && (suffix == u"xls" || head.startsWith("\xD0\xCF\x11\xE0"))) {
        *error = QStringLiteral("%1 は読めません（暗号化されたファイルや古い形式（.xls）は、Excel で .xlsx に保存し直してください）。")
                     .arg(QFileInfo(path).fileName());
        return false;
    }
    if (!(workbook ? readWorkbook(path, out, error) : readCsv(path, out, error)))
        return false;
    if (out->form4.isEmpty()) {
        *error = QStringLiteral("様式4（照明）に照明器具の行がありません（11 行目から）。");
        return false;
    }
    for (const QStringList &r : std::as_const(out->form1))
        if (out->buildingName.isEmpty() && !r.value(12).isEmpty())
            out->buildingName = r.value(12);
    return true;
}

bool toWorkFiles(const Read &in, QList<RecordGrid> *files, QStringList *notes, QString *error)
{
    files->clear();
    // The rooms of 様式4: a row with any of A–J begins one; rows with A–J blank are its further kinds.
    QList<Room> rooms;
    for (qsizetype i = 0; i < in.form4.size(); ++i) {
        const QStringList &r = in.form4[i];
        const int sheetRow = in.form4Lines.value(i, int(i) + kFirstData);
        bool head = false;
        for (int c = 0; c < 10; ++c)
            head = head || !r[c].isEmpty();
        if (head) {
            rooms.append({r.mid(0, 10), {}, sheetRow});
        } else if (rooms.isEmpty()) {
            *error = QStringLiteral("様式4の %1 行目: 室（A〜J 列）より前に照明器具の行があります。").arg(sheetRow);
            return false;
        }
        rooms.last().kinds.append(r.mid(10, 8));
    }
    // 様式1 by 階 + 室名.
    QHash<QString, QStringList> form1;
    for (const QStringList &r : in.form1)
        form1.insert(r[0] + u'\n' + r[1], r);
    QString floor;
    for (Room &room : rooms) {
        if (room.head[0].isEmpty())
            room.head[0] = floor; // a floor written once for its rooms
        floor = room.head[0];
        const QStringList one = form1.value(room.head[0] + u'\n' + room.head[1]);
        if (one.isEmpty())
            continue;
        // 様式1's C–H beside 様式4's C, D, E, F, G: what one leaves blank, the other gives.
        const struct {
            int form4, form1;
            const char *field;
        } pairs[] = {{2, 3, "室用途 大分類"}, {3, 4, "室用途 小分類"}, {4, 5, "室面積"}, {5, 6, "階高"}, {6, 7, "天井高"}};
        for (const auto &p : pairs) {
            const QString a = room.head[p.form4], b = one[p.form1];
            if (a.isEmpty()) {
                room.head[p.form4] = b;
            } else if (!b.isEmpty() && a != b && !(NumberText::strict(a) && NumberText::strict(b) && *NumberText::strict(a) == *NumberText::strict(b))) {
                notes->append(QStringLiteral("様式4の %1 行目（%2 %3）の%4「%5」は様式1では「%6」です（様式4の値を使います）。")
                                  .arg(room.line)
                                  .arg(room.head[0], room.head[1], QString::fromUtf8(p.field), a, b));
            }
        }
    }
    // Rooms onto work files: floors kept together where they fit.
    QList<QList<const Room *>> groups;
    int rowsInFile = 0;
    QString lastFloor;
    for (qsizetype i = 0; i < rooms.size(); ++i) {
        const Room &room = rooms[i];
        const int n = int(room.kinds.size());
        if (n > kRooms) {
            *error = QStringLiteral("様式4の %1 行目（%2）の室は照明器具の行が %3 行あり、1 つの作業ファイル（%4 行）に入りません。")
                         .arg(room.line)
                         .arg(room.head[1])
                         .arg(n)
                         .arg(kRooms);
            return false;
        }
        // At a new floor: the whole floor to a new file when it does not fit here but fits one file.
        if (room.head[0] != lastFloor && !groups.isEmpty()) {
            int floorRows = 0;
            for (qsizetype j = i; j < rooms.size() && rooms[j].head[0] == room.head[0]; ++j)
                floorRows += int(rooms[j].kinds.size());
            if (rowsInFile + floorRows > kRooms && floorRows <= kRooms)
                rowsInFile = kRooms + 1;
        }
        if (groups.isEmpty() || rowsInFile + n > kRooms) {
            groups.append(QList<const Room *>());
            rowsInFile = 0;
        }
        groups.last().append(&room);
        rowsInFile += n;
        lastFloor = room.head[0];
    }
    for (const QList<const Room *> &group : std::as_const(groups)) {
        RecordGrid g(BeilRecord::kHeadingsRow, BeilRecord::kColumns);
        QHash<QString, int> uses;
        int row = 0;
        const Room *previous = nullptr;
        for (const Room *room : group) {
            const QStringList &h = room->head;
            // Two rooms of one name and size side by side would be one room of the sheet: the
            // second is told apart in 室名２.
            QString name2;
            if (previous && previous->head[0] == h[0] && previous->head[1] == h[1] && previous->head[4] == h[4]
                && previous->head[7] == h[7] && previous->head[8] == h[8]) {
                name2 = QStringLiteral("（%1 行目）").arg(room->line);
                notes->append(QStringLiteral("様式4の %1 行目の室「%2」は前の室と名前も寸法も同じため、室名２を「%3」として別の室にしました。")
                                  .arg(room->line)
                                  .arg(h[1], name2));
            }
            for (qsizetype k = 0; k < room->kinds.size(); ++k) {
                ++row;
                const QStringList &kind = room->kinds[k];
                g.setText(row, InUse, QStringLiteral("1"));
                g.setText(row, Floor, h[0]);
                g.setText(row, RoomName1, h[1]);
                g.setText(row, RoomName2, name2);
                g.setText(row, BuildingUse, StandardValues::tableBuilding(h[2]));
                g.setText(row, RoomUse, h[3]);
                g.setText(row, Area, h[4]);
                if (k == 0)
                    g.setText(row, StoryHeight, h[5]);
                g.setText(row, CeilingHeight, h[6]);
                g.setText(row, Width, h[7]);
                g.setText(row, Depth, h[8]);
                g.setText(row, RoomIndex, h[9]);
                g.setText(row, EquipmentName, kind[0]);
                g.setText(row, InputPower, kind[1]);
                g.setText(row, FittingCount, kind[2]);
                for (int c = 0; c < Controls::kCategories; ++c)
                    g.setText(row, Occupancy + c, stored(c, kind[3 + c]));
                g.setText(row, Remark, kind[7]);
            }
            if (h[3] == StandardValues::kOtherMethod)
                notes->append(QStringLiteral("様式4の %1 行目（%2）: 非主要室（主要室入力法）はこのシートでは計算できません。").arg(room->line).arg(h[1]));
            uses[StandardValues::tableBuilding(h[2])] += 1;
            previous = room;
        }
        g.setText(BeilRecord::kHeadingsRow, BeilRecord::kTitle1, in.buildingName);
        // The building's use: the one most of its rooms have.
        QString most;
        for (auto it = uses.cbegin(); it != uses.cend(); ++it)
            if (!it.key().isEmpty() && (most.isEmpty() || it.value() > uses.value(most)))
                most = it.key();
        g.setText(BeilRecord::kHeadingsRow, BeilRecord::kDefaultBuildingUse, most);
        files->append(g);
    }
    if (files->size() > 1)
        notes->append(QStringLiteral("行が多いため %1 つの作業ファイルに分けました（1 つのファイルは %2 行まで）。").arg(files->size()).arg(kRooms));
    return true;
}

QStringList fileNames(const QString &path, int count)
{
    if (count <= 1)
        return {path};
    const QFileInfo f(path);
    QStringList out;
    for (int i = 1; i <= count; ++i)
        out.append(f.dir().filePath(QStringLiteral("%1_%2.%3").arg(f.completeBaseName()).arg(i).arg(f.suffix().isEmpty() ? QStringLiteral("syw") : f.suffix())));
    return out;
}

} // namespace OfficialSheets
