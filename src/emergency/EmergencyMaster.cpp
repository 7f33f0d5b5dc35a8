#include "emergency/EmergencyMaster.h"

#include "grid/WorkFile.h"
#include "io/BoundedRead.h"
#include "photometry/LuminaireImport.h"
#include "photometry/PhotometryReader.h"
#include "text/NumberText.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

#include <cmath>

namespace EmergencyMaster {

namespace {

constexpr qint64 kMaxBytes = 1024 * 1024;

// The rows of a UTF-8 CSV under its header (none when the file is not there).
bool rowsOf(const QString &path, const QStringList &header, QVector<QStringList> *rows, bool *present, QString *error)
{
    QByteArray bytes;
    const BoundedRead::Outcome read = BoundedRead::read(path, kMaxBytes, &bytes, error);
    *present = read != BoundedRead::Outcome::Missing;
    if (read == BoundedRead::Outcome::Missing) {
        error->clear();
        return true;
    }
    if (read != BoundedRead::Outcome::Read)
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes);
    WorkFile::Error e = WorkFile::Error::None;
    if (utf8.hasError() || !WorkFile::fromCsv(text, 5000, rows, &e) || rows->isEmpty() || rows->first() != header) {
        *error = QStringLiteral("%1 は非常用照明器具マスタの CSV ではありません（UTF-8、1 行目が %2）。")
                     .arg(QDir::toNativeSeparators(path), header.join(u','));
        return false;
    }
    rows->removeFirst();
    return true;
}

std::optional<double> positive(const QString &text)
{
    const auto v = NumberText::strict(text);
    return v && std::isfinite(*v) && *v > 0 ? v : std::nullopt;
}

} // namespace

bool sourceOf(const QString &text, Source *source)
{
    const QString t = text.trimmed();
    if (t == u"LED")
        *source = Source::Led;
    else if (t == u"蛍光灯")
        *source = Source::Fluorescent;
    else if (t == u"白熱灯")
        *source = Source::Incandescent;
    else if (t == u"ハロゲン")
        *source = Source::Halogen;
    else
        return false;
    return true;
}

QString sourceText(Source source)
{
    switch (source) {
    case Source::Led: return QStringLiteral("LED");
    case Source::Fluorescent: return QStringLiteral("蛍光灯");
    case Source::Incandescent: return QStringLiteral("白熱灯");
    case Source::Halogen: return QStringLiteral("ハロゲン");
    }
    return QString();
}

double threshold(Source source)
{
    return source == Source::Led || source == Source::Fluorescent ? 2.0 : 1.0;
}

QStringList header()
{
    return {QStringLiteral("slot"), QStringLiteral("形式"), QStringLiteral("光源種別"), QStringLiteral("非常時光束"),
            QStringLiteral("配光ファイル"), QStringLiteral("備考")};
}

QStringList makerHeader()
{
    return {QStringLiteral("slot"), QStringLiteral("取付高さ"), QStringLiteral("A1"), QStringLiteral("B1"), QStringLiteral("A2"),
            QStringLiteral("B2"), QStringLiteral("A4"), QStringLiteral("B4"), QStringLiteral("A0"), QStringLiteral("B0")};
}

const MakerLine *makerLine(const Luminaire &luminaire, double height)
{
    for (const MakerLine &line : luminaire.maker)
        if (std::fabs(line.height - height) < 1e-9)
            return &line;
    return nullptr;
}

const Luminaire *Master::find(int slot) const
{
    for (const Luminaire &l : luminaires)
        if (l.slot == slot)
            return &l;
    return nullptr;
}

bool load(const QString &dir, Master *out, QString *error)
{
    *out = Master();
    out->dir = dir;
    // hijou.csv and photometry/ change together under their folder's lock: what a killed import
    // left half-way is mended before they are read (nothing to do, and no lock, otherwise).
    QString unmended;
    LuminaireImport::mend(dir, &unmended);
    QVector<QStringList> rows;
    bool present = false;
    const QString path = QDir(dir).filePath(kFile);
    if (!rowsOf(path, header(), &rows, &present, error))
        return false;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QStringList &r = rows[i];
        if (r.size() == 1 && r.first().trimmed().isEmpty())
            continue;
        const auto fail = [&](const QString &why) {
            *error = QStringLiteral("%1 の %2 行目: %3").arg(QDir::toNativeSeparators(path)).arg(i + 2).arg(why);
            return false;
        };
        Luminaire l;
        bool ok = false;
        l.slot = r.value(0).trimmed().toInt(&ok);
        if (!ok || l.slot < kFirstSlot || l.slot > kLastSlot)
            return fail(QStringLiteral("slot「%1」は 1～99 の番号ではありません。").arg(r.value(0)));
        if (out->find(l.slot))
            return fail(QStringLiteral("slot %1 が二度あります。").arg(l.slot));
        l.name = r.value(1).trimmed();
        if (!sourceOf(r.value(2), &l.source))
            return fail(QStringLiteral("光源種別「%1」は LED、蛍光灯、白熱灯、ハロゲン のいずれかです。").arg(r.value(2)));
        const NumberText::Field flux = NumberText::field(r.value(3));
        if (!flux.ok())
            return fail(QStringLiteral("非常時光束「%1」%2").arg(r.value(3), flux.reason()));
        if (!(*flux.value > 0))
            return fail(QStringLiteral("非常時光束「%1」は正の数ではありません。").arg(r.value(3)));
        if (*flux.value > kMaxFlux)
            return fail(QStringLiteral("非常時光束「%1」は大きすぎます（%2 lm まで）。").arg(r.value(3), NumberText::format(kMaxFlux, QStringLiteral("#,##0"))));
        l.flux = *flux.value;
        l.file = r.value(4).trimmed();
        l.note = r.value(5).trimmed();
        out->luminaires.append(l);
    }
    QVector<QStringList> makers;
    const QString makerPath = QDir(dir).filePath(kMakerFile);
    if (!rowsOf(makerPath, makerHeader(), &makers, &present, error))
        return false;
    for (qsizetype i = 0; i < makers.size(); ++i) {
        const QStringList &r = makers[i];
        if (r.size() == 1 && r.first().trimmed().isEmpty())
            continue;
        bool ok = false;
        const int slot = r.value(0).trimmed().toInt(&ok);
        Luminaire *l = nullptr;
        for (Luminaire &candidate : out->luminaires)
            if (candidate.slot == slot)
                l = &candidate;
        const auto height = positive(r.value(1));
        if (!ok || !l || !height) {
            *error = QStringLiteral("%1 の %2 行目: slot または取付高さが正しくありません。").arg(QDir::toNativeSeparators(makerPath)).arg(i + 2);
            return false;
        }
        MakerLine line;
        line.height = *height;
        for (int k = 0; k < 8; ++k) {
            const auto v = positive(r.value(2 + k));
            line.figures[size_t(k)] = v.value_or(0);
        }
        l->maker.append(line);
    }
    return true;
}

bool light(const Master &master, int slot, Light *out, QString *error)
{
    const Luminaire *l = master.find(slot);
    if (!l) {
        *error = QStringLiteral("非常用照明器具 %1 番はマスタにありません。").arg(slot);
        return false;
    }
    if (l->file.isEmpty()) {
        *error = QStringLiteral("非常用照明器具 %1 番（%2）に配光データがありません。").arg(slot).arg(l->name);
        return false;
    }
    // Only files the program keeps: a plain name in photometry/.
    const QString name = QFileInfo(l->file).fileName();
    if (l->file != QStringLiteral("photometry/") + name || name.startsWith(u'.')) {
        *error = QStringLiteral("非常用照明器具 %1 番の配光ファイル「%2」は photometry/ のファイルではありません。").arg(slot).arg(l->file);
        return false;
    }
    Photometry p;
    QString why;
    if (!PhotometryReader::readFile(QDir(master.dir).filePath(l->file), &p, &why, nullptr, true)) {
        *error = QStringLiteral("非常用照明器具 %1 番の配光データを読めません: %2").arg(slot).arg(why);
        return false;
    }
    const double whole = PhotometryMath::flux(p);
    if (!(whole > 0) || !std::isfinite(whole)) {
        *error = QStringLiteral("非常用照明器具 %1 番の配光データに光束がありません。").arg(slot);
        return false;
    }
    out->photometry = p;
    out->table = std::make_shared<const PhotometryMath::IntensityTable>(p);
    out->scale = l->flux / whole;
    return true;
}

} // namespace EmergencyMaster
