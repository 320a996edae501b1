#pragma once

#include "WorkbookError.h"

#include <QString>

#include <pugixml.hpp>

namespace Xl {

// "[Content_Types].xml": the media type of every part, by extension or by name.
class ContentTypes
{
public:
    bool load(const QByteArray& data, WorkbookError* error);
    void createDefault();
    bool isModified() const { return m_modified; }
    QByteArray save() const;

    QString typeOf(const QString& part) const;
    bool hasDefault(const QString& extension) const;
    QString defaultType(const QString& extension) const;
    void setDefault(const QString& extension, const QString& type);
    // Gives `part` its own type entry (an existing one is replaced).
    void setOverride(const QString& part, const QString& type);
    void removeOverride(const QString& part);

private:
    pugi::xml_document m_doc;
    bool m_modified = false;
};

} // namespace Xl
