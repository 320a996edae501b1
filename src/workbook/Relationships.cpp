#include "Relationships.h"

#include "Xml.h"

#include <QStringList>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

namespace {
const char* const relsNamespace = "http://schemas.openxmlformats.org/package/2006/relationships";
}

bool Relationships::load(const QByteArray& data, const QString& part, WorkbookError* error)
{
    if (!Xml::load(m_doc, data, part, error))
        return false;
    if (!Xml::is(m_doc.document_element(), "Relationships"))
        return fail(error, WorkbookError::Code::Corrupt, part + u": <Relationships> expected"_s);
    m_modified = false;
    return true;
}

void Relationships::createEmpty()
{
    m_doc.reset();
    pugi::xml_node decl = m_doc.append_child(pugi::node_declaration);
    decl.append_attribute("version").set_value("1.0");
    decl.append_attribute("encoding").set_value("UTF-8");
    decl.append_attribute("standalone").set_value("yes");
    pugi::xml_node root = m_doc.append_child("Relationships");
    root.append_attribute("xmlns").set_value(relsNamespace);
    m_modified = true;
}

QByteArray Relationships::save() const
{
    return Xml::save(m_doc);
}

bool Relationships::isKind(const QString& type, const QString& kind)
{
    return type.endsWith(u'/' + kind);
}

QList<Relationships::Relationship> Relationships::all() const
{
    QList<Relationship> out;
    for (pugi::xml_node n : Xml::children(m_doc.document_element(), "Relationship")) {
        Relationship r;
        r.id = Xml::attr(n, "Id");
        r.type = Xml::attr(n, "Type");
        r.target = Xml::attr(n, "Target");
        r.external = Xml::attr(n, "TargetMode").compare(u"External"_s, Qt::CaseInsensitive) == 0;
        out << r;
    }
    return out;
}

Relationships::Relationship Relationships::byId(const QString& id) const
{
    for (const Relationship& r : all()) {
        if (r.id == id)
            return r;
    }
    return {};
}

QList<Relationships::Relationship> Relationships::byKind(const QString& kind) const
{
    QList<Relationship> out;
    for (const Relationship& r : all()) {
        if (isKind(r.type, kind))
            out << r;
    }
    return out;
}

QString Relationships::add(const QString& type, const QString& target, bool external)
{
    int next = 1;
    for (const Relationship& r : all()) {
        if (r.id.startsWith(u"rId"_s)) {
            bool ok = false;
            const int n = r.id.mid(3).toInt(&ok);
            if (ok)
                next = std::max(next, n + 1);
        }
    }
    const QString id = u"rId"_s + QString::number(next);
    addWithId(id, type, target, external);
    return id;
}

void Relationships::addWithId(const QString& id, const QString& type, const QString& target, bool external)
{
    pugi::xml_node n = Xml::append(m_doc.document_element(), "Relationship");
    Xml::setAttr(n, "Id", id);
    Xml::setAttr(n, "Type", type);
    Xml::setAttr(n, "Target", target);
    if (external)
        Xml::setAttr(n, "TargetMode", u"External"_s);
    m_modified = true;
}

void Relationships::remove(const QString& id)
{
    for (pugi::xml_node n : Xml::children(m_doc.document_element(), "Relationship")) {
        if (Xml::attr(n, "Id") == id) {
            m_doc.document_element().remove_child(n);
            m_modified = true;
        }
    }
}

void Relationships::setTarget(const QString& id, const QString& target)
{
    for (pugi::xml_node n : Xml::children(m_doc.document_element(), "Relationship")) {
        if (Xml::attr(n, "Id") == id) {
            Xml::setAttr(n, "Target", target);
            m_modified = true;
        }
    }
}

bool Relationships::isEmpty() const
{
    return Xml::children(m_doc.document_element(), "Relationship").empty();
}

namespace PartName {

QString folder(const QString& part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash);
}

QString fileName(const QString& part)
{
    return part.mid(part.lastIndexOf(u'/') + 1);
}

QString extension(const QString& part)
{
    const QString name = fileName(part);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1).toLower();
}

QString resolve(const QString& source, const QString& target)
{
    QString t = target;
    const qsizetype hash = t.indexOf(u'#');
    if (hash >= 0)
        t.truncate(hash);
    t = QString::fromUtf8(QByteArray::fromPercentEncoding(t.toUtf8()));
    QStringList segments;
    if (!t.startsWith(u'/')) {
        const QString base = folder(source);
        if (!base.isEmpty())
            segments = base.split(u'/');
    }
    for (const QString& s : t.split(u'/', Qt::SkipEmptyParts)) {
        if (s == u"."_s)
            continue;
        if (s == u".."_s) {
            if (segments.isEmpty())
                return {};
            segments.removeLast();
            continue;
        }
        segments << s;
    }
    return segments.join(u'/');
}

QString relativeTarget(const QString& source, const QString& part)
{
    const QStringList from = folder(source).split(u'/', Qt::SkipEmptyParts);
    const QStringList to = part.split(u'/', Qt::SkipEmptyParts);
    int common = 0;
    while (common < from.size() && common < to.size() - 1 &&
           from[common].compare(to[common], Qt::CaseInsensitive) == 0)
        ++common;
    QStringList out;
    for (int i = common; i < from.size(); ++i)
        out << u".."_s;
    for (int i = common; i < to.size(); ++i)
        out << to[i];
    return out.join(u'/');
}

QString relsPart(const QString& part)
{
    if (part.isEmpty())
        return u"_rels/.rels"_s;
    const QString dir = folder(part);
    return (dir.isEmpty() ? QString() : dir + u'/') + u"_rels/"_s + fileName(part) + u".rels"_s;
}

} // namespace PartName

} // namespace Xl
