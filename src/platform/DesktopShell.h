#pragma once

#include "Shell.h"

namespace Platform {

// The Linux desktop: xdg-open through QDesktopServices, the file manager's
// property sheet over D-Bus (org.freedesktop.FileManager1) with the program's
// own property window where no file manager answers, and the help window.
class DesktopShell final : public Shell
{
public:
    bool openPath(const QString& path) override;
    bool showProperties(const QString& path, QWidget* owner) override;
    bool showHelp(const QString& helpFile, QWidget* owner) override;
};

} // namespace Platform
