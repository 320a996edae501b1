#include "app/ApplicationSetup.h"
#include "app/MainWindow.h"
#include "execute/MenuTools.h"
#include "platform/DesktopShell.h"
#include "platform/QtDialogs.h"
#include "platform/RunningCopyChannel.h"
#include "platform/SingleInstance.h"
#include "platform/SystemClock.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    App::setUpApplication(app);
    QApplication::setApplicationVersion(Execute::VersionText());
    QGuiApplication::setDesktopFileName(u"org.tarnwick.Tarnwick"_s);
    QApplication::setWindowIcon(App::MainWindow::applicationIcon());

    QCommandLineParser parser;
    parser.setApplicationDescription(u"批量重命名文件。给出文件夹时，启动后在文件夹树中选中它；"
                                     u"程序已经运行时，把文件夹交给正在运行的程序。"_s);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(u"folder"_s, u"启动后选中的文件夹"_s, u"[FOLDER]"_s);
    parser.process(app);
    if (parser.positionalArguments().size() > 1)
        parser.showHelp(2);

    Platform::QtDialogs dialogs(u"Tarnwick"_s);
    Platform::DesktopShell shell;
    Platform::SystemClock clock;
    Platform::SingleInstance instance(QCoreApplication::applicationFilePath());
    Platform::RunningCopyChannel channel(instance.lockPath());

    App::MainWindowServices services;
    services.paths = Platform::AppPaths::fromExecutable();
    services.dialogs = &dialogs;
    services.shell = &shell;
    services.clock = &clock;
    services.executablePath = QCoreApplication::applicationFilePath();
    services.anotherCopyRuns = [&instance] { return !instance.acquire(); };
    if (!parser.positionalArguments().isEmpty())
        services.startFolder = QFileInfo(parser.positionalArguments().first()).absoluteFilePath();
    services.handFolderToRunningCopy = [&channel](const QString& folder) { return channel.send(folder); };

    App::MainWindow window(services);
    if (!window.startUp())
        return 0;
    // Holding the lock now: later launches hand their folder over here.
    QObject::connect(&channel, &Platform::RunningCopyChannel::folderReceived, &window,
                     &App::MainWindow::folderHandedOver);
    channel.listen();
    window.show();
    return app.exec();
}
