#pragma once

#include <QString>

class QWidget;

namespace Platform {
class AppPaths;
class Dialogs;
class Shell;
} // namespace Platform

namespace Execute {

// The program's version as text: major, ".", minor, then the patch number
// without a separator; 4.2.0 gives "4.20".
QString VersionText();
QString versionText(int major, int minor, int patch);
// The newest version the program knows of.
QString newestVersionText(); // "4.20"

// "检查更新" (no network): when `versionText` is the newest, an information box
// `executableName` + "已是最高版本！"; otherwise a box without icon, OK and
// Cancel: `executableName` + "的最高版本是:" + newest + CR LF + "而您的软件版本为"
// + `versionText`. `executableName` is the executable's file name without
// extension.
void CheckForUpdate(Platform::Dialogs& dialogs, const QString& executableName,
                    const QString& versionText = VersionText());

// "显示文件夹属性": with no folder chosen (`currentFolder` empty) the information
// box "请在树状目录列表中单击选择文件夹! "; otherwise the folder's property sheet
// through the shell, owned by `owner`. False when nothing was shown.
bool ShowFolderProperties(const QString& currentFolder, Platform::Dialogs& dialogs, Platform::Shell& shell,
                          QWidget* owner);

// "帮助": the help document "FileHelp.html" in the program's help window. When
// it cannot be shown the action stops and RepairComponents runs instead (with
// its own message), as for every Help menu action that fails. The folder
// tool's help button calls it with its own window as owner.
bool ShowHelpFile(Platform::Shell& shell, Platform::Dialogs& dialogs, const Platform::AppPaths& paths,
                  QWidget* owner);

} // namespace Execute
