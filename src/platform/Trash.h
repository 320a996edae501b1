#pragma once

#include <QDateTime>
#include <QString>

namespace Platform {

// The desktop's trash as the freedesktop.org Trash specification lays it out:
// the home trash $XDG_DATA_HOME/Trash for files on the home's volume, and
// $topdir/.Trash/$uid or $topdir/.Trash-$uid on other volumes. Each trashed file
// gets an info file ("[Trash Info]", percent-encoded Path=, DeletionDate=), so
// the file manager can restore it. Missing trash folders are created.
class Trash
{
public:
    // `dataHome` is $XDG_DATA_HOME (empty: from the environment, else ~/.local/share).
    explicit Trash(const QString& dataHome = {});

    // Moves `path` into the trash. Fails, leaving the file in place, when no
    // trash on its volume can be used.
    bool moveToTrash(const QString& path, QString* error = nullptr,
                     const QDateTime& when = QDateTime::currentDateTime());

    QString homeTrash() const;

private:
    QString trashFor(const QString& absolutePath, QString* topdir, QString* error) const;

    QString m_dataHome;
};

} // namespace Platform
