#include "BatchModes.h"

#include "beil/BeilBatch.h"
#include "cecl/CeclBatch.h"
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
    {"--pdf", "illuminance", "INPUT.syw OUTPUT.pdf", true,
     [](const QString &in, const QString &out, QString *error, QStringList *) {
         return IlluminanceBatch::writePdf(in, out, workFolder(), error);
     }},
    {"--pdf", "cecl", "INPUT.syw OUTPUT.pdf", true,
     [](const QString &in, const QString &out, QString *error, QStringList *) {
         return CeclBatch::writePdf(in, out, workFolder(), error);
     }},
    {"--pdf", "beil", "INPUT.syw OUTPUT.pdf", true,
     [](const QString &in, const QString &out, QString *error, QStringList *warnings) {
         return BeilBatch::writePdf(in, out, workFolder(), error, warnings);
     }},
    {"--pdf", "distribution", "INPUT.syw OUTPUT.pdf", true,
     [](const QString &in, const QString &out, QString *error, QStringList *warnings) {
         return IlluminanceBatch::writeDistributionPdf(in, out, programDir(), error, warnings);
     }},
    {"--xlsx", "illuminance", "INPUT.syw OUTPUT.xlsx", false,
     [](const QString &in, const QString &out, QString *error, QStringList *) {
         return IlluminanceBatch::writeXlsx(in, out, workFolder(), error);
     }},
    {"--xlsx", "cecl", "INPUT.syw OUTPUT.xlsx", false,
     [](const QString &in, const QString &out, QString *error, QStringList *) {
         return CeclBatch::writeXlsx(in, out, workFolder(), error);
     }},
    {"--xlsx", "beil", "INPUT.syw OUTPUT.xlsx", false,
     [](const QString &in, const QString &out, QString *error, QStringList *warnings) {
         return BeilBatch::writeXlsx(in, out, workFolder(), error, warnings);
     }},
    {"--beil-csv", nullptr, "INPUT.syw OUTPUT.csv", false,
     [](const QString &in, const QString &out, QString *error, QStringList *warnings) {
         return BeilBatch::writeFiguresCsv(in, out, error, warnings);
     }},
    {"--form4-csv", nullptr, "INPUT.syw OUTPUT.csv", false,
     [](const QString &in, const QString &out, QString *error, QStringList *warnings) {
         return BeilBatch::writeForm4Csv(in, out, error, warnings);
     }},
    {"--distribution-csv", nullptr, "INPUT.syw OUTPUT_FOLDER", false,
     [](const QString &in, const QString &out, QString *error, QStringList *warnings) {
         return IlluminanceBatch::writeDistributionCsv(in, out, programDir(), error, warnings);
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
    text += QStringLiteral("        prx5m            (画面で開きます)\n"
                           "        prx5m --help | --version\n");
    return text;
}

} // namespace BatchModes
