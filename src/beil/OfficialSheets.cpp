#include "beil/OfficialSheets.h"
#include "text/CsvText.h"

#include "beil/BeilExport.h"
#include "beil/BeilRecord.h"
#include "beil/Controls.h"
#include "beil/StandardValues.h"
#include "grid/WorkFile.h"
#include "io/BoundedRead.h"
#include "io/FileSet.h"
#include "io/XlsxCells.h"
#include "report/XlsxOutput.h"
#include "text/Cp932.h"
#include "text/NumberText.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

namespace OfficialSheets {

namespace {

using namespace BeilRecord;

constexpr int kFirstData = kHeaderRows + 1;


QStringList line(int columns, std::initializer_list<std::pair<int, const char *>> cells)
{
    QStringList out(columns);
    for (const auto &[column, text] : cells)
        out[column - 1] = QString::fromUtf8(text);
    return out;
}

QList<QStringList> header(int columns, const QString &title, const QStringList &fields, const QStringList &units,
                          std::initializer_list<std::pair<int, const char *>> groups,
                          std::initializer_list<std::pair<int, const char *>> numbers,
                          std::initializer_list<std::pair<int, const char *>> notes)
{
    QList<QStringList> rows(kHeaderRows, QStringList(columns));
    rows[0][0] = title;
    rows[3] = line(columns, groups);
    rows[4] = line(columns, numbers);
    for (int c = 0; c < fields.size(); ++c)
        rows[5][c] = fields[c];
    for (int c = 0; c < units.size(); ++c)
        rows[7][c] = units[c];
    rows[8] = line(columns, notes);
    return rows;
}

} // namespace

QList<QStringList> form4Header()
{
    return header(kForm4Columns, kForm4Title,
                  {QStringLiteral("階"), QStringLiteral("室名"), QStringLiteral("室用途"), QString(), QStringLiteral("室面積"),
                   QStringLiteral("階高"), QStringLiteral("天井高"), QStringLiteral("室の間口"), QStringLiteral("室の奥行"),
                   QStringLiteral("室指数"), QStringLiteral("機器名称"), QStringLiteral("定格消費電力"), QStringLiteral("台数"),
                   QStringLiteral("在室検知制御"), QStringLiteral("明るさ検知制御"), QStringLiteral("タイムスケジュール制御"),
                   QStringLiteral("初期照度補正機能"), QStringLiteral("備考")},
                  {QString(), QString(), QStringLiteral("大分類"), QStringLiteral("小分類"), QStringLiteral("[㎡]"),
                   QStringLiteral("[m]"), QStringLiteral("[m]"), QStringLiteral("[m]"), QStringLiteral("[m]"),
                   QStringLiteral("[-]"), QStringLiteral("（照明器具表の記号等）"), QStringLiteral("[W/台]"), QStringLiteral("[台]")},
                  {{1, "①"}, {8, "室指数"}, {11, "照明器具仕様"}, {14, "制御等の有無"}, {18, "⑫"}},
                  {{8, "②"}, {9, "③"}, {10, "④"}, {11, "⑤"}, {12, "⑥"}, {13, "⑦"}, {14, "⑧"}, {15, "⑨"}, {16, "⑩"},
                   {17, "⑪"}},
                  {{1, "(転記)"}, {14, "(選択)"}});
}

QList<QStringList> form1Header()
{
    return header(kForm1Columns, kForm1Title,
                  {QStringLiteral("階"), QStringLiteral("室名"), QStringLiteral("建物用途"), QStringLiteral("室用途"), QString(),
                   QStringLiteral("室面積"), QStringLiteral("階高"), QStringLiteral("天井高"), QStringLiteral("空調"),
                   QStringLiteral("換気"), QStringLiteral("照明"), QStringLiteral("給湯"), QStringLiteral("建築物の名称"),
                   QStringLiteral("備考")},
                  {QString(), QString(), QString(), QStringLiteral("大分類"), QStringLiteral("小分類"), QStringLiteral("[㎡]"),
                   QStringLiteral("[m]"), QStringLiteral("[m]")},
                  {{1, "①"}, {9, "計算対象室"}}, {{9, "②"}, {10, "③"}, {11, "④"}, {12, "⑤"}}, {{9, "(■を記入)"}});
}

QList<QStringList> form1Rows(const QList<BeilRooms::Room> &rooms, const QString &buildingName)
{
    QList<QStringList> out;
    for (const BeilRooms::Room &r : rooms) {
        const QString building = StandardValues::officialBuilding(r.standard->building);
        // Only the lighting targets are this sheet's: the first row says so.
        out.append({r.texts.floor, BeilRooms::fullName(r.texts), building, building, r.standard->room, r.texts.area.trimmed(),
                    r.texts.storyHeight.trimmed(), r.texts.height.trimmed(), QString(), QString(), QStringLiteral("■"),
                    QString(), out.isEmpty() ? buildingName : QString(), out.isEmpty() ? kOnlyLighting : QString()});
    }
    return out;
}

bool csv(const QList<QStringList> &header, const QList<QStringList> &rows, QByteArray *bytes, QString *error)
{
    QString text;
    for (const QStringList &l : header)
        text += BeilExport::csvLine(l);
    for (const QStringList &l : rows)
        text += BeilExport::csvLine(l);
    bool ok = false;
    *bytes = Cp932::encode(text, &ok);
    if (!ok)
        *error = QStringLiteral("シフトJISで書けない文字があります");
    return ok;
}

bool writeWorkbook(const QList<BeilRooms::Room> &rooms, const QString &buildingName, const QString &path, QString *error)
{
    // The building's name where the official workbook keeps it (the rest of its 基本情報 is the
    // other engineers').
    XlsxOutput::Table form0{kForm0Tab, {{kForm0Title}, {}, {kBuildingNameLabel, buildingName}}, 1, {}};
    XlsxOutput::Table form1{kForm1Tab, form1Header() + form1Rows(rooms, buildingName), kFirstData, kForm1Numbers};
    XlsxOutput::Table form4{kForm4Tab, form4Header() + BeilExport::form4Rows(rooms), kFirstData, kForm4Numbers};
    return XlsxOutput::writeTables({form0, form1, form4}, path, error);
}

namespace {

// A file an earlier import of the program's wrote: a regular file (not a link) that reads as a
// work file with a room in it.
bool earlierImport(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.isSymLink())
        return false;
    RecordGrid earlier(kRooms + 1, 1);
    if (!WorkFile::load(earlier, path))
        return false;
    for (int r = 1; r <= kRooms; ++r)
        if (earlier.text(r, InUse) == u"1")
            return true;
    return false;
}

} // namespace

bool writeWorkFiles(const QList<RecordGrid> &files, const QString &path, QStringList *written, QStringList *removed,
                    QString *error)
{
    written->clear();
    removed->clear();
    const QStringList names = fileNames(path, int(files.size()));
    const QFileInfo target(path);
    const QDir folder = target.dir();
    if (!folder.exists()) {
        *error = QStringLiteral("フォルダがありません: %1").arg(QDir::toNativeSeparators(folder.absolutePath()));
        return false;
    }
    const QString stem = QRegularExpression::escape(target.completeBaseName());
    const QString suffix = target.suffix().isEmpty() ? QStringLiteral("syw") : target.suffix();
    // Every name an import of this stem uses or used, also as an interrupted one left it (its new
    // or old content beside it): what the set may name, and what its journal may.
    const QRegularExpression any(QStringLiteral("^\\.?%1_([0-9]+)\\.%2(\\.[A-Za-z0-9]{6}\\.(prx5m-new|prx5m-old|tmp))?$")
                                     .arg(stem, QRegularExpression::escape(suffix)));
    const QDir::Filters all = QDir::Files | QDir::System | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot;
    int most = int(files.size());
    for (const QString &name : folder.entryList(all))
        if (const auto m = any.match(name); m.hasMatch())
            most = std::max(most, std::min(m.captured(1).toInt(), 10000));
    QStringList setNames{target.fileName()};
    for (int k = 1; k <= most; ++k)
        setNames.append(QStringLiteral("%1_%2.%3").arg(target.completeBaseName()).arg(k).arg(suffix));
    FileSet::Lock lock;
    if (!lock.acquire(folder.absolutePath(), error, {}, setNames))
        return false; // an interrupted import of these names is mended first
    // What a single write of these names left when it was stopped (".NAME.XXXXXX.tmp").
    for (const QString &name : std::as_const(setNames)) {
        const QRegularExpression temp(QStringLiteral("^\\.%1\\.[A-Za-z0-9]{6}\\.tmp$").arg(QRegularExpression::escape(name)));
        for (const QString &left : folder.entryList(QDir::Files | QDir::Hidden | QDir::System))
            if (temp.match(left).hasMatch() && QFileInfo(folder.filePath(left)).isFile() && !QFileInfo(folder.filePath(left)).isSymLink())
                QFile::remove(folder.filePath(left));
    }
    // An earlier import's NAME_k beyond this one's count: removed with this set, if it is one.
    QStringList stale;
    for (int k = files.size() > 1 ? int(files.size()) + 1 : 1; k <= most; ++k) {
        const QString name = folder.filePath(setNames[k]);
        if (!QFileInfo(name).exists() && !QFileInfo(name).isSymLink())
            continue;
        if (!earlierImport(name)) {
            *error = QStringLiteral("%1 は以前に読み込んだ作業ファイルではないため、削除も上書きもしません。"
                                    "別の名前を指定するか、そのファイルを移してください。")
                         .arg(QDir::toNativeSeparators(name));
            return false;
        }
        stale.append(name);
    }
    QList<FileSet::File> set;
    for (qsizetype i = 0; i < files.size(); ++i) {
        QByteArray bytes;
        if (!WorkFile::toBytes(files[i], &bytes)) {
            *error = QStringLiteral("作業ファイルを作成できません: %1").arg(WorkFile::errorText(WorkFile::Error::CannotEncode));
            return false;
        }
        set.append({names[i], bytes, false, false});
    }
    for (const QString &name : std::as_const(stale))
        set.append({name, QByteArray(), false, true});
    if (!FileSet::write(lock, set, error))
        return false;
    *written = names;
    *removed = stale;
    return true;
}

} // namespace OfficialSheets
