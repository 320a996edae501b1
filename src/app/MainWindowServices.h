#pragma once

#include "platform/AppPaths.h"

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
};

} // namespace App
