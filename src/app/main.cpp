#include "beil/BeilBatch.h"
#include "cecl/CeclBatch.h"
#include "illuminance/IlluminanceBatch.h"
#include "io/CommandLine.h"
#include "report/BatchStatus.h"
#include "report/ReportFont.h"
#include "shell/AppContext.h"
#include "shell/FMenu.h"
#include "shell/SingleInstance.h"
#include "shell/Startup.h"
#include "ui/Dialogs.h"
#include "ui/Translations.h"
#include "version.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

void setNames()
{
    QCoreApplication::setOrganizationName(QStringLiteral("kzw"));
    QCoreApplication::setApplicationName(QStringLiteral("zeltika"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(PRX5M_VERSION_MAJOR)
                                                .arg(PRX5M_VERSION_MINOR)
                                                .arg(PRX5M_VERSION_PATCH));
}

const char *const kUsage = "使い方: prx5m --pdf illuminance|cecl|beil|distribution INPUT.syw OUTPUT.pdf\n"
                           "       prx5m --xlsx illuminance|cecl|beil INPUT.syw OUTPUT.xlsx\n"
                           "       prx5m --distribution-csv INPUT.syw OUTPUT_FOLDER\n"
                           "       prx5m --beil-csv INPUT.syw OUTPUT.csv\n"
                           "       prx5m --form4-csv INPUT.syw OUTPUT.csv\n";

// The batch mode, with no window: prx5m --pdf illuminance|cecl|distribution IN.syw OUT.pdf, or
// prx5m --distribution-csv IN.syw FOLDER.
int batch(int argc, char *argv[])
{
    QStringList args;
    QString argumentError;
    if (!CommandLine::arguments(argc, argv, &args, &argumentError)) {
        std::fprintf(stderr, "prx5m: %s\n", argumentError.toUtf8().constData());
        return BatchStatus::BadInput;
    }
    const bool beilCsv = args.value(0) == u"--beil-csv" || args.value(0) == u"--form4-csv";
    const bool csv = args.value(0) == u"--distribution-csv" || beilCsv;
    if (args.size() != (csv ? 3 : 4)) {
        std::fprintf(stderr, "%s", kUsage);
        return BatchStatus::BadInput;
    }
    // Only this program's own messages belong on stderr in batch mode.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "prx5m: %s\n", message.toLocal8Bit().constData());
    });
    // No display is needed: the report is drawn off screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt sees only the program's name: the file names are the batch's, whatever they look like.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    setNames();
    const bool excel = args.value(0) == u"--xlsx";
    const QString kind = csv ? args[0].mid(2) : (excel ? QStringLiteral("xlsx-") : QString()) + args[1];
    // Only a PDF is drawn: a workbook or the CSV files need no Japanese font on this machine.
    const bool drawn = kind == u"illuminance" || kind == u"cecl" || kind == u"beil" || kind == u"distribution";
    if (drawn && !ReportFont::available()) {
        std::fprintf(stderr, "prx5m: %s\n", ReportFont::missingMessage().toUtf8().constData());
        return BatchStatus::NoJapaneseFont;
    }
    const QString input = args[csv ? 1 : 2];
    const QString output = args[csv ? 2 : 3];
    const QString programDir = QCoreApplication::applicationDirPath();
    QString error;
    QStringList warnings;
    int status = BatchStatus::BadInput;
    if (kind == u"illuminance") {
        status = IlluminanceBatch::writePdf(input, output, AppContext::defaultWorkFolder(), &error);
    } else if (kind == u"cecl") {
        status = CeclBatch::writePdf(input, output, AppContext::defaultWorkFolder(), &error);
    } else if (kind == u"xlsx-illuminance") {
        status = IlluminanceBatch::writeXlsx(input, output, AppContext::defaultWorkFolder(), &error);
    } else if (kind == u"xlsx-cecl") {
        status = CeclBatch::writeXlsx(input, output, AppContext::defaultWorkFolder(), &error);
    } else if (kind == u"beil") {
        status = BeilBatch::writePdf(input, output, AppContext::defaultWorkFolder(), &error);
    } else if (kind == u"xlsx-beil") {
        status = BeilBatch::writeXlsx(input, output, AppContext::defaultWorkFolder(), &error);
    } else if (kind == u"beil-csv") {
        status = BeilBatch::writeFiguresCsv(input, output, &error);
    } else if (kind == u"form4-csv") {
        status = BeilBatch::writeForm4Csv(input, output, &error);
    } else if (kind == u"distribution") {
        status = IlluminanceBatch::writeDistributionPdf(input, output, programDir, &error, &warnings);
    } else if (kind == u"distribution-csv") {
        status = IlluminanceBatch::writeDistributionCsv(input, output, programDir, &error, &warnings);
    } else {
        error = QStringLiteral("帳票の種類は illuminance、cecl、beil（--pdf では distribution も）のどれかです: %1").arg(args[1]);
    }
    for (const QString &w : std::as_const(warnings))
        std::fprintf(stderr, "prx5m: 警告: %s\n", w.toUtf8().constData());
    if (status != 0)
        std::fprintf(stderr, "prx5m: %s\n", error.toLocal8Bit().constData());
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1
        && (std::strcmp(argv[1], "--pdf") == 0 || std::strcmp(argv[1], "--xlsx") == 0
            || std::strcmp(argv[1], "--distribution-csv") == 0 || std::strcmp(argv[1], "--beil-csv") == 0
            || std::strcmp(argv[1], "--form4-csv") == 0))
        return batch(argc, argv);

    // Dates in the standard dialogs as a Japanese user reads them, where the session names no
    // language of its own.
    const QByteArray lang = qgetenv("LC_ALL").isEmpty() ? (qgetenv("LC_TIME").isEmpty() ? qgetenv("LANG") : qgetenv("LC_TIME"))
                                                        : qgetenv("LC_ALL");
    if (lang.isEmpty() || lang == "C" || lang.startsWith("C.") || lang == "POSIX")
        qputenv("LC_TIME", "ja_JP.UTF-8");
    QApplication app(argc, argv);
    setNames();
    Translations::installJapanese();

    // A second copy ends at once, silently, before it reads anything.
    SingleInstance instance;
    QString lockError;
    switch (instance.acquire(&lockError)) {
    case SingleInstance::Result::Acquired:
        break;
    case SingleInstance::Result::HeldByRunningCopy:
        return 0;
    case SingleInstance::Result::Failed:
        std::fprintf(stderr, "prx5m: %s\n", lockError.toLocal8Bit().constData());
        Dialogs::instance().message(nullptr, lockError, Dialogs::kTitle, Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        return 1;
    }

    AppContext context;
    FMenu *menu = nullptr;
    const int status = Startup::start(context, QApplication::applicationDirPath(), AppContext::defaultWorkFolder(),
                                      &menu);
    if (status != 0)
        return status;
    const int result = QApplication::exec();
    delete menu;
    return result;
}
