#pragma once

// Small helpers shared by the Workbook and Worksheet implementation files.

#include <QByteArray>

#include <pugixml.hpp>

#include <cstring>
#include <string>

namespace Xl::Internal {

// The attribute of a <sheet> element that holds its relationship id ("r:id").
inline pugi::xml_attribute relIdAttribute(const pugi::xml_node& sheet)
{
    for (pugi::xml_attribute a : sheet.attributes()) {
        const char* colon = std::strchr(a.name(), ':');
        if (colon && std::strcmp(colon + 1, "id") == 0)
            return a;
    }
    return {};
}

// The namespace URI of an element's own prefix.
inline QByteArray namespaceOf(const pugi::xml_node& element)
{
    const char* name = element.name();
    const char* colon = std::strchr(name, ':');
    const std::string attr =
        colon ? "xmlns:" + std::string(name, size_t(colon - name)) : std::string("xmlns");
    for (pugi::xml_node n = element; n; n = n.parent()) {
        if (pugi::xml_attribute a = n.attribute(attr.c_str()))
            return QByteArray(a.value());
    }
    return {};
}

// An empty worksheet in namespace `ns`.
inline QByteArray emptySheetXml(const QByteArray& ns, bool selected)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet xmlns=\"" + ns +
           "\" xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
           "<dimension ref=\"A1\"/><sheetViews><sheetView " +
           (selected ? QByteArray("tabSelected=\"1\" ") : QByteArray()) +
           "workbookViewId=\"0\"/></sheetViews><sheetFormatPr defaultRowHeight=\"14.25\"/><sheetData/>"
           "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
           "footer=\"0.3\"/>"
           "</worksheet>";
}

} // namespace Xl::Internal
