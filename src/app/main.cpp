#include "BatchModes.h"
#include "beil/BeilBatch.h"
#include "illuminance/IlluminanceBatch.h"
#include "io/CommandLine.h"
#include "report/BatchStatus.h"
#include "report/ReportFont.h"
#include "shell/AppContext.h"
#include "shell/FMenu.h"
#include "shell/HandOver.h"
#include "shell/SingleInstance.h"
#include "shell/Startup.h"
#include "ui/Dialogs.h"
#include "ui/Translations.h"
#include "version.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

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

void printUsage(FILE *to)
{
    std::fprintf(to, "%s", BatchModes::usage().toUtf8().constData());
}

// A mode without a window: prx5m --pdf illuminance IN.syw OUT.pdf and the others of the table.
int batch(const QStringList &args, char *program)
{
    const bool takesKind = BatchModes::find(args[0], QString()) == nullptr;
    const BatchModes::Mode *mode = BatchModes::find(args[0], args.value(1));
    if (!mode) {
        std::fprintf(stderr, "prx5m: %s の後の帳票の種類が違います: %s\n", args[0].toUtf8().constData(),
                     args.value(1).toUtf8().constData());
        printUsage(stderr);
        return BatchStatus::BadInput;
    }
    const int first = takesKind ? 2 : 1;
    // The distribution's inter-reflection, anywhere among the files: --interreflection radiosity|uniform.
    QStringList files = args.mid(first);
    if (const qsizetype at = files.indexOf(QStringLiteral("--interreflection")); at >= 0) {
        const auto method = Distribution::methodOf(files.value(at + 1));
        const bool distribution = mode->kind ? QLatin1String(mode->kind) == u"distribution" || QLatin1String(mode->kind) == u"requirements"
                                             : QLatin1String(mode->option) == u"--distribution-csv"
                                                   || QLatin1String(mode->option) == u"--requirements-csv";
        if (!method || !distribution) {
            std::fprintf(stderr, "prx5m: --interreflection は照度分布（--pdf distribution、--distribution-csv）に "
                                 "radiosity か uniform を付けて指定します\n");
            printUsage(stderr);
            return BatchStatus::BadInput;
        }
        IlluminanceBatch::setInterReflection(*method);
        files.remove(at, 2);
    }
    // The building's own official workbook to write into: --into BUILDING.xlsx.
    if (const qsizetype at = files.indexOf(QStringLiteral("--into")); at >= 0) {
        if (QLatin1String(mode->option) != u"--official-xlsx" || at + 1 >= files.size()) {
            std::fprintf(stderr, "prx5m: --into は --official-xlsx に建物の公式入力シートのブック（.xlsx）を付けて指定します\n");
            printUsage(stderr);
            return BatchStatus::BadInput;
        }
        BeilBatch::setInto(files.value(at + 1));
        files.remove(at, 2);
    }
    if (mode->manyInputs ? files.size() < 2 : files.size() != 2) {
        std::fprintf(stderr, "prx5m: 引数の数が違います\n");
        printUsage(stderr);
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
    char *qtArgv[] = {program, nullptr};
    QApplication app(qtArgc, qtArgv);
    setNames();
    // Only a PDF is drawn: a workbook or the CSV files need no Japanese font on this machine.
    if (mode->drawn && !ReportFont::available()) {
        std::fprintf(stderr, "prx5m: %s\n", ReportFont::missingMessage().toUtf8().constData());
        return BatchStatus::NoJapaneseFont;
    }
    QString error;
    QStringList warnings, said;
    const int status = mode->run(files.mid(0, files.size() - 1), files.last(), &error, &warnings, &said);
    for (const QString &s : std::as_const(said))
        std::fprintf(stdout, "%s\n", s.toUtf8().constData());
    for (const QString &w : std::as_const(warnings))
        std::fprintf(stderr, "prx5m: 警告: %s\n", w.toUtf8().constData());
    // One line each: a list of problems reads on stderr as it would in the sheet's dialog.
    if (status != 0)
        for (const QString &line : error.split(u'\n'))
            std::fprintf(stderr, "prx5m: %s\n", line.toLocal8Bit().constData());
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    // The command line is read before any window or lock: a mistyped one in a script ends with
    // the usage instead of a window that waits for nobody.
    const QString first = argc > 1 ? QString::fromUtf8(argv[1]) : QString();
    if (first == u"--help" || first == u"-h") {
        printUsage(stdout);
        return 0;
    }
    if (first == u"--version" || first == u"-v") {
        std::printf("prx5m %d.%d.%d\n", PRX5M_VERSION_MAJOR, PRX5M_VERSION_MINOR, PRX5M_VERSION_PATCH);
        return 0;
    }
    QStringList args;
    QString argumentError;
    if (!CommandLine::arguments(argc, argv, &args, &argumentError)) {
        std::fprintf(stderr, "prx5m: %s\n", argumentError.toUtf8().constData());
        return BatchStatus::BadInput;
    }
    // A batch mode never looks at the running copy: it works alone and ends.
    if (BatchModes::isModeOption(first))
        return batch(args, argv[0]);
    QString file;
    if (!BatchModes::windowArguments(args, &file, &argumentError)) {
        std::fprintf(stderr, "prx5m: %s\n", argumentError.toUtf8().constData());
        printUsage(stderr);
        return BatchStatus::BadInput;
    }
    if (!file.isEmpty())
        file = QFileInfo(file).absoluteFilePath();

    Translations::prepareJapaneseDates();
    QApplication app(argc, argv);
    setNames();
    Translations::installJapanese();

    // A second copy hands its file (or only itself, to come to the front) to the running one and
    // ends, silently, before it reads anything.
    SingleInstance instance;
    QString lockError;
    switch (HandOver::startOrHand(instance, file, &lockError)) {
    case HandOver::Start::First:
        break;
    case HandOver::Start::Handed:
        return 0;
    case HandOver::Start::NotHanded:
        std::fprintf(stderr, "prx5m: 起動中のプログラムにファイルを渡せませんでした: %s\n", file.toUtf8().constData());
        return 1;
    case HandOver::Start::Failed:
        std::fprintf(stderr, "prx5m: %s\n", lockError.toLocal8Bit().constData());
        Dialogs::instance().message(nullptr, lockError, Dialogs::kTitle, Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        return 1;
    }

    // Listening from the start: a copy started a moment after this one hands its file over
    // while this one is still loading; what arrives before the menu is there waits for it.
    HandOver handOver;
    QString listenError;
    QStringList early;
    FMenu *menu = nullptr;
    if (handOver.listen(&listenError))
        QObject::connect(&handOver, &HandOver::handed, &handOver, [&menu, &early](const QString &path) {
            if (menu)
                menu->handOver(path);
            else if (!early.contains(path))
                early.append(path);
        });
    else
        std::fprintf(stderr, "prx5m: %s\n", listenError.toLocal8Bit().constData());
    AppContext context;
    const int status = Startup::start(context, QApplication::applicationDirPath(), AppContext::defaultWorkFolder(),
                                      &menu);
    if (status != 0)
        return status;
    if (!file.isEmpty())
        early.prepend(file);
    QTimer::singleShot(0, menu, [menu, early] {
        for (const QString &path : early)
            menu->handOver(path);
    });
    const int result = QApplication::exec();
    delete menu;
    return result;
}
