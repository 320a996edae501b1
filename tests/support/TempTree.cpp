#include "TempTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TempTree::TempTree() = default;

QString TempTree::file(const QString& relative) const
{
    return relative.isEmpty() ? m_dir.path() : m_dir.path() + u'/' + relative;
}

QString TempTree::write(const QString& relative, const QByteArray& content)
{
    const QString path = file(relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(content);
    return path;
}

QString TempTree::mkdir(const QString& relative)
{
    const QString path = file(relative);
    QDir().mkpath(path);
    return path;
}

QByteArray TempTree::read(const QString& relative) const
{
    QFile f(file(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool TempTree::exists(const QString& relative) const
{
    return QFileInfo::exists(file(relative)) || QFileInfo(file(relative)).isSymLink();
}

QStringList TempTree::entries(const QString& relative) const
{
    QStringList names =
        QDir(file(relative))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    return names;
}
