#include "shell/AppContext.h"
#include "shell/FMenu.h"
#include "shell/SingleInstance.h"
#include "shell/Startup.h"
#include "version.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("kzw"));
    QApplication::setApplicationName(QStringLiteral("zeltika"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(PRX5M_VERSION_MAJOR)
                                            .arg(PRX5M_VERSION_MINOR)
                                            .arg(PRX5M_VERSION_PATCH));

    // A second copy ends at once, silently, before it reads anything.
    SingleInstance instance;
    if (!instance.acquire())
        return 0;

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
