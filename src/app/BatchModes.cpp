#include "BatchModes.h"

#include "beil/BeilBatch.h"
#include "cecl/CeclBatch.h"
#include "emergency/EmergencyBatch.h"
#include "illuminance/IlluminanceBatch.h"
#include "shell/AppContext.h"

#include <QCoreApplication>

#include <iterator>

namespace BatchModes {

namespace {

QString workFolder()
{
    return AppContext::defaultWorkFolder();
}

QString programDir()
{
    return QCoreApplication::applicationDirPath();
}

const Mode kModes[] = {
    {"--pdf", "illuminance", "INPUT.syw OUTPUT.pdf", true, false,
     [](const QStringList &in, const QString &out, QString *error, QStringList *, QStringList *) {
         return IlluminanceBatch::writePdf(in.first(), out, workFolder(), error);
     }},
    {"--pdf", "cecl", "INPUT.syw OUTPUT.pdf", true, false,
     [](const QStringList &in, const QString &out, QString *error, QStringList *, QStringList *) {
         return CeclBatch::writePdf(in.first(), out, workFolder(), error);
     }},
    {"--pdf", "beil", "INPUT.syw... OUTPUT.pdf", true, true,
     [](const QStringList &in, const QString &out, QString *error, QStringList *warnings, QStringList *) {
         return BeilBatch::writePdf(in, out, workFolder(), error, warnings);
     }},
    {"--pdf", "distribution", "INPUT.syw OUTPUT.pdf", true, false,
     [](const QStringList &in, const QString &out, QString *error, QStringList *warnings, QStringList *) {
         return IlluminanceBatch::writeDistributionPdf(in.first(), out, programDir(), error, warnings);
     }},
    {"--xlsx", "illuminance", "INPUT.syw OUTPUT.xlsx", false, false,
     [](const QStringList &in, const QString &out, QString *error, QStringList *, QStringList *) {
         return IlluminanceBatch::writeXlsx(in.first(), out, workFolder(), error);
     }},
    {"--xlsx", "cecl", "INPUT.syw OUTPUT.xlsx", false, false,
     [](const QStringList &in, const QString &out, QString *error, QStringList *, QStringList *) {
         return CeclBatch::writeXlsx(in.first(), out, workFolder(), error);
     }},
    {"--xlsx", "beil", "INPUT.syw... OUTPUT.xlsx", false, true,
     [](const QStringList &in, const QString &out, QString *error, QStringList *warnings, QStringList *) {
         return BeilBatch::writeXlsx(in, out, workFolder(), error, warnings);
     }},
    {"--beil-csv", nullptr, "INPUT.syw... OUTPUT.csv", false, true,
     [](const QStringList &in, const QString &out, QString *error, QStringList *warnings, QStringList *) {
         return BeilBatch::writeFiguresCsv(in, out, error, warnings);
     }},
    {"--form4-csv", nullptr, "INPUT.syw... OUTPUT.csv", false, true,
     [](const QStringList &in, const QString &out, QString *error, QStringList *warnings, QStringList *) {
         return BeilBatch::writeForm4Csv(in, out, error, warnings);
     }},
    {"--official-xlsx", nullptr, "INPUT.syw... OUTPUT.xlsx [--into BUILDING.xlsx]", false, true,
     [](const QStringList &in, const QString &out, QString *error, QStringList *warnings, QStringList *said) {
         return BeilBatch::writeOfficialXlsx(in, out, error, warnings, said);
     }},
    {"--import-official", nullptr, "INPUT.xlsx|INPUT.csv OUTPUT.syw", false, false,
     [](const QStringList &in, const QString &out, QString *error, QStringList *warnings, QStringList *said) {
         return BeilBatch::importOfficial(in.first(), out, error, warnings, said);
     }},
    {"--pdf", "emergency", "INPUT.syw OUTPUT.pdf", true, false,
     [](const QStringList &in, const QString &out, QString *error, QStringList *, QStringList *) {
         return EmergencyBatch::writePdf(in.first(), out, programDir(), workFolder(), error);
     }},
    {"--xlsx", "emergency", "INPUT.syw OUTPUT.xlsx", false, false,
     [](const QStringList &in, const QString &out, QString *error, QStringList *, QStringList *) {
         return EmergencyBatch::writeXlsx(in.first(), out, programDir(), workFolder(), error);
     }},
    {"--emergency-csv", nullptr, "INPUT.syw OUTPUT_FOLDER", false, false,
     [](const QStringList &in, const QString &out, QString *error, QStringList *warnings, QStringList *) {
         return EmergencyBatch::writeCsv(in.first(), out, programDir(), error, warnings);
     }},
    {"--reach-table", nullptr, "SLOT OUTPUT.csv", false, false,
     [](const QStringList &in, const QString &out, QString *error, QStringList *, QStringList *) {
         return EmergencyBatch::writeReachTable(in.first(), out, programDir(), error);
     }},
    {"--dxf", "distribution", "INPUT.syw OUTPUT.dxf", false, false,
     [](const QStringList &in, const QString &out, QString *error, QStringList *warnings, QStringList *) {
         return IlluminanceBatch::writeDistributionDxf(in.first(), out, programDir(), error, warnings);
     }},
    {"--dxf", "emergency", "INPUT.syw OUTPUT.dxf", false, false,
     [](const QStringList &in, const QString &out, QString *error, QStringList *, QStringList *) {
         return EmergencyBatch::writeDxf(in.first(), out, programDir(), error);
     }},
    {"--pdf", "requirements", "INPUT.syw OUTPUT.pdf", true, false,
     [](const QStringList &in, const QString &out, QString *error, QStringList *warnings, QStringList *) {
         return IlluminanceBatch::writeRequirementsPdf(in.first(), out, programDir(), workFolder(), error, warnings);
     }},
    {"--xlsx", "requirements", "INPUT.syw OUTPUT.xlsx", false, false,
     [](const QStringList &in, const QString &out, QString *error, QStringList *warnings, QStringList *) {
         return IlluminanceBatch::writeRequirementsXlsx(in.first(), out, programDir(), workFolder(), error, warnings);
     }},
    {"--requirements-csv", nullptr, "INPUT.syw OUTPUT.csv", false, false,
     [](const QStringList &in, const QString &out, QString *error, QStringList *warnings, QStringList *) {
         return IlluminanceBatch::writeRequirementsCsv(in.first(), out, programDir(), error, warnings);
     }},
    {"--distribution-csv", nullptr, "INPUT.syw OUTPUT_FOLDER", false, false,
     [](const QStringList &in, const QString &out, QString *error, QStringList *warnings, QStringList *) {
         return IlluminanceBatch::writeDistributionCsv(in.first(), out, programDir(), error, warnings);
     }},
};

} // namespace

const Mode *find(const QString &option, const QString &kind)
{
    for (const Mode &m : kModes)
        if (option == QLatin1String(m.option) && (!m.kind || kind == QLatin1String(m.kind)))
            return &m;
    return nullptr;
}

bool isModeOption(const QString &option)
{
    for (const Mode &m : kModes)
        if (option == QLatin1String(m.option))
            return true;
    return false;
}

QString usage()
{
    QString text;
    for (const Mode &m : kModes)
        text += QStringLiteral("%1 prx5m %2%3 %4\n")
                    .arg(text.isEmpty() ? QStringLiteral("使い方:") : QStringLiteral("       "), QLatin1String(m.option),
                         m.kind ? u' ' + QLatin1String(m.kind) : QString(), QLatin1String(m.arguments));
    text += QStringLiteral("        照度分布（--pdf distribution、--distribution-csv）と照明要件には --interreflection radiosity|uniform\n"
                           "        （相互反射: ラジオシティ（既定）か一様（光束法））を付けられます\n"
                           "        prx5m [FILE.syw]   (画面で開きます。起動中ならそのウィンドウで開きます)\n"
                           "        prx5m -h | --help | -v | --version\n"
                           "\n"
                           "終了コード:\n"
                           "  0  正常終了\n"
                           "  2  使い方の誤り、または作業ファイルを読めない\n"
                           "  3  印刷するデータがない（使用中の行がない）\n"
                           "  4  出力ファイルを書けない\n"
                           "  5  計算できない値・入力の不足がある、または値が欄に収まらない\n"
                           "  6  作業用データベースを作れない\n"
                           "  7  日本語フォントがない\n");
    return text;
}

bool windowArguments(const QStringList &args, QString *file, QString *error)
{
    // Qt's documented options: those that take a value, and those that stand alone.
    static const QStringList withValue = {
        QStringLiteral("-platform"), QStringLiteral("-platformpluginpath"), QStringLiteral("-platformtheme"),
        QStringLiteral("-plugin"), QStringLiteral("-qwindowgeometry"), QStringLiteral("-qwindowicon"),
        QStringLiteral("-qwindowtitle"), QStringLiteral("-session"), QStringLiteral("-display"),
        QStringLiteral("-geometry"), QStringLiteral("-name"), QStringLiteral("-title"), QStringLiteral("-style"),
        QStringLiteral("-stylesheet"), QStringLiteral("-visual"), QStringLiteral("-ncols"), QStringLiteral("-cmap"),
    };
    static const QStringList alone = {QStringLiteral("-reverse"), QStringLiteral("-widgetcount"), QStringLiteral("-nograb"),
                                      QStringLiteral("-dograb"), QStringLiteral("-sync")};
    file->clear();
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (!a.startsWith(u'-') || a == u"-") {
            if (!file->isEmpty()) {
                *error = QStringLiteral("開く作業ファイルは 1 つだけです: %1").arg(a);
                return false;
            }
            *file = a;
            continue;
        }
        const QString name = a.section(u'=', 0, 0);
        if (withValue.contains(name)) {
            if (!a.contains(u'=') && ++i >= args.size()) {
                *error = QStringLiteral("%1 の値がありません").arg(a);
                return false;
            }
            continue;
        }
        if (alone.contains(a) || a.startsWith(QStringLiteral("-qmljsdebugger=")))
            continue;
        *error = QStringLiteral("このオプションはありません: %1").arg(a);
        return false;
    }
    return true;
}

} // namespace BatchModes
