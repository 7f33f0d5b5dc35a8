#include "shell/Startup.h"

#include "photometry/LuminaireImport.h"
#include "shell/FMenu.h"
#include "ui/ButtonKeys.h"
#include "ui/Dialogs.h"
#include "ui/WindowPosition.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

namespace Startup {

bool prepare(AppContext &context, const QString &programDir, const QString &workFolder, QString *error)
{
    context.programDir = programDir;
    context.helpFile = QDir(programDir).filePath(QStringLiteral("prx5m.hlp"));
    context.workFolder = workFolder;
    // An import stopped half-way (a crash, a power loss) is completed or rolled back before the
    // masters are read.
    QString why;
    if (!LuminaireImport::mend(programDir, &why))
        std::fprintf(stderr, "prx5m: %s\n", why.toLocal8Bit().constData());
    return context.masters.loadAll(programDir, error);
}

int start(AppContext &context, const QString &programDir, const QString &workFolder, FMenu **menu)
{
    QString error;
    if (!prepare(context, programDir, workFolder, &error)) {
        std::fprintf(stderr, "prx5m: %s\n", error.toLocal8Bit().constData());
        Dialogs::instance().message(nullptr, error, Dialogs::kTitle, Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        return 1;
    }
    ButtonKeys::install(QCoreApplication::instance());
    auto *m = new FMenu(context);
    WindowPosition::restore(m);
    m->show();
    if (menu)
        *menu = m;
    return 0;
}

} // namespace Startup
