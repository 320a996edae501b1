#include "Version.h"

namespace App {

QString versionText(int major, int minor, int revision)
{
    return QString::number(major) + u'.' + QString::number(minor) + QString::number(revision);
}

QString VersionText()
{
    return versionText(TARNWICK_VERSION_MAJOR, TARNWICK_VERSION_MINOR, TARNWICK_VERSION_PATCH);
}

} // namespace App
