#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A temporary folder that tests fill with real files.
class TempTree
{
public:
    TempTree();
    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    // Absolute path of `relative` inside the tree.
    QString file(const QString& relative) const;
    // Creates the file (and its folders) with `content`; returns its path.
    QString write(const QString& relative, const QByteArray& content = {});
    QString mkdir(const QString& relative);
    QByteArray read(const QString& relative) const;
    bool exists(const QString& relative) const;
    // Names in a folder of the tree, sorted, hidden ones included.
    QStringList entries(const QString& relative = {}) const;

private:
    QTemporaryDir m_dir;
};
