#include "support/TestEnv.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>

#include <unistd.h>

TestEnv::TestEnv()
{
    QCoreApplication::setOrganizationName(QStringLiteral("kzw"));
    QCoreApplication::setApplicationName(QStringLiteral("zeltika"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.filePath(QStringLiteral("config")));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.filePath(QStringLiteral("config")));
    QDir().mkpath(programDir());
    QDir().mkpath(workFolder());
}

QString TestEnv::programDir() const
{
    return m_dir.filePath(QStringLiteral("program"));
}

QString TestEnv::workFolder() const
{
    return m_dir.filePath(QStringLiteral("work"));
}

QString TestEnv::buildDir()
{
    return qEnvironmentVariable("PRX5M_BUILD_DIR");
}

QString TestEnv::sourceDir()
{
    return qEnvironmentVariable("PRX5M_SOURCE_DIR");
}

QString TestEnv::program(const QString &name)
{
    return QDir(buildDir()).filePath(name);
}

QProcessEnvironment TestEnv::batchEnvironment(const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("LD_PRELOAD"));
    env.remove(QStringLiteral("PRX5M_FAULT"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/cache"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    return env;
}

bool TestEnv::copySampleMasters() const
{
    for (const QString &name : {MasterTables::kLampFile, MasterTables::kLuminaireFile, MasterTables::kRoomFile}) {
        const QString target = QDir(programDir()).filePath(name);
        QFile::remove(target);
        if (!QFile::copy(QDir(buildDir()).filePath(name), target))
            return false;
    }
    return true;
}

QByteArray TestEnv::readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestEnv::writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

bool TestEnv::makeFolderUnwritable(const QString &folder)
{
    if (::geteuid() != 0)
        return QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    QProcess chattr;
    chattr.start(QStringLiteral("chattr"), {QStringLiteral("+i"), folder});
    if (!chattr.waitForFinished() || chattr.exitStatus() != QProcess::NormalExit || chattr.exitCode() != 0)
        return false;
    QFile probe(QDir(folder).filePath(QStringLiteral(".probe")));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        makeFolderWritable(folder);
        return false;
    }
    return true;
}

void TestEnv::makeFolderWritable(const QString &folder)
{
    if (::geteuid() == 0)
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), folder});
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

bool TestEnv::makeFileUnwritable(const QString &file)
{
    if (::geteuid() != 0)
        return QFile::setPermissions(file, QFile::ReadOwner);
    QProcess chattr;
    chattr.start(QStringLiteral("chattr"), {QStringLiteral("+i"), file});
    if (!chattr.waitForFinished() || chattr.exitStatus() != QProcess::NormalExit || chattr.exitCode() != 0)
        return false;
    QFile probe(file);
    if (probe.open(QIODevice::Append)) {
        makeFileWritable(file);
        return false;
    }
    return true;
}

void TestEnv::makeFileWritable(const QString &file)
{
    if (::geteuid() == 0)
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), file});
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
}

MasterTables TestEnv::sampleMasters()
{
    MasterTables t;
    QString error;
    if (!t.loadAll(buildDir(), &error))
        qFatal("sample masters: %s", qPrintable(error));
    return t;
}

MasterTables TestEnv::knownMasters()
{
    MasterTables t;
    // Luminaire 1: the worked example's table (pattern 1, class 7 gives 0.62).
    LuminaireRecord lum;
    lum.number = QStringLiteral("01");
    lum.name = QStringLiteral("埋込下面開放形    ");
    const int factors[3][15] = {{34, 41, 47, 52, 56, 59, 62, 65, 68, 71, 73, 76, 76, 76, 76},
                                {30, 37, 43, 48, 52, 55, 58, 61, 64, 67, 69, 72, 72, 72, 72},
                                {26, 33, 39, 44, 48, 51, 54, 57, 60, 63, 65, 68, 68, 68, 68}};
    for (int p = 0; p < 3; ++p)
        for (int c = 0; c < 15; ++c)
            lum.utilizationFactors[size_t(p)][size_t(c)] = QString::number(factors[p][c]);
    lum.maintenanceFactors = {QStringLiteral("0.73"), QStringLiteral("0.69"), QStringLiteral("0.61")};
    lum.inUse = QStringLiteral("1");
    t.setLuminaire(1, lum);
    // Slot 7 carries Number 12; slot 12 is the luminaire that Number addresses.
    LuminaireRecord seven = lum;
    seven.number = QStringLiteral("12");
    seven.name = QStringLiteral("直付逆富士形      ");
    t.setLuminaire(7, seven);
    LuminaireRecord twelve = lum;
    twelve.number = QStringLiteral("12");
    twelve.name = QStringLiteral("直付トラフ形      ");
    twelve.maintenanceFactors = {QStringLiteral("0.70"), QStringLiteral("0.65"), QStringLiteral("0.55")};
    for (int c = 0; c < 15; ++c)
        twelve.utilizationFactors[0][size_t(c)] = QString::number(factors[0][c] + 5);
    t.setLuminaire(12, twelve);

    LampRecord lamp;
    lamp.name = QStringLiteral("FHF32EX-N  ");
    lamp.lampCapacity = 32;
    lamp.flux = QStringLiteral("3450 ");
    lamp.inUse = QStringLiteral("1");
    t.setLamp(3, lamp);
    LampRecord forty;
    forty.name = QStringLiteral("FLR40S-W   ");
    forty.lampCapacity = 40;
    forty.flux = QStringLiteral("3000 ");
    forty.inUse = QStringLiteral("1");
    t.setLamp(7, forty);

    RoomMasterRecord office;
    office.name = QStringLiteral("事務室");
    office.standardPowerByType = {15, 15, 20, 20, 20, 15};
    office.standardHoursByType = {2000, 3000, 3000, 2700, 2000, 3000};
    t.setRoom(1, office);
    return t;
}

qint64 TestEnv::timeLimit(qint64 milliseconds)
{
#ifdef PRX5M_SANITIZED
    return milliseconds * 10;
#else
    return milliseconds;
#endif
}
