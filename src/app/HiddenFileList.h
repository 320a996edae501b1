#pragma once

#include <QString>
#include <QStringList>

namespace App {

// The hidden file list `File1`: the names of the plain files of one folder that
// match the current pattern, in the listing's order. It is the single source
// of the names the rename rules work on.
class HiddenFileList
{
public:
    // Points the list at `folder` and reads it, also when it is the current
    // one (it may have changed or become readable). A folder that cannot be
    // read leaves the list, its folder included, as it was: false.
    bool setPath(const QString& folder);
    // Takes a new pattern and re-reads the folder.
    void setPattern(const QString& pattern);
    // Re-reads the folder with the current pattern; false (the list as it
    // was) when it cannot be read.
    bool refresh();

    QString path() const { return m_path; }
    QString pattern() const { return m_pattern; }
    const QStringList& names() const { return m_names; }
    int count() const { return int(m_names.size()); }
    QString name(int k) const { return k >= 0 && k < m_names.size() ? m_names.at(k) : QString(); }

    // At most this many names are listed.
    static constexpr int MaxNames = 32767;

private:
    bool read(const QString& folder, QStringList& names) const;

    QString m_path;
    QString m_pattern = QStringLiteral("*.*");
    QStringList m_names;
};

} // namespace App
