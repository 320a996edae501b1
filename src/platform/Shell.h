#pragma once

#include <QString>

class QWidget;

namespace Platform {

// Actions handed to the desktop: opening a folder or file, a folder's property
// sheet, the help viewer. Tests replace it so nothing is launched.
class Shell
{
public:
    virtual ~Shell() = default;
    // Opens a folder in the file manager or a file with its program.
    virtual bool openPath(const QString& path) = 0;
    // Shows the property sheet of a file or folder, owned by `owner`.
    virtual bool showProperties(const QString& path, QWidget* owner) = 0;
    // Opens a help document (HTML) in the program's help window.
    virtual bool showHelp(const QString& helpFile, QWidget* owner) = 0;
};

} // namespace Platform
