#pragma once

#include <QString>

namespace Platform {

// The folders the program keeps its own files in. The application folder is the
// executable's folder. A copy run from its build folder keeps its writable files
// (undo records, restored program files) there. An installed copy — one whose
// install data folder (<prefix>/share/tarnwick) exists — writes nothing under
// its prefix, even a prefix the user can write to: its writable files live in
// the user's data folder, and shipped files are looked up in the install's data
// folder. A non-writable application folder also sends them to the user's data
// folder. Tests build one over a temporary folder; nothing here reads the real
// home unless fromExecutable() is used.
class AppPaths
{
public:
    AppPaths() = default;
    AppPaths(const QString& applicationFolder, const QString& userDataFolder,
             const QString& installDataFolder = {});

    // The running executable's folder, the user's data folder and the install's
    // data folder (<prefix>/share/tarnwick beside <prefix>/bin).
    static AppPaths fromExecutable();

    QString applicationFolder() const { return m_applicationFolder; }
    // Folder of writable program files: the application folder, or the user's data folder.
    QString dataFolder() const;
    // "undofile" inside dataFolder().
    QString undoFolder() const;
    // The program file `name` where it is found: dataFolder(), else the install's
    // data folder; dataFolder()/name when it is in neither.
    QString programFile(const QString& name) const;
    bool applicationFolderWritable() const;
    // True when the install's data folder exists: this copy was installed.
    bool installed() const;

private:
    QString m_applicationFolder;
    QString m_userDataFolder;
    QString m_installDataFolder;
};

} // namespace Platform
