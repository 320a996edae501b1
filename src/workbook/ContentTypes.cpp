#include "ContentTypes.h"

#include "Relationships.h"
#include "Xml.h"

using namespace Qt::Literals::StringLiterals;

namespace Xl {

bool ContentTypes::load(const QByteArray& data, WorkbookError* error)
{
    if (!Xml::load(m_doc, data, u"[Content_Types].xml"_s, error))
        return false;
    if (!Xml::is(m_doc.document_element(), "Types"))
        return fail(error, WorkbookError::Code::Corrupt, u"[Content_Types].xml: <Types> expected"_s);
    m_modified = false;
    return true;
}

void ContentTypes::createDefault()
{
    m_doc.reset();
    pugi::xml_node decl = m_doc.append_child(pugi::node_declaration);
    decl.append_attribute("version").set_value("1.0");
    decl.append_attribute("encoding").set_value("UTF-8");
    decl.append_attribute("standalone").set_value("yes");
    pugi::xml_node root = m_doc.append_child("Types");
    root.append_attribute("xmlns").set_value("http://schemas.openxmlformats.org/package/2006/content-types");
    setDefault(u"rels"_s, u"application/vnd.openxmlformats-package.relationships+xml"_s);
    setDefault(u"xml"_s, u"application/xml"_s);
    m_modified = true;
}

QByteArray ContentTypes::save() const
{
    return Xml::save(m_doc);
}

QString ContentTypes::typeOf(const QString& part) const
{
    const QString name = u'/' + part;
    for (pugi::xml_node n : Xml::children(m_doc.document_element(), "Override")) {
        if (Xml::attr(n, "PartName").compare(name, Qt::CaseInsensitive) == 0)
            return Xml::attr(n, "ContentType");
    }
    return defaultType(PartName::extension(part));
}

bool ContentTypes::hasDefault(const QString& extension) const
{
    return !defaultType(extension).isEmpty();
}

QString ContentTypes::defaultType(const QString& extension) const
{
    for (pugi::xml_node n : Xml::children(m_doc.document_element(), "Default")) {
        if (Xml::attr(n, "Extension").compare(extension, Qt::CaseInsensitive) == 0)
            return Xml::attr(n, "ContentType");
    }
    return {};
}

void ContentTypes::setDefault(const QString& extension, const QString& type)
{
    for (pugi::xml_node n : Xml::children(m_doc.document_element(), "Default")) {
        if (Xml::attr(n, "Extension").compare(extension, Qt::CaseInsensitive) == 0) {
            Xml::setAttr(n, "ContentType", type);
            m_modified = true;
            return;
        }
    }
    // Defaults come before overrides.
    pugi::xml_node root = m_doc.document_element();
    pugi::xml_node firstOverride = Xml::child(root, "Override");
    const std::string name = Xml::prefixOf(root) + "Default";
    pugi::xml_node n = firstOverride ? root.insert_child_before(name.c_str(), firstOverride)
                                     : root.append_child(name.c_str());
    Xml::setAttr(n, "Extension", extension);
    Xml::setAttr(n, "ContentType", type);
    m_modified = true;
}

void ContentTypes::setOverride(const QString& part, const QString& type)
{
    removeOverride(part);
    pugi::xml_node n = Xml::append(m_doc.document_element(), "Override");
    Xml::setAttr(n, "PartName", u'/' + part);
    Xml::setAttr(n, "ContentType", type);
    m_modified = true;
}

void ContentTypes::removeOverride(const QString& part)
{
    const QString name = u'/' + part;
    for (pugi::xml_node n : Xml::children(m_doc.document_element(), "Override")) {
        if (Xml::attr(n, "PartName").compare(name, Qt::CaseInsensitive) == 0) {
            m_doc.document_element().remove_child(n);
            m_modified = true;
        }
    }
}

} // namespace Xl
