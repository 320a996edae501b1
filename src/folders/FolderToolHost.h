#pragma once

#include "platform/AppPaths.h"
#include "rename/RenameOptions.h"

#include <QRect>
#include <QString>

#include <functional>

namespace Platform {
class Clock;
class Dialogs;
class Shell;
} // namespace Platform

namespace Folders {

// What the folder tool reads from and does to the main window that owns it.
struct FolderToolHost
{
    Platform::Dialogs* dialogs = nullptr;
    Platform::Shell* shell = nullptr;
    Platform::AppPaths paths;
    const Platform::Clock* clock = nullptr;
    // The rectangle over the main window's right pane, in screen pixels.
    std::function<QRect()> placement;
    // `CurrentMethod` (0 to 9) and the caption of the selected method tab.
    std::function<int()> currentMethod;
    std::function<QString()> methodCaption;
    // The option controls of the method panels as they are now.
    std::function<Rename::RenameOptions()> renameOptions;
    // Enables the main window's "撤消重命名" after a mode-0 run.
    std::function<void()> enableUndo;
};

} // namespace Folders
