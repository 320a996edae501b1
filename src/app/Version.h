#pragma once

#include <QString>

namespace App {

// The version as the program shows it: major, ".", minor and revision with no
// separator between the last two (4.2.0 gives "4.20").
QString VersionText();
QString versionText(int major, int minor, int revision);

} // namespace App
