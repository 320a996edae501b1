#include "HiddenFileList.h"

#include "platform/FileSystem.h"

namespace App {

void HiddenFileList::setPath(const QString& folder)
{
    if (folder == m_path)
        return;
    m_path = folder;
    refresh();
}

void HiddenFileList::setPattern(const QString& pattern)
{
    m_pattern = pattern;
    refresh();
}

void HiddenFileList::refresh()
{
    if (m_path.isEmpty())
        return;
    bool ok = false;
    QStringList names = Platform::listFiles(m_path, m_pattern, &ok);
    if (!ok)
        return;
    if (names.size() > MaxNames)
        names.resize(MaxNames);
    m_names = std::move(names);
}

} // namespace App
