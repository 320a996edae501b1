#include "RecordingShell.h"

bool RecordingShell::openPath(const QString& path)
{
    opened.append(path);
    return succeed;
}

bool RecordingShell::showProperties(const QString& path, QWidget*)
{
    properties.append(path);
    return succeed;
}

bool RecordingShell::showHelp(const QString& helpFile, QWidget*)
{
    help.append(helpFile);
    return succeed;
}
