// prx5m-mst: converts the master files between their editable CSV form and the .mst records.
//
//   prx5m-mst to-mst lamp|luminaire|room IN.csv OUT.mst
//   prx5m-mst to-csv lamp|luminaire|room IN.mst OUT.csv
//   prx5m-mst photometry FILE.ies|FILE.ldt [--plot OUT.png] [--into syomei.csv --slot N ...]

#include "io/CheckedFile.h"
#include "PhotometryCommand.h"
#include "master/MasterCsv.h"

#include "io/CommandLine.h"
#include "version.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "emergency/EmergencyImport.h"
#include "text/NumberText.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

int usage(FILE *to = stderr)
{
    std::fprintf(to, "usage: prx5m-mst to-mst|to-csv lamp|luminaire|room INPUT OUTPUT\n"
                     "  lamp = Kougen.mst, luminaire = syomei.mst, room = room.mst; CSV is UTF-8\n"
                     "       prx5m-mst photometry FILE.ies|FILE.ldt [--plot OUT.png|OUT.pdf]\n"
                     "         [--into syomei.csv --slot N [--name TEXT] [--mf 0.81,0.77,0.72]]\n"
                     "       prx5m-mst emergency FILE.ies|FILE.ldt --into hijou.csv --slot N --flux LM\n"
                     "         --source LED|蛍光灯|白熱灯|ハロゲン [--name TEXT]\n"
                     "       prx5m-mst --help | --version\n");
    return 2;
}

// prx5m-mst emergency FILE --into CSV --slot N --flux LM --source … [--name TEXT]
int emergencyCommand(const QStringList &args)
{
    EmergencyImport::Request r;
    bool haveSlot = false, haveFlux = false, haveSource = false;
    QString problem;
    for (int i = 0; i < args.size() && problem.isEmpty(); ++i) {
        const QString &a = args[i];
        const bool takesValue = a == u"--into" || a == u"--slot" || a == u"--flux" || a == u"--source" || a == u"--name";
        if (takesValue && i + 1 >= args.size()) {
            problem = QStringLiteral("%1 の値がありません。").arg(a);
            break;
        }
        bool ok = true;
        if (a == u"--into") {
            r.csv = args[++i];
        } else if (a == u"--slot") {
            r.slot = args[++i].toInt(&ok);
            haveSlot = ok && r.slot >= 1 && r.slot <= 99;
            if (!haveSlot)
                problem = QStringLiteral("--slot は 1～99 です。");
        } else if (a == u"--flux") {
            // Read as every stored figure is: a plain decimal, said what is wrong with it.
            const QString text = args[++i];
            const NumberText::Field f = NumberText::field(text);
            r.flux = f.value.value_or(0);
            haveFlux = f.ok() && r.flux > 0 && r.flux <= EmergencyMaster::kMaxFlux;
            if (!f.ok())
                problem = QStringLiteral("--flux「%1」%2").arg(text, f.reason());
            else if (!haveFlux)
                problem = r.flux > 0 ? QStringLiteral("--flux「%1」は大きすぎます（%2 lm まで）。")
                                           .arg(text, NumberText::format(EmergencyMaster::kMaxFlux, QStringLiteral("#,##0")))
                                     : QStringLiteral("--flux は非常時光束（lm）の正の数です。");
        } else if (a == u"--source") {
            haveSource = EmergencyMaster::sourceOf(args[++i], &r.source);
            if (!haveSource)
                problem = QStringLiteral("--source は LED、蛍光灯、白熱灯、ハロゲン のいずれかです。");
        } else if (a == u"--name") {
            r.name = args[++i];
        } else if (a.startsWith(QStringLiteral("--"))) {
            problem = QStringLiteral("知らないオプション %1").arg(a);
        } else if (r.file.isEmpty()) {
            r.file = a;
        } else {
            problem = QStringLiteral("ファイルは 1 つです: %1").arg(a);
        }
    }
    if (problem.isEmpty() && (r.file.isEmpty() || r.csv.isEmpty() || !haveSlot || !haveFlux || !haveSource))
        problem = QStringLiteral("配光データのファイル、--into、--slot、--flux、--source を指定してください。");
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "prx5m-mst: %s\n", problem.toUtf8().constData());
        usage();
        return 2;
    }
    QStringList said;
    QString error;
    if (!EmergencyImport::run(r, &said, &error)) {
        std::fprintf(stderr, "prx5m-mst: %s\n", error.toUtf8().constData());
        return 1;
    }
    for (const QString &line : std::as_const(said))
        std::printf("%s\n", line.toUtf8().constData());
    return 0;
}

std::optional<MasterCsv::Kind> kindOf(const QString &name)
{
    if (name == u"lamp")
        return MasterCsv::Kind::Lamp;
    if (name == u"luminaire")
        return MasterCsv::Kind::Luminaire;
    if (name == u"room")
        return MasterCsv::Kind::Room;
    return std::nullopt;
}

bool readAll(const QString &path, QByteArray *bytes)
{
    // A FIFO or a device would block or never end.
    if (QFileInfo(path).exists() && !QFileInfo(path).isFile()) {
        std::fprintf(stderr, "prx5m-mst: %s is not a regular file\n", qPrintable(path));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "prx5m-mst: cannot read %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        std::fprintf(stderr, "prx5m-mst: cannot read %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    return true;
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QString error;
    if (!CheckedFile::write(path, bytes, &error)) {
        std::fprintf(stderr, "prx5m-mst: cannot write %s: %s\n", qPrintable(path), error.toLocal8Bit().constData());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    // The arguments are the tool's, byte for byte; Qt sees only the program's name.
    QStringList given;
    QString argumentError;
    if (!CommandLine::arguments(argc, argv, &given, &argumentError)) {
        std::fprintf(stderr, "prx5m-mst: %s\n", argumentError.toUtf8().constData());
        return 2;
    }
    const QString command = given.value(0);
    if (command == u"--help") {
        usage(stdout);
        return 0;
    }
    if (command == u"--version") {
        std::printf("prx5m-mst %d.%d.%d\n", PRX5M_VERSION_MAJOR, PRX5M_VERSION_MINOR, PRX5M_VERSION_PATCH);
        return 0;
    }
    if (command != u"photometry" && command != u"to-mst" && command != u"to-csv" && command != u"emergency") {
        if (!command.isEmpty())
            std::fprintf(stderr, "prx5m-mst: このコマンドはありません: %s\n", command.toUtf8().constData());
        return usage();
    }
    int qtArgc = 1;
    if (command == u"photometry") {
        // Drawing the curve needs fonts, not a display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // Only the tool's own messages reach stderr, however strange the file.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        QGuiApplication app(qtArgc, argv);
        return photometryCommand(given.mid(1));
    }
    if (command == u"emergency") {
        QCoreApplication app(qtArgc, argv);
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        return emergencyCommand(given.mid(1));
    }
    QCoreApplication app(qtArgc, argv);
    const QStringList args = QStringList{QString()} + given;
    if (args.size() != 5)
        return usage();
    const auto kind = kindOf(args[2]);
    if (!kind)
        return usage();
    QByteArray input;
    if (!readAll(args[3], &input))
        return 1;

    if (args[1] == u"to-mst") {
        QStringDecoder utf8(QStringDecoder::Utf8);
        QString csv = utf8.decode(input.startsWith("\xEF\xBB\xBF") ? input.mid(3) : input);
        if (utf8.hasError()) {
            std::fprintf(stderr, "prx5m-mst: %s is not UTF-8\n", qPrintable(args[3]));
            return 1;
        }
        if (csv.startsWith(QChar(0xFEFF)))
            csv.remove(0, 1);
        QByteArray mst;
        QString error;
        if (!MasterCsv::toMst(*kind, csv, &mst, &error)) {
            std::fprintf(stderr, "prx5m-mst: %s: %s\n", qPrintable(args[3]), qPrintable(error));
            return 1;
        }
        return writeAll(args[4], mst) ? 0 : 1;
    }
    if (args[1] == u"to-csv") {
        if (input.size() % MasterCsv::recordLength(*kind) != 0)
            std::fprintf(stderr, "prx5m-mst: warning: %s ends in a partial record, which is left out\n",
                         qPrintable(args[3]));
        return writeAll(args[4], MasterCsv::toCsv(*kind, input).toUtf8()) ? 0 : 1;
    }
    return usage();
}
