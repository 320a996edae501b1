#pragma once

#include "WorkbookError.h"

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

#include <initializer_list>
#include <vector>

namespace Xl::Xml {

// Parses a package part into `doc`, keeping whitespace, comments and the
// declaration so that writing it back changes nothing but what was edited.
// Documents with a DOCTYPE (and so entity declarations) are refused (Unsafe);
// pugixml never expands entities beyond the five predefined ones.
bool load(pugi::xml_document& doc, const QByteArray& data, const QString& part, WorkbookError* error);

// The document as UTF-8 bytes.
QByteArray save(const pugi::xml_document& doc);
QByteArray save(const pugi::xml_node& node);

// Element names are matched by local name, so that prefixed documents
// ("x:worksheet") are understood as well.
const char* localName(const char* qualified);
bool is(const pugi::xml_node& node, const char* local);
pugi::xml_node child(const pugi::xml_node& parent, const char* local);
std::vector<pugi::xml_node> children(const pugi::xml_node& parent, const char* local);
pugi::xml_node nextSibling(const pugi::xml_node& node, const char* local);
// The prefix of `node`'s name including the colon ("x:"), or "".
std::string prefixOf(const pugi::xml_node& node);
// Appends a child named like its parent's namespace.
pugi::xml_node append(pugi::xml_node parent, const char* local);
// Inserts a child at its place in a schema's element order (`order` lists the
// local names); an existing child of that name is returned instead.
pugi::xml_node ensureOrdered(pugi::xml_node parent, const char* local, const std::vector<const char*>& order);
pugi::xml_node insertOrdered(pugi::xml_node parent, const char* local, const std::vector<const char*>& order);

QString attr(const pugi::xml_node& node, const char* name);
int intAttr(const pugi::xml_node& node, const char* name, int fallback = 0);
void setAttr(pugi::xml_node node, const char* name, const QString& value);
void setAttr(pugi::xml_node node, const char* name, qint64 value);
QString text(const pugi::xml_node& node);
void setText(pugi::xml_node node, const QString& value);

// Schema orders of the elements the engine inserts.
const std::vector<const char*>& worksheetOrder();
const std::vector<const char*>& workbookOrder();
const std::vector<const char*>& stylesOrder();

// Escapes text for element content or attribute values.
void appendEscaped(QByteArray& out, const QString& text, bool attribute);
void appendEscaped(QByteArray& out, const char* utf8, qsizetype size, bool attribute);

} // namespace Xl::Xml
