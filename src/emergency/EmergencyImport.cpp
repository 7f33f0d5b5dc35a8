#include "emergency/EmergencyImport.h"
#include "text/CsvText.h"

#include "grid/WorkFile.h"
#include "io/BoundedRead.h"
#include "io/FileSet.h"
#include "photometry/LuminaireImport.h"
#include "text/Cp932.h"
#include "text/NumberText.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <cmath>

namespace EmergencyImport {

namespace {

QString csvLine(const QStringList &fields)
{
    return CsvText::line(fields, QStringLiteral("\n"), CsvText::Guard::None);
}

} // namespace

std::optional<EmergencyMaster::Source> proposedSource(const QString &file, const QByteArray &bytes)
{
    // The header: the intensities after it are numbers only.
    const QByteArray head = bytes.left(8192);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(head);
    if (utf8.hasError())
        text = Cp932::decodeLossy(head);
    text += u'\n' + QFileInfo(file).fileName();
    static const QRegularExpression lamp(QStringLiteral("(?<![A-Za-z])(FHF|FHP|FPL|FL[RH]?)(?=[0-9_/ -]|$)"),
                                         QRegularExpression::MultilineOption);
    static const QRegularExpression word(QStringLiteral("蛍光|fluorescent"), QRegularExpression::CaseInsensitiveOption);
    if (lamp.match(text).hasMatch() || word.match(text).hasMatch())
        return EmergencyMaster::Source::Fluorescent;
    return std::nullopt;
}

bool run(const Request &r, QStringList *said, QString *error)
{
    if (r.slot < EmergencyMaster::kFirstSlot || r.slot > EmergencyMaster::kLastSlot) {
        *error = QStringLiteral("番号は 1～99 です（%1）。").arg(r.slot);
        return false;
    }
    if (!(r.flux > 0) || !std::isfinite(r.flux)) {
        *error = QStringLiteral("非常時光束は正の数（lm）です。");
        return false;
    }
    if (r.flux > EmergencyMaster::kMaxFlux) {
        *error = QStringLiteral("非常時光束 %1 lm は大きすぎます（%2 lm まで）。")
                     .arg(NumberText::plain(r.flux), NumberText::format(EmergencyMaster::kMaxFlux, QStringLiteral("#,##0")));
        return false;
    }
    LuminaireImport::Analysis a;
    QString why;
    if (!LuminaireImport::analyse(r.file, &a, &why)) {
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(r.file), why);
        return false;
    }
    const QString name = (r.name.trimmed().isEmpty() ? a.photometry.name : r.name).trimmed().left(40);
    const QString home = QFileInfo(r.csv).absolutePath();
    // The master and its photometry/ are read and written under the lock of their folder.
    FileSet::Lock lock;
    if (!lock.acquire(home, error, LuminaireImport::ownFolders(home), LuminaireImport::setNames(r.csv)))
        return false;
    QByteArray bytes;
    const BoundedRead::Outcome read = BoundedRead::read(r.csv, 1024 * 1024, &bytes, &why);
    QVector<QStringList> rows;
    if (read == BoundedRead::Outcome::Missing) {
        rows.append(EmergencyMaster::header());
    } else if (read == BoundedRead::Outcome::Read) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8.decode(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes);
        WorkFile::Error e = WorkFile::Error::None;
        if (utf8.hasError() || !WorkFile::fromCsv(text, 5000, &rows, &e) || rows.isEmpty()
            || rows.first() != EmergencyMaster::header()) {
            *error = QStringLiteral("%1 は非常用照明器具マスタの CSV ではありません。").arg(QDir::toNativeSeparators(r.csv));
            return false;
        }
    } else {
        *error = why;
        return false;
    }
    while (rows.size() > 1 && rows.last().size() == 1 && rows.last().first().isEmpty())
        rows.removeLast();
    const QString kept = QStringLiteral("photometry/hijou-%1.%2")
                             .arg(r.slot)
                             .arg(QFileInfo(r.file).suffix().toLower() == u"ldt" ? QStringLiteral("ldt") : QStringLiteral("ies"));
    const QStringList row = {QString::number(r.slot), name, EmergencyMaster::sourceText(r.source), NumberText::plain(r.flux), kept,
                             QString()};
    bool replaced = false;
    for (qsizetype i = 1; i < rows.size(); ++i)
        if (rows[i].value(0).trimmed().toInt() == r.slot) {
            rows[i] = row;
            replaced = true;
        }
    if (!replaced) {
        // In the order of the slots.
        qsizetype at = 1;
        while (at < rows.size() && rows[at].value(0).trimmed().toInt() < r.slot)
            ++at;
        rows.insert(at, row);
    }
    QString text;
    for (const QStringList &l : std::as_const(rows))
        text += csvLine(l);
    const QList<LuminaireImport::Change> changes = {
        {r.csv, text.toUtf8(), false},
        {QDir(home).filePath(kept), a.bytes, true},
    };
    if (!LuminaireImport::apply(lock, changes, error))
        return false;
    const double whole = PhotometryMath::flux(a.photometry);
    said->append(QStringLiteral("非常用照明器具 %1 番: %2（%3、非常時光束 %4 lm、配光データの全光束 %5 lm を %6 倍）")
                     .arg(r.slot)
                     .arg(name, EmergencyMaster::sourceText(r.source), NumberText::plain(r.flux), NumberText::format(whole, QStringLiteral("0.0")),
                          NumberText::format(r.flux / whole, QStringLiteral("0.0000"))));
    said->append(QStringLiteral("配光データ: %1").arg(QDir::toNativeSeparators(QDir(home).filePath(kept))));
    // The lumen method's table is no concern of an emergency luminaire: its warnings are left out.
    for (const QString &w : std::as_const(a.warnings))
        if (!w.contains(QStringLiteral("照明率")))
            said->append(QStringLiteral("警告: %1").arg(w));
    return true;
}

} // namespace EmergencyImport
