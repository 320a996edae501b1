#pragma once

#include "WorkbookError.h"

#include <QList>
#include <QString>

#include <pugixml.hpp>

namespace Xl {

// A part's relationships (its ".rels" part).
class Relationships
{
public:
    struct Relationship
    {
        QString id;
        QString type;
        QString target;
        bool external = false;
    };

    bool load(const QByteArray& data, const QString& part, WorkbookError* error);
    void createEmpty();
    bool isModified() const { return m_modified; }
    QByteArray save() const;

    QList<Relationship> all() const;
    Relationship byId(const QString& id) const;
    // Relationships whose type ends with "/" + `kind` ("worksheet", "styles").
    QList<Relationship> byKind(const QString& kind) const;
    // Adds one and returns its new id ("rId7").
    QString add(const QString& type, const QString& target, bool external = false);
    // Adds one with a given id (used when copying a part with its markup).
    void addWithId(const QString& id, const QString& type, const QString& target, bool external);
    void remove(const QString& id);
    void setTarget(const QString& id, const QString& target);
    bool isEmpty() const;

    static bool isKind(const QString& type, const QString& kind);

private:
    pugi::xml_document m_doc;
    bool m_modified = false;
};

// Package part names: no leading "/", "/"-separated, compared without case.
namespace PartName {
// The part a relationship target points to, seen from `source` ("" for the
// package root). Empty when it leaves the package.
QString resolve(const QString& source, const QString& target);
// A relative target from `source` to `part`.
QString relativeTarget(const QString& source, const QString& part);
// "xl/worksheets/_rels/sheet1.xml.rels" for "xl/worksheets/sheet1.xml".
QString relsPart(const QString& part);
QString folder(const QString& part);
QString fileName(const QString& part);
QString extension(const QString& part);
} // namespace PartName

} // namespace Xl
