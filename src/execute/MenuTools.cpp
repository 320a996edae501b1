#include "MenuTools.h"

#include "ProgramFiles.h"

#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"

using namespace Qt::Literals::StringLiterals;

namespace Execute {

QString versionText(int major, int minor, int patch)
{
    return QString::number(major) + u'.' + QString::number(minor) + QString::number(patch);
}

QString VersionText()
{
    return versionText(TARNWICK_VERSION_MAJOR, TARNWICK_VERSION_MINOR, TARNWICK_VERSION_PATCH);
}

QString newestVersionText()
{
    return u"4.20"_s;
}

void CheckForUpdate(Platform::Dialogs& dialogs, const QString& executableName, const QString& versionText)
{
    if (versionText == newestVersionText()) {
        dialogs.inform(executableName + u"已是最高版本！"_s);
        return;
    }
    dialogs.message({executableName + u"的最高版本是:"_s + newestVersionText() + u"\r\n"_s +
                         u"而您的软件版本为"_s + versionText,
                     {},
                     Platform::MessageIcon::None,
                     Platform::MessageButtons::OkCancel,
                     Platform::MessageAnswer::Ok});
}

bool ShowFolderProperties(const QString& currentFolder, Platform::Dialogs& dialogs, Platform::Shell& shell,
                          QWidget* owner)
{
    if (currentFolder.isEmpty()) {
        dialogs.inform(u"请在树状目录列表中单击选择文件夹! "_s);
        return false;
    }
    QString folder = currentFolder;
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    return shell.showProperties(folder, owner);
}

bool ShowHelpFile(Platform::Shell& shell, Platform::Dialogs& dialogs, const Platform::AppPaths& paths,
                  QWidget* owner)
{
    if (shell.showHelp(paths.programFile(helpFileName()), owner))
        return true;
    RepairComponents(dialogs, paths);
    return false;
}

} // namespace Execute
