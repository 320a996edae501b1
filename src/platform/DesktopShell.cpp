#include "DesktopShell.h"

#include "HelpViewer.h"
#include "PropertyWindow.h"

#include <QFileInfo>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

namespace Platform {

bool DesktopShell::openPath(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool DesktopShell::showProperties(const QString& path, QWidget* owner)
{
    // A folder removed since it was chosen has no properties to show.
    if (!QFileInfo::exists(path))
        return false;
    const QString service = u"org.freedesktop.FileManager1"_s;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected() && bus.interface() && bus.interface()->isServiceRegistered(service).value()) {
        QDBusMessage call = QDBusMessage::createMethodCall(service, u"/org/freedesktop/FileManager1"_s,
                                                           service, u"ShowItemProperties"_s);
        call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
        const QDBusMessage reply = bus.call(call, QDBus::Block, 3000);
        if (reply.type() == QDBusMessage::ReplyMessage)
            return true;
    }
    auto* window = new PropertyWindow(path, owner);
    window->show();
    return true;
}

bool DesktopShell::showHelp(const QString& helpFile, QWidget* owner)
{
    auto* viewer = new HelpViewer(owner);
    if (!viewer->openDocument(helpFile)) {
        delete viewer;
        return false;
    }
    viewer->show();
    return true;
}

} // namespace Platform
