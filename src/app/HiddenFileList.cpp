#include "HiddenFileList.h"

#include "platform/FileSystem.h"

namespace App {

bool HiddenFileList::setPath(const QString& folder)
{
    QStringList names;
    if (!read(folder, names))
        return false;
    m_path = folder;
    m_names = std::move(names);
    return true;
}

void HiddenFileList::setPattern(const QString& pattern)
{
    m_pattern = pattern;
    refresh();
}

bool HiddenFileList::refresh()
{
    if (m_path.isEmpty())
        return false;
    QStringList names;
    if (!read(m_path, names))
        return false;
    m_names = std::move(names);
    return true;
}

bool HiddenFileList::read(const QString& folder, QStringList& names) const
{
    if (folder.isEmpty())
        return false;
    bool ok = false;
    names = Platform::listFiles(folder, m_pattern, &ok);
    if (!ok)
        return false;
    if (names.size() > MaxNames)
        names.resize(MaxNames);
    return true;
}

} // namespace App
