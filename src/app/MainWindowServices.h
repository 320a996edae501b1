#pragma once

#include "platform/AppPaths.h"

#include <QString>

#include <functional>

namespace Platform {
class Clock;
class Dialogs;
class Shell;
} // namespace Platform

namespace App {

// What the main window is given from outside, so tests can hand in temporary
// folders, a fixed clock and scripted dialogs.
struct MainWindowServices
{
    Platform::AppPaths paths;
    Platform::Dialogs* dialogs = nullptr;
    Platform::Shell* shell = nullptr;
    const Platform::Clock* clock = nullptr;
    // The executable's path; its file name without extension appears in messages.
    QString executablePath;
    // True when another copy of this executable is already running.
    std::function<bool()> anotherCopyRuns;
    // The folder given on the command line, selected at start-up; empty: none.
    QString startFolder;
    // Hands startFolder to the copy that already runs; true when it took it,
    // and this launch then ends without a message.
    std::function<bool(const QString&)> handFolderToRunningCopy;
};

} // namespace App
