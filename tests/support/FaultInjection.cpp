#include "support/FaultInjection.h"

#include "support/TestEnv.h"

#include <QDir>

namespace FaultInjection {

namespace {
int g_generation = 0;
}

QString library()
{
    return QDir(TestEnv::buildDir()).filePath(QStringLiteral("tests/libfaultinject.so"));
}

bool loadedHere()
{
    return qEnvironmentVariable("LD_PRELOAD").contains(QStringLiteral("libfaultinject"));
}

void set(const QString &fault, const QString &pathPart, const QString &error)
{
    qputenv("PRX5M_FAULT_PATH", pathPart.toLocal8Bit());
    qputenv("PRX5M_FAULT_ERRNO", error.toLatin1());
    qputenv("PRX5M_FAULT", (fault + QStringLiteral("#%1").arg(++g_generation)).toLatin1());
}

void clear()
{
    qunsetenv("PRX5M_FAULT");
    qunsetenv("PRX5M_FAULT_PATH");
    qunsetenv("PRX5M_FAULT_ERRNO");
}

QProcessEnvironment environment(QProcessEnvironment base, const QString &fault, const QString &pathPart,
                                const QString &error)
{
    QString preload = library();
    if (base.contains(QStringLiteral("LD_PRELOAD")) && !base.value(QStringLiteral("LD_PRELOAD")).contains(preload))
        preload += u':' + base.value(QStringLiteral("LD_PRELOAD"));
    base.insert(QStringLiteral("LD_PRELOAD"), preload);
    // A sanitizer build wants its own runtime first; the preload comes before it here.
    QString asan = base.value(QStringLiteral("ASAN_OPTIONS"));
    if (!asan.contains(QStringLiteral("verify_asan_link_order")))
        asan += (asan.isEmpty() ? QString() : QStringLiteral(":")) + QStringLiteral("verify_asan_link_order=0");
    base.insert(QStringLiteral("ASAN_OPTIONS"), asan);
    if (fault.isEmpty()) {
        base.remove(QStringLiteral("PRX5M_FAULT"));
    } else {
        base.insert(QStringLiteral("PRX5M_FAULT"), fault);
        base.insert(QStringLiteral("PRX5M_FAULT_PATH"), pathPart);
        base.insert(QStringLiteral("PRX5M_FAULT_ERRNO"), error);
    }
    return base;
}

} // namespace FaultInjection
