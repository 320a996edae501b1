#include "app/ApplicationSetup.h"
#include "app/MainWindow.h"
#include "platform/SystemClock.h"
#include "platform/DesktopShell.h"
#include "platform/QtDialogs.h"
#include "platform/SingleInstance.h"

#include <QApplication>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    App::setUpApplication(app);

    Platform::QtDialogs dialogs(u"Tarnwick"_s);
    Platform::DesktopShell shell;
    Platform::SystemClock clock;
    Platform::SingleInstance instance(QCoreApplication::applicationFilePath());

    App::MainWindowServices services;
    services.paths = Platform::AppPaths::fromExecutable();
    services.dialogs = &dialogs;
    services.shell = &shell;
    services.clock = &clock;
    services.executablePath = QCoreApplication::applicationFilePath();
    services.anotherCopyRuns = [&instance] { return !instance.acquire(); };

    App::MainWindow window(services);
    if (!window.startUp())
        return 0;
    window.show();
    return app.exec();
}
