#include "io/XlsxCells.h"

#include "io/BoundedRead.h"

#include <QHash>
#include <QLocale>
#include <QXmlStreamReader>

#include <zip.h>

#include <cmath>
#include <memory>

namespace XlsxCells {

namespace {

const Cell kEmpty;

QString refused(const QString &why)
{
    return QStringLiteral("Excelのファイルとして読めません（%1）。").arg(why);
}

// The package, read from memory.
class Package
{
public:
    explicit Package(const QByteArray &bytes)
    {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t *source = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &error);
        if (source) {
            m_zip = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
            if (!m_zip)
                zip_source_free(source);
        }
        zip_error_fini(&error);
    }
    ~Package()
    {
        if (m_zip)
            zip_discard(m_zip);
    }
    Package(const Package &) = delete;
    Package &operator=(const Package &) = delete;
    bool isOpen() const { return m_zip != nullptr; }
    bool has(const QString &name) const { return index(name) >= 0; }
    zip_int64_t index(const QString &name) const
    {
        return m_zip ? zip_name_locate(m_zip, name.toUtf8().constData(), ZIP_FL_NOCASE) : -1;
    }
    zip_t *get() const { return m_zip; }

private:
    zip_t *m_zip = nullptr;
};

// One part of the package, unpacked up to `limit` bytes: a larger one is refused, whatever its
// header says of its size.
bool part(const Package &zip, const QString &name, qint64 limit, QByteArray *out, QString *error)
{
    const zip_int64_t at = zip.index(name);
    if (at < 0) {
        *error = refused(QStringLiteral("%1 がありません").arg(name));
        return false;
    }
    zip_stat_t info;
    zip_stat_init(&info);
    if (zip_stat_index(zip.get(), zip_uint64_t(at), 0, &info) != 0) {
        *error = refused(QStringLiteral("%1 を読めません").arg(name));
        return false;
    }
    if ((info.valid & ZIP_STAT_ENCRYPTION_METHOD) && info.encryption_method != ZIP_EM_NONE) {
        *error = refused(QStringLiteral("暗号化されています"));
        return false;
    }
    if ((info.valid & ZIP_STAT_SIZE) && info.size > zip_uint64_t(limit)) {
        *error = refused(QStringLiteral("%1 が大きすぎます（%2 MiB まで）").arg(name).arg(limit / (1024 * 1024)));
        return false;
    }
    const std::unique_ptr<zip_file_t, int (*)(zip_file_t *)> file(zip_fopen_index(zip.get(), zip_uint64_t(at), 0), zip_fclose);
    if (!file) {
        *error = refused(QStringLiteral("%1 を開けません").arg(name));
        return false;
    }
    out->clear();
    char buffer[65536];
    for (;;) {
        const zip_int64_t n = zip_fread(file.get(), buffer, sizeof buffer);
        if (n < 0) {
            *error = refused(QStringLiteral("%1 が壊れています").arg(name));
            return false;
        }
        if (n == 0)
            break;
        if (out->size() + n > limit) {
            *error = refused(QStringLiteral("%1 が大きすぎます（%2 MiB まで）").arg(name).arg(limit / (1024 * 1024)));
            return false;
        }
        out->append(buffer, qsizetype(n));
    }
    // A document type declares entities: an external one reads what the workbook names, an
    // internal one multiplies text. No part of a workbook Excel writes has one.
    for (const QByteArray &mark : {QByteArrayLiteral("<!DOCTYPE"), QByteArrayLiteral("<!ENTITY")}) {
        QByteArray wide, wideBe;
        for (char c : mark) {
            wide.append(c).append('\0');
            wideBe.append('\0').append(c);
        }
        if (out->contains(mark) || out->contains(wide) || out->contains(wideBe)) {
            *error = refused(QStringLiteral("%1 に DOCTYPE（実体の宣言）があります").arg(name));
            out->clear();
            return false;
        }
    }
    return true;
}

bool xmlFailed(const QXmlStreamReader &xml, const QString &name, QString *error)
{
    if (!xml.hasError())
        return false;
    *error = refused(QStringLiteral("%1 の XML が正しくありません（%2 行）").arg(name).arg(xml.lineNumber()));
    return true;
}

// The text of a string item: its <t> runs, without the phonetic guides (<rPh>) Japanese Excel adds.
QString itemText(QXmlStreamReader &xml)
{
    QString text;
    int phonetic = 0;
    const QString end = xml.name().toString();
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"rPh")
                ++phonetic;
            else if (xml.name() == u"t" && phonetic == 0)
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (xml.isEndElement()) {
            if (xml.name() == u"rPh")
                --phonetic;
            else if (xml.name() == end)
                break;
        }
    }
    return text;
}

bool sharedStrings(const QByteArray &bytes, QStringList *out, QString *error)
{
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"si")
            out->append(itemText(xml));
    }
    return !xmlFailed(xml, QStringLiteral("sharedStrings.xml"), error);
}

// "R12" → row 12, column 18; false for a reference that is none.
bool reference(QStringView ref, int *row, int *column)
{
    int c = 0, r = 0;
    qsizetype i = 0;
    while (i < ref.size() && ref[i] >= u'A' && ref[i] <= u'Z' && c <= 100000)
        c = c * 26 + (ref[i++].unicode() - 'A' + 1);
    const qsizetype letters = i;
    while (i < ref.size() && ref[i] >= u'0' && ref[i] <= u'9' && r <= 10000000)
        r = r * 10 + (ref[i++].unicode() - '0');
    if (letters == 0 || i == letters || i != ref.size() || r < 1 || c < 1)
        return false;
    *row = r;
    *column = c;
    return true;
}

QString numberText(const QString &v, bool *ok)
{
    const double d = v.trimmed().toDouble(ok);
    if (!*ok || !std::isfinite(d))
        return *ok = false, QString();
    // The shortest text that reads back the same value (19.199999999999999 is 19.2).
    return QString::number(d, 'g', QLocale::FloatingPointShortest);
}

bool sheetCells(const QByteArray &bytes, const QString &name, const QStringList &strings, const Limits &limits,
                Sheet *sheet, QString *error)
{
    QXmlStreamReader xml(bytes);
    int nextRow = 1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != u"c")
            continue;
        const auto attributes = xml.attributes();
        int row = nextRow, column = 1;
        if (attributes.hasAttribute(QStringLiteral("r")) && !reference(attributes.value(QStringLiteral("r")), &row, &column)) {
            *error = refused(QStringLiteral("%1 のセル番地「%2」が正しくありません").arg(name, attributes.value(QStringLiteral("r"))));
            return false;
        }
        if (row > limits.rows) {
            *error = refused(QStringLiteral("行が多すぎます（%1 行まで）").arg(limits.rows));
            return false;
        }
        nextRow = row;
        const QString type = attributes.value(QStringLiteral("t")).toString();
        QString value;
        bool hasValue = false;
        QString inlineText;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == u"v") {
                value = xml.readElementText();
                hasValue = true;
            } else if (xml.isStartElement() && xml.name() == u"is") {
                inlineText = itemText(xml);
                hasValue = true;
            } else if (xml.isEndElement() && xml.name() == u"c") {
                break;
            }
        }
        if (!hasValue || column > limits.columns)
            continue;
        Cell cell;
        const QString at = columnName(column) + QString::number(row);
        if (type == u"s") {
            bool ok = false;
            const int index = value.trimmed().toInt(&ok);
            if (!ok || index < 0 || index >= strings.size()) {
                *error = refused(QStringLiteral("%1 のセル %2 の文字列がありません").arg(name, at));
                return false;
            }
            cell = {Cell::Text, strings[index]};
        } else if (type == u"inlineStr") {
            cell = {Cell::Text, inlineText};
        } else if (type == u"str") {
            cell = {Cell::Text, value};
        } else if (type == u"b") {
            cell = {Cell::Boolean, value.trimmed() == u"1" ? QStringLiteral("TRUE") : QStringLiteral("FALSE")};
        } else if (type == u"e") {
            cell = {Cell::Error, value};
        } else {
            bool ok = false;
            const QString n = numberText(value, &ok);
            if (!ok) {
                *error = refused(QStringLiteral("%1 のセル %2 の数値「%3」が正しくありません").arg(name, at, value.left(40)));
                return false;
            }
            cell = {Cell::Number, n};
        }
        if (cell.kind == Cell::Text && limits.maxChars) {
            const int most = limits.maxChars(name, row, column);
            if (most >= 0 && cell.text.size() > most) {
                *error = QStringLiteral("「%1」のセル %2 の文字数 %3 は多すぎます（%4 文字まで）。")
                             .arg(name, at)
                             .arg(cell.text.size())
                             .arg(most);
                return false;
            }
        }
        while (sheet->rows.size() < row)
            sheet->rows.append(QList<Cell>());
        QList<Cell> &cells = sheet->rows[row - 1];
        while (cells.size() < column)
            cells.append(Cell());
        cells[column - 1] = cell;
    }
    return !xmlFailed(xml, name, error);
}

// The text of a sheet's A1 from the first bytes of its part ("" when it has none there).
QString firstCell(const Package &zip, const QString &name, const QStringList &strings)
{
    const zip_int64_t at = zip.index(name);
    if (at < 0)
        return QString();
    const std::unique_ptr<zip_file_t, int (*)(zip_file_t *)> file(zip_fopen_index(zip.get(), zip_uint64_t(at), 0), zip_fclose);
    if (!file)
        return QString();
    QByteArray head(64 * 1024, '\0');
    const zip_int64_t n = zip_fread(file.get(), head.data(), zip_uint64_t(head.size()));
    if (n <= 0 || head.left(int(n)).contains("<!DOCTYPE"))
        return QString();
    head.truncate(qsizetype(n));
    QXmlStreamReader xml(head);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != u"c")
            continue;
        const auto attributes = xml.attributes();
        if (attributes.value(QStringLiteral("r")) != u"A1")
            return QString(); // the first cell is not A1: A1 is empty
        const QString type = attributes.value(QStringLiteral("t")).toString();
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == u"v") {
                const QString v = xml.readElementText();
                return type == u"s" ? strings.value(v.trimmed().toInt()) : v;
            }
            if (xml.isStartElement() && xml.name() == u"is")
                return itemText(xml);
            if (xml.isEndElement() && xml.name() == u"c")
                return QString();
        }
    }
    return QString();
}

// The sheets' names and their parts, in the workbook's order.
bool sheetParts(const Package &zip, QList<QPair<QString, QString>> *out, const Limits &limits, QString *error)
{
    QByteArray workbook, rels;
    if (!part(zip, QStringLiteral("xl/workbook.xml"), limits.partBytes, &workbook, error)
        || !part(zip, QStringLiteral("xl/_rels/workbook.xml.rels"), limits.partBytes, &rels, error))
        return false;
    QHash<QString, QString> targets;
    QXmlStreamReader r(rels);
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == u"Relationship") {
            QString target = r.attributes().value(QStringLiteral("Target")).toString();
            target = target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
            targets.insert(r.attributes().value(QStringLiteral("Id")).toString(), target);
        }
    }
    if (xmlFailed(r, QStringLiteral("workbook.xml.rels"), error))
        return false;
    QXmlStreamReader w(workbook);
    while (!w.atEnd()) {
        w.readNext();
        if (w.isStartElement() && w.name() == u"sheet") {
            QString id;
            for (const QXmlStreamAttribute &a : w.attributes())
                if (a.name() == u"id")
                    id = a.value().toString();
            if (out->size() >= limits.sheets) {
                *error = refused(QStringLiteral("シートが多すぎます"));
                return false;
            }
            if (targets.contains(id))
                out->append({w.attributes().value(QStringLiteral("name")).toString(), targets.value(id)});
        }
    }
    return !xmlFailed(w, QStringLiteral("workbook.xml"), error);
}

bool readFrom(const QByteArray &bytes, QList<Sheet> *sheets, QString *error, const Limits &limits)
{
    sheets->clear();
    const Package zip(bytes);
    if (!zip.isOpen()) {
        *error = refused(QStringLiteral("ZIP の形式ではありません。暗号化されたファイルや古い形式（.xls）は読めません"));
        return false;
    }
    QList<QPair<QString, QString>> parts;
    if (!sheetParts(zip, &parts, limits, error))
        return false;
    QStringList strings;
    QByteArray data;
    if (zip.has(QStringLiteral("xl/sharedStrings.xml"))) {
        if (!part(zip, QStringLiteral("xl/sharedStrings.xml"), limits.sharedStringBytes, &data, error)
            || !sharedStrings(data, &strings, error))
            return false;
    }
    const bool choosing = !limits.onlyTabs.isEmpty() || !limits.onlyFirstCells.isEmpty();
    for (const auto &[name, target] : std::as_const(parts)) {
        if (choosing && !limits.onlyTabs.contains(name.trimmed())) {
            // Not one by its name: a glance at its A1, the rest never unpacked.
            const QString a1 = firstCell(zip, target, strings);
            bool wanted = false;
            for (const QString &prefix : limits.onlyFirstCells)
                wanted = wanted || a1.trimmed().startsWith(prefix);
            if (!wanted)
                continue;
        }
        Sheet sheet;
        sheet.name = name;
        sheet.part = target;
        if (!part(zip, target, limits.partBytes, &data, error) || !sheetCells(data, name, strings, limits, &sheet, error)) {
            sheets->clear();
            return false;
        }
        sheets->append(sheet);
    }
    return true;
}

} // namespace

const Cell &Sheet::at(int row, int column) const
{
    if (row < 1 || row > rows.size() || column < 1 || column > rows[row - 1].size())
        return kEmpty;
    return rows[row - 1][column - 1];
}

QString columnName(int column)
{
    QString out;
    while (column > 0) {
        const int d = (column - 1) % 26;
        out.prepend(QChar(u'A' + d));
        column = (column - 1) / 26;
    }
    return out;
}

bool read(const QString &path, QList<Sheet> *sheets, QString *error, const Limits &limits)
{
    QByteArray bytes;
    if (BoundedRead::read(path, limits.fileBytes, &bytes, error) != BoundedRead::Outcome::Read)
        return false;
    return readBytes(bytes, sheets, error, limits);
}

bool partOf(const QByteArray &bytes, const QString &name, qint64 limit, QByteArray *out, QString *error)
{
    const Package zip(bytes);
    if (!zip.isOpen()) {
        *error = refused(QStringLiteral("ZIP の形式ではありません"));
        return false;
    }
    return part(zip, name, limit, out, error);
}

bool hasPart(const QByteArray &bytes, const QString &name)
{
    const Package zip(bytes);
    return zip.has(name);
}

bool rewrite(const QByteArray &bytes, const QHash<QString, QByteArray> &replaced, const QStringList &removed,
             QByteArray *out, QString *error)
{
    const Package source(bytes);
    if (!source.isOpen()) {
        *error = refused(QStringLiteral("ZIP の形式ではありません"));
        return false;
    }
    // Built in memory: the caller writes it through the checked write.
    zip_error_t zerror;
    zip_error_init(&zerror);
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, &zerror);
    zip_error_fini(&zerror);
    if (!buffer) {
        *error = QStringLiteral("ブックを作成できません（メモリ）。");
        return false;
    }
    zip_source_keep(buffer); // read back after the archive is closed
    const std::unique_ptr<zip_source_t, void (*)(zip_source_t *)> kept(buffer, zip_source_free);
    zip_error_init(&zerror);
    zip_t *target = zip_open_from_source(buffer, ZIP_TRUNCATE, &zerror);
    zip_error_fini(&zerror);
    if (!target) {
        *error = QStringLiteral("ブックを作成できません。");
        return false;
    }
    const auto fail = [&](const QString &why) {
        zip_discard(target);
        *error = why;
        return false;
    };
    QHash<QString, QByteArray> contents = replaced; // kept alive until the archive is closed
    const zip_int64_t count = zip_get_num_entries(source.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char *raw = zip_get_name(source.get(), zip_uint64_t(i), ZIP_FL_ENC_RAW);
        if (!raw)
            return fail(refused(QStringLiteral("%1 番目の部分の名前を読めません").arg(i + 1)));
        const QString name = QString::fromUtf8(raw);
        if (removed.contains(name))
            continue;
        zip_source_t *data = nullptr;
        if (contents.contains(name)) {
            const QByteArray &b = contents[name];
            data = zip_source_buffer(target, b.constData(), zip_uint64_t(b.size()), 0);
        } else {
            data = zip_source_zip(target, source.get(), zip_uint64_t(i), 0, 0, -1);
        }
        if (!data)
            return fail(QStringLiteral("%1 をブックに入れられません。").arg(name));
        const zip_int64_t at = zip_file_add(target, raw, data, ZIP_FL_ENC_RAW);
        if (at < 0) {
            zip_source_free(data);
            return fail(QStringLiteral("%1 をブックに入れられません。").arg(name));
        }
        zip_set_file_compression(target, zip_uint64_t(at), ZIP_CM_DEFLATE, 0);
    }
    if (zip_close(target) != 0)
        return fail(QStringLiteral("ブックを作成できません（%1）。").arg(QString::fromUtf8(zip_strerror(target))));
    zip_stat_t info;
    zip_stat_init(&info);
    if (zip_source_stat(buffer, &info) != 0 || zip_source_open(buffer) != 0) {
        *error = QStringLiteral("作成したブックを読めません。");
        return false;
    }
    out->resize(qsizetype(info.size));
    const zip_int64_t n = zip_source_read(buffer, out->data(), info.size);
    zip_source_close(buffer);
    if (n != zip_int64_t(info.size)) {
        *error = QStringLiteral("作成したブックを読めません。");
        return false;
    }
    return true;
}

bool readBytes(const QByteArray &bytes, QList<Sheet> *sheets, QString *error, const Limits &limits)
{
    if (bytes.size() > limits.fileBytes) {
        *error = refused(QStringLiteral("ファイルが大きすぎます（%1 MiB まで）").arg(limits.fileBytes / (1024 * 1024)));
        return false;
    }
    return readFrom(bytes, sheets, error, limits);
}

} // namespace XlsxCells
