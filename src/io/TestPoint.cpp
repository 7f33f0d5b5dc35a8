#include "io/TestPoint.h"

#include <QByteArray>
#include <QHash>

#include <csignal>
#include <cstdlib>

namespace TestPoint {

void reached(const char *name)
{
    const char *wanted = std::getenv("PRX5M_STOP_AT");
    if (!wanted || !*wanted)
        return;
    static QHash<QByteArray, int> counts;
    const int count = ++counts[QByteArray(name)];
    const QByteArray want(wanted);
    const qsizetype hash = want.indexOf('#');
    const QByteArray step = hash < 0 ? want : want.left(hash);
    const int n = hash < 0 ? 1 : want.mid(hash + 1).toInt();
    if (step == name && count == n)
        std::raise(SIGSTOP);
}

} // namespace TestPoint
