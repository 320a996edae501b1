#include "Xml.h"

#include <cstring>
#include <strings.h>

using namespace Qt::Literals::StringLiterals;

namespace Xl::Xml {

namespace {

struct ByteWriter : pugi::xml_writer
{
    QByteArray out;
    void write(const void* data, size_t size) override
    {
        out.append(static_cast<const char*>(data), qsizetype(size));
    }
};

constexpr unsigned parseOptions = pugi::parse_declaration | pugi::parse_doctype | pugi::parse_ws_pcdata |
                                  pugi::parse_cdata | pugi::parse_comments | pugi::parse_pi |
                                  pugi::parse_escapes | pugi::parse_eol | pugi::parse_wconv_attribute;

bool tooDeep(const pugi::xml_node& root)
{
    int depth = 0;
    pugi::xml_node n = root;
    while (n) {
        if (n.first_child()) {
            n = n.first_child();
            if (++depth > 256)
                return true;
            continue;
        }
        while (n != root && !n.next_sibling()) {
            n = n.parent();
            --depth;
        }
        if (n == root)
            break;
        n = n.next_sibling();
    }
    return false;
}

} // namespace

bool load(pugi::xml_document& doc, const QByteArray& data, const QString& part, WorkbookError* error)
{
    const pugi::xml_parse_result result =
        doc.load_buffer(data.constData(), size_t(data.size()), parseOptions);
    if (!result) {
        return fail(
            error, WorkbookError::Code::Corrupt,
            u"%1: %2 at byte %3"_s.arg(part, QString::fromUtf8(result.description())).arg(result.offset));
    }
    for (pugi::xml_node n = doc.first_child(); n; n = n.next_sibling()) {
        if (n.type() == pugi::node_doctype) {
            doc.reset();
            return fail(error, WorkbookError::Code::Unsafe, u"%1: document type declaration"_s.arg(part));
        }
    }
    if (!doc.document_element())
        return fail(error, WorkbookError::Code::Corrupt, u"%1: no root element"_s.arg(part));
    // Code walking these documents may recurse; hostile nesting stops here.
    if (tooDeep(doc.document_element())) {
        doc.reset();
        return fail(error, WorkbookError::Code::Corrupt, u"%1: elements nested too deeply"_s.arg(part));
    }
    // Parts saved as UTF-16 come back as UTF-8, which the declaration must say.
    for (pugi::xml_node n = doc.first_child(); n; n = n.next_sibling()) {
        if (n.type() == pugi::node_declaration && n.attribute("encoding")) {
            const char* enc = n.attribute("encoding").value();
            if (strcasecmp(enc, "UTF-8") != 0)
                n.attribute("encoding").set_value("UTF-8");
        }
    }
    return true;
}

QByteArray save(const pugi::xml_document& doc)
{
    ByteWriter w;
    doc.save(w, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return std::move(w.out);
}

QByteArray save(const pugi::xml_node& node)
{
    ByteWriter w;
    node.print(w, "", pugi::format_raw, pugi::encoding_utf8);
    return std::move(w.out);
}

const char* localName(const char* qualified)
{
    const char* colon = std::strchr(qualified, ':');
    return colon ? colon + 1 : qualified;
}

bool is(const pugi::xml_node& node, const char* local)
{
    return node.type() == pugi::node_element && std::strcmp(localName(node.name()), local) == 0;
}

pugi::xml_node child(const pugi::xml_node& parent, const char* local)
{
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling()) {
        if (is(n, local))
            return n;
    }
    return {};
}

std::vector<pugi::xml_node> children(const pugi::xml_node& parent, const char* local)
{
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling()) {
        if (is(n, local))
            out.push_back(n);
    }
    return out;
}

pugi::xml_node nextSibling(const pugi::xml_node& node, const char* local)
{
    for (pugi::xml_node n = node.next_sibling(); n; n = n.next_sibling()) {
        if (is(n, local))
            return n;
    }
    return {};
}

std::string prefixOf(const pugi::xml_node& node)
{
    const char* name = node.name();
    const char* colon = std::strchr(name, ':');
    return colon ? std::string(name, size_t(colon - name + 1)) : std::string();
}

pugi::xml_node append(pugi::xml_node parent, const char* local)
{
    const std::string name = prefixOf(parent) + local;
    return parent.append_child(name.c_str());
}

static int rankOf(const std::vector<const char*>& order, const char* local)
{
    for (size_t i = 0; i < order.size(); ++i) {
        if (std::strcmp(order[i], local) == 0)
            return int(i);
    }
    return -1;
}

pugi::xml_node insertOrdered(pugi::xml_node parent, const char* local, const std::vector<const char*>& order)
{
    const int rank = rankOf(order, local);
    const std::string name = prefixOf(parent) + local;
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling()) {
        if (n.type() != pugi::node_element)
            continue;
        const int r = rankOf(order, localName(n.name()));
        if (r > rank)
            return parent.insert_child_before(name.c_str(), n);
    }
    return parent.append_child(name.c_str());
}

pugi::xml_node ensureOrdered(pugi::xml_node parent, const char* local, const std::vector<const char*>& order)
{
    if (pugi::xml_node existing = child(parent, local))
        return existing;
    return insertOrdered(parent, local, order);
}

QString attr(const pugi::xml_node& node, const char* name)
{
    return QString::fromUtf8(node.attribute(name).value());
}

int intAttr(const pugi::xml_node& node, const char* name, int fallback)
{
    const pugi::xml_attribute a = node.attribute(name);
    if (!a)
        return fallback;
    bool ok = false;
    const int v = QByteArray(a.value()).trimmed().toInt(&ok);
    return ok ? v : fallback;
}

void setAttr(pugi::xml_node node, const char* name, const QString& value)
{
    pugi::xml_attribute a = node.attribute(name);
    if (!a)
        a = node.append_attribute(name);
    a.set_value(value.toUtf8().constData());
}

void setAttr(pugi::xml_node node, const char* name, qint64 value)
{
    pugi::xml_attribute a = node.attribute(name);
    if (!a)
        a = node.append_attribute(name);
    a.set_value(static_cast<long long>(value));
}

QString text(const pugi::xml_node& node)
{
    return QString::fromUtf8(node.text().get());
}

void setText(pugi::xml_node node, const QString& value)
{
    node.text().set(value.toUtf8().constData());
}

const std::vector<const char*>& worksheetOrder()
{
    static const std::vector<const char*> order = {"sheetPr",
                                                   "dimension",
                                                   "sheetViews",
                                                   "sheetFormatPr",
                                                   "cols",
                                                   "sheetData",
                                                   "sheetCalcPr",
                                                   "sheetProtection",
                                                   "protectedRanges",
                                                   "scenarios",
                                                   "autoFilter",
                                                   "sortState",
                                                   "dataConsolidate",
                                                   "customSheetViews",
                                                   "mergeCells",
                                                   "phoneticPr",
                                                   "conditionalFormatting",
                                                   "dataValidations",
                                                   "hyperlinks",
                                                   "printOptions",
                                                   "pageMargins",
                                                   "pageSetup",
                                                   "headerFooter",
                                                   "rowBreaks",
                                                   "colBreaks",
                                                   "customProperties",
                                                   "cellWatches",
                                                   "ignoredErrors",
                                                   "smartTags",
                                                   "drawing",
                                                   "legacyDrawing",
                                                   "legacyDrawingHF",
                                                   "drawingHF",
                                                   "picture",
                                                   "oleObjects",
                                                   "controls",
                                                   "webPublishItems",
                                                   "tableParts",
                                                   "extLst"};
    return order;
}

const std::vector<const char*>& workbookOrder()
{
    static const std::vector<const char*> order = {"fileVersion",    "fileSharing",
                                                   "workbookPr",     "workbookProtection",
                                                   "bookViews",      "sheets",
                                                   "functionGroups", "externalReferences",
                                                   "definedNames",   "calcPr",
                                                   "oleSize",        "customWorkbookViews",
                                                   "pivotCaches",    "smartTagPr",
                                                   "smartTagTypes",  "webPublishing",
                                                   "fileRecoveryPr", "webPublishObjects",
                                                   "extLst"};
    return order;
}

const std::vector<const char*>& stylesOrder()
{
    static const std::vector<const char*> order = {"numFmts",      "fonts",   "fills",      "borders",
                                                   "cellStyleXfs", "cellXfs", "cellStyles", "dxfs",
                                                   "tableStyles",  "colors",  "extLst"};
    return order;
}

void appendEscaped(QByteArray& out, const char* s, qsizetype size, bool attribute)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char c = s[i];
        const char* rep = nullptr;
        char buf[8];
        switch (c) {
        case '&':
            rep = "&amp;";
            break;
        case '<':
            rep = "&lt;";
            break;
        case '>':
            rep = "&gt;";
            break;
        case '"':
            if (attribute)
                rep = "&quot;";
            break;
        case '\n':
        case '\r':
        case '\t':
            if (attribute) {
                std::snprintf(buf, sizeof buf, "&#%d;", int(c));
                rep = buf;
            } else if (c == '\r') {
                rep = "&#13;";
            }
            break;
        default:
            break;
        }
        if (rep) {
            out.append(s + start, i - start);
            out.append(rep);
            start = i + 1;
        }
    }
    out.append(s + start, size - start);
}

void appendEscaped(QByteArray& out, const QString& text, bool attribute)
{
    const QByteArray utf8 = text.toUtf8();
    appendEscaped(out, utf8.constData(), utf8.size(), attribute);
}

} // namespace Xl::Xml
