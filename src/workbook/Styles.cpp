#include "Styles.h"

#include "Xml.h"

#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

namespace {

const char* const defaultStyles =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<fonts count=\"1\"><font><sz val=\"11\"/><color theme=\"1\"/><name val=\"等线\"/><family val=\"2\"/>"
    "<charset val=\"134\"/><scheme val=\"minor\"/></font></fonts>"
    "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
    "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
    "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
    "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/></cellXfs>"
    "<cellStyles count=\"1\"><cellStyle name=\"常规\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
    "<dxfs count=\"0\"/><tableStyles count=\"0\" defaultTableStyle=\"TableStyleMedium2\" "
    "defaultPivotStyle=\"PivotStyleLight16\"/></styleSheet>";

// Renames elements of the main namespace from one prefix to another.
void renamePrefix(pugi::xml_node node, const std::string& from, const std::string& to)
{
    if (node.type() != pugi::node_element || from == to)
        return;
    if (Xml::prefixOf(node) == from) {
        const std::string name = to + Xml::localName(node.name());
        node.set_name(name.c_str());
    }
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
        renamePrefix(c, from, to);
}

void setCount(pugi::xml_node parent, size_t n)
{
    if (!parent)
        return;
    pugi::xml_attribute a = parent.attribute("count");
    if (!a)
        a = parent.append_attribute("count");
    a.set_value(static_cast<unsigned long long>(n));
}

} // namespace

Styles::Styles() = default;

void Styles::createDefault()
{
    load(QByteArray(defaultStyles), u"xl/styles.xml"_s, nullptr);
    m_modified = true;
}

void Styles::collect(Collection& c, const char* parent, const char* item)
{
    c.parent = Xml::child(m_doc.document_element(), parent);
    c.items.clear();
    c.index.clear();
    c.indexed = false;
    if (c.parent)
        c.items = Xml::children(c.parent, item);
}

void Styles::reindex()
{
    collect(m_fonts, "fonts", "font");
    collect(m_fills, "fills", "fill");
    collect(m_borders, "borders", "border");
    collect(m_cellXfs, "cellXfs", "xf");
    collect(m_cellStyleXfs, "cellStyleXfs", "xf");
    collect(m_dxfs, "dxfs", "dxf");
    m_numFmts.clear();
    if (pugi::xml_node nf = Xml::child(m_doc.document_element(), "numFmts")) {
        for (pugi::xml_node n : Xml::children(nf, "numFmt"))
            m_numFmts.insert(Xml::intAttr(n, "numFmtId", -1), Xml::attr(n, "formatCode"));
    }
    m_dateXf.clear();
    m_codeXf.clear();
}

bool Styles::load(const QByteArray& data, const QString& part, WorkbookError* error)
{
    if (!Xml::load(m_doc, data, part, error))
        return false;
    if (!Xml::is(m_doc.document_element(), "styleSheet"))
        return fail(error, WorkbookError::Code::Corrupt, part + u": <styleSheet> expected"_s);
    reindex();
    m_modified = false;
    return true;
}

QByteArray Styles::save() const
{
    return Xml::save(m_doc);
}

pugi::xml_node Styles::xfNode(int xf) const
{
    if (xf < 0 || xf >= int(m_cellXfs.items.size()))
        return m_cellXfs.items.empty() ? pugi::xml_node() : m_cellXfs.items.front();
    return m_cellXfs.items[size_t(xf)];
}

int Styles::numFmtId(int xf) const
{
    return Xml::intAttr(xfNode(xf), "numFmtId", 0);
}

QString Styles::builtinFormatCode(int id)
{
    switch (id) {
    case 0:
        return u"General"_s;
    case 1:
        return u"0"_s;
    case 2:
        return u"0.00"_s;
    case 3:
        return u"#,##0"_s;
    case 4:
        return u"#,##0.00"_s;
    case 9:
        return u"0%"_s;
    case 10:
        return u"0.00%"_s;
    case 11:
        return u"0.00E+00"_s;
    case 12:
        return u"# ?/?"_s;
    case 13:
        return u"# ?\?/?\?"_s;
    case 14:
        return u"yyyy/m/d"_s;
    case 15:
        return u"d-mmm-yy"_s;
    case 16:
        return u"d-mmm"_s;
    case 17:
        return u"mmm-yy"_s;
    case 18:
        return u"h:mm AM/PM"_s;
    case 19:
        return u"h:mm:ss AM/PM"_s;
    case 20:
        return u"h:mm"_s;
    case 21:
        return u"h:mm:ss"_s;
    case 22:
        return u"yyyy/m/d h:mm"_s;
    case 27:
    case 36:
    case 50:
    case 52:
    case 57:
        return u"yyyy\"年\"m\"月\""_s;
    case 28:
    case 29:
    case 51:
    case 53:
    case 54:
    case 58:
        return u"m\"月\"d\"日\""_s;
    case 30:
        return u"m-d-yy"_s;
    case 31:
        return u"yyyy\"年\"m\"月\"d\"日\""_s;
    case 32:
        return u"h\"时\"mm\"分\""_s;
    case 33:
        return u"h\"时\"mm\"分\"ss\"秒\""_s;
    case 34:
    case 55:
        return u"上午/下午h\"时\"mm\"分\""_s;
    case 35:
    case 56:
        return u"上午/下午h\"时\"mm\"分\"ss\"秒\""_s;
    case 37:
        return u"#,##0 ;(#,##0)"_s;
    case 38:
        return u"#,##0 ;[Red](#,##0)"_s;
    case 39:
        return u"#,##0.00;(#,##0.00)"_s;
    case 40:
        return u"#,##0.00;[Red](#,##0.00)"_s;
    case 45:
        return u"mm:ss"_s;
    case 46:
        return u"[h]:mm:ss"_s;
    case 47:
        return u"mmss.0"_s;
    case 48:
        return u"##0.0E+0"_s;
    case 49:
        return u"@"_s;
    default:
        return {};
    }
}

bool Styles::isBuiltinDateFormat(int id)
{
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

QString Styles::formatCode(int id) const
{
    const auto it = m_numFmts.constFind(id);
    if (it != m_numFmts.constEnd())
        return *it;
    return builtinFormatCode(id);
}

namespace {

// Walks the first section of a number format code, past quoted text, escapes,
// fills and bracketed colours or conditions, and hands every other character
// to `letter` (with the code and its position) until it returns true. An
// elapsed-time bracket ("[h]", "[mm]") is reported through `elapsed`.
template <class Letter> bool scanFormatCode(const QString& code, bool* elapsed, Letter letter)
{
    bool inQuote = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (inQuote) {
            if (c == u'"')
                inQuote = false;
            continue;
        }
        switch (c.unicode()) {
        case '"':
            inQuote = true;
            continue;
        case '\\':
        case '_':
        case '*':
            ++i;
            continue;
        case ';':
            return false;
        case '[': {
            const qsizetype close = code.indexOf(u']', i);
            if (close < 0)
                return false;
            const QString inner = code.mid(i + 1, close - i - 1).toLower();
            if (!inner.isEmpty() && (inner.count(u'h') == inner.size() || inner.count(u'm') == inner.size() ||
                                     inner.count(u's') == inner.size())) {
                *elapsed = true;
                return true;
            }
            i = close;
            continue;
        }
        default:
            break;
        }
        // "E+" and "E-" are an exponent ("0.0E+00"), not a year.
        if (c.toLower() == u'e' && i + 1 < code.size() && (code[i + 1] == u'+' || code[i + 1] == u'-')) {
            ++i;
            continue;
        }
        if (c.toLower() == u'g' && code.mid(i, 7).compare(u"General"_s, Qt::CaseInsensitive) == 0) {
            i += 6;
            continue;
        }
        if (letter(code, i))
            return true;
    }
    return false;
}

} // namespace

bool Styles::isDateFormatCode(const QString& code)
{
    bool elapsed = false;
    return scanFormatCode(code, &elapsed, [](const QString& text, qsizetype i) {
        const QChar c = text[i];
        const QChar l = c.toLower();
        return l == u'd' || l == u'm' || l == u'y' || l == u'h' || l == u's' || l == u'e' || l == u'g' ||
               c == u'年' || c == u'月' || c == u'日' || c == u'时' || c == u'秒';
    });
}

bool Styles::isCalendarFormatCode(const QString& code)
{
    bool elapsed = false;
    const bool found = scanFormatCode(code, &elapsed, [](const QString& text, qsizetype i) {
        const QChar c = text[i];
        const QChar l = c.toLower();
        // A month name ("mmm") is a calendar part; "m" alone may be minutes.
        return l == u'd' || l == u'y' || l == u'e' || c == u'年' || c == u'月' || c == u'日' ||
               (l == u'm' && text.mid(i, 3).compare(u"mmm"_s, Qt::CaseInsensitive) == 0);
    });
    return found && !elapsed;
}

bool Styles::isCalendarStyle(int xf) const
{
    return isDateStyle(xf) && isCalendarFormatCode(numberFormatOf(xf));
}

QString Styles::numberFormatOf(int xf) const
{
    const auto it = m_codeXf.constFind(xf);
    if (it != m_codeXf.constEnd())
        return *it;
    const QString code = formatCode(numFmtId(xf));
    m_codeXf.insert(xf, code);
    return code;
}

bool Styles::isDateStyle(int xf) const
{
    const auto it = m_dateXf.constFind(xf);
    if (it != m_dateXf.constEnd())
        return *it;
    const int id = numFmtId(xf);
    bool date;
    if (m_numFmts.contains(id))
        date = isDateFormatCode(m_numFmts.value(id));
    else
        date = isBuiltinDateFormat(id);
    m_dateXf.insert(xf, date);
    return date;
}

pugi::xml_node Styles::fontOf(int xf) const
{
    const int id = Xml::intAttr(xfNode(xf), "fontId", 0);
    if (id < 0 || id >= int(m_fonts.items.size()))
        return {};
    return m_fonts.items[size_t(id)];
}

double Styles::fontSize(int xf) const
{
    const pugi::xml_node font = fontOf(xf);
    const pugi::xml_node sz = Xml::child(font, "sz");
    const double v = sz ? sz.attribute("val").as_double(11) : 11;
    return v > 0 ? v : 11;
}

bool Styles::isBold(int xf) const
{
    const pugi::xml_node b = Xml::child(fontOf(xf), "b");
    return b && b.attribute("val").as_bool(true);
}

pugi::xml_node Styles::scratch(const pugi::xml_node& copyOf)
{
    m_scratch.reset();
    return m_scratch.append_copy(copyOf);
}

void Styles::dropScratch()
{
    m_scratch.reset();
}

int Styles::intern(Collection& c, const char* parentName, const char* itemName, pugi::xml_node node)
{
    (void)itemName;
    if (!c.indexed) {
        c.index.clear();
        for (size_t i = 0; i < c.items.size(); ++i) {
            const QByteArray k = Xml::save(c.items[i]);
            if (!c.index.contains(k))
                c.index.insert(k, int(i));
        }
        c.indexed = true;
    }
    const QByteArray key = Xml::save(node);
    const auto it = c.index.constFind(key);
    if (it != c.index.constEnd())
        return *it;
    if (!c.parent)
        c.parent = Xml::insertOrdered(m_doc.document_element(), parentName, Xml::stylesOrder());
    pugi::xml_node added = c.parent.append_copy(node);
    // The copy carries the source's prefix; give it the target's.
    renamePrefix(added, Xml::prefixOf(node), Xml::prefixOf(c.parent));
    c.items.push_back(added);
    const int index = int(c.items.size() - 1);
    c.index.insert(key, index);
    setCount(c.parent, c.items.size());
    m_modified = true;
    return index;
}

int Styles::importPart(Collection& target, const char* parentName, const char* itemName,
                       const Collection& source, int index, QHash<int, int>& cache)
{
    const auto it = cache.constFind(index);
    if (it != cache.constEnd())
        return *it;
    if (index < 0 || index >= int(source.items.size()))
        return 0;
    pugi::xml_node copy = scratch(source.items[size_t(index)]);
    const int result = intern(target, parentName, itemName, copy);
    dropScratch();
    cache.insert(index, result);
    return result;
}

int Styles::importNumFmt(const Styles& from, int id, StyleImport& map)
{
    if (!from.m_numFmts.contains(id))
        return id; // built-in
    const auto cached = map.numFmts.constFind(id);
    if (cached != map.numFmts.constEnd())
        return *cached;
    const QString code = from.m_numFmts.value(id);
    for (auto it = m_numFmts.constBegin(); it != m_numFmts.constEnd(); ++it) {
        if (it.value() == code) {
            map.numFmts.insert(id, it.key());
            return it.key();
        }
    }
    int next = 164;
    for (auto it = m_numFmts.constBegin(); it != m_numFmts.constEnd(); ++it)
        next = std::max(next, it.key() + 1);
    pugi::xml_node parent = Xml::ensureOrdered(m_doc.document_element(), "numFmts", Xml::stylesOrder());
    pugi::xml_node nf = Xml::append(parent, "numFmt");
    Xml::setAttr(nf, "numFmtId", next);
    Xml::setAttr(nf, "formatCode", code);
    setCount(parent, Xml::children(parent, "numFmt").size());
    m_numFmts.insert(next, code);
    m_modified = true;
    map.numFmts.insert(id, next);
    return next;
}

int Styles::importStyleXf(const Styles& from, int id, StyleImport& map)
{
    const auto cached = map.cellStyleXfs.constFind(id);
    if (cached != map.cellStyleXfs.constEnd())
        return *cached;
    if (id < 0 || id >= int(from.m_cellStyleXfs.items.size()))
        return 0;
    // The named style wins when this workbook has one of the same name.
    QString styleName;
    pugi::xml_node sourceStyle;
    if (pugi::xml_node cs = Xml::child(from.m_doc.document_element(), "cellStyles")) {
        for (pugi::xml_node s : Xml::children(cs, "cellStyle")) {
            if (Xml::intAttr(s, "xfId", -1) == id) {
                styleName = Xml::attr(s, "name");
                sourceStyle = s;
                break;
            }
        }
    }
    pugi::xml_node ownStyles = Xml::child(m_doc.document_element(), "cellStyles");
    // Built-in styles ("Normal", "Hyperlink") are the same style whatever their
    // name in the workbook's language.
    const pugi::xml_attribute builtin = sourceStyle.attribute("builtinId");
    const bool isBuiltin = builtin && !sourceStyle.attribute("customBuiltin").as_bool(false);
    if (!styleName.isEmpty() && ownStyles) {
        for (pugi::xml_node s : Xml::children(ownStyles, "cellStyle")) {
            const bool sameBuiltin = isBuiltin && s.attribute("builtinId") &&
                                     s.attribute("builtinId").as_int() == builtin.as_int() &&
                                     Xml::intAttr(s, "iLevel", 0) == Xml::intAttr(sourceStyle, "iLevel", 0);
            if (sameBuiltin || Xml::attr(s, "name") == styleName) {
                const int own = Xml::intAttr(s, "xfId", 0);
                map.cellStyleXfs.insert(id, own);
                return own;
            }
        }
    }
    pugi::xml_node source = from.m_cellStyleXfs.items[size_t(id)];
    pugi::xml_node copy = remapParts(from, source, map);
    const int result = intern(m_cellStyleXfs, "cellStyleXfs", "xf", copy);
    dropScratch();
    if (!styleName.isEmpty()) {
        if (!ownStyles)
            ownStyles = Xml::insertOrdered(m_doc.document_element(), "cellStyles", Xml::stylesOrder());
        pugi::xml_node added = Xml::append(ownStyles, "cellStyle");
        for (pugi::xml_attribute a : sourceStyle.attributes())
            added.append_attribute(a.name()).set_value(a.value());
        Xml::setAttr(added, "xfId", result);
        setCount(ownStyles, Xml::children(ownStyles, "cellStyle").size());
        m_modified = true;
    }
    map.cellStyleXfs.insert(id, result);
    return result;
}

// A scratch copy of the format record `source` of `from`, its font, fill,
// border and number format imported into this workbook and renumbered.
pugi::xml_node Styles::remapParts(const Styles& from, const pugi::xml_node& source, StyleImport& map)
{
    const int font =
        importPart(m_fonts, "fonts", "font", from.m_fonts, Xml::intAttr(source, "fontId", 0), map.fonts);
    const int fill =
        importPart(m_fills, "fills", "fill", from.m_fills, Xml::intAttr(source, "fillId", 0), map.fills);
    const int border = importPart(m_borders, "borders", "border", from.m_borders,
                                  Xml::intAttr(source, "borderId", 0), map.borders);
    const int numFmt = importNumFmt(from, Xml::intAttr(source, "numFmtId", 0), map);
    pugi::xml_node copy = scratch(source);
    Xml::setAttr(copy, "fontId", font);
    Xml::setAttr(copy, "fillId", fill);
    Xml::setAttr(copy, "borderId", border);
    Xml::setAttr(copy, "numFmtId", numFmt);
    return copy;
}

int Styles::importXf(const Styles& from, int xf, StyleImport& map)
{
    const auto cached = map.xfs.constFind(xf);
    if (cached != map.xfs.constEnd())
        return *cached;
    if (xf < 0 || xf >= int(from.m_cellXfs.items.size())) {
        map.xfs.insert(xf, 0);
        return 0;
    }
    pugi::xml_node source = from.m_cellXfs.items[size_t(xf)];
    const int styleXf = importStyleXf(from, Xml::intAttr(source, "xfId", 0), map);
    pugi::xml_node copy = remapParts(from, source, map);
    if (source.attribute("xfId") || styleXf != 0)
        Xml::setAttr(copy, "xfId", styleXf);
    const int result = intern(m_cellXfs, "cellXfs", "xf", copy);
    dropScratch();
    m_dateXf.remove(result);
    m_codeXf.remove(result);
    map.xfs.insert(xf, result);
    return result;
}

int Styles::importDxf(const Styles& from, int dxf, StyleImport& map)
{
    return importPart(m_dxfs, "dxfs", "dxf", from.m_dxfs, dxf, map.dxfs);
}

namespace {

const char* const borderOrder[] = {"left", "right", "top", "bottom", "diagonal"};
const char* const borderAliases[] = {"start", "end", nullptr, nullptr, nullptr};

bool isSide(const pugi::xml_node& n, int side)
{
    return Xml::is(n, borderOrder[side]) || (borderAliases[side] && Xml::is(n, borderAliases[side]));
}

// The child element of a border for one side, created in schema order.
pugi::xml_node sideElement(pugi::xml_node border, int side)
{
    for (pugi::xml_node n = border.first_child(); n; n = n.next_sibling()) {
        if (isSide(n, side))
            return n;
    }
    pugi::xml_node before;
    for (pugi::xml_node n = border.first_child(); n && !before; n = n.next_sibling()) {
        for (int k = side + 1; k < 5; ++k) {
            if (isSide(n, k)) {
                before = n;
                break;
            }
        }
    }
    const std::string name = Xml::prefixOf(border) + borderOrder[side];
    return before ? border.insert_child_before(name.c_str(), before) : border.append_child(name.c_str());
}

void setLine(pugi::xml_node target, const BorderLine& line)
{
    while (target.first_child())
        target.remove_child(target.first_child());
    target.remove_attribute("style");
    if (line.style.isEmpty())
        return;
    Xml::setAttr(target, "style", line.style);
    if (line.colour.isEmpty())
        return;
    pugi::xml_node colour = target.append_child((Xml::prefixOf(target) + "color").c_str());
    if (line.colour == u"auto"_s)
        colour.append_attribute("auto").set_value("1");
    else if (line.colour.startsWith(u"indexed:"_s))
        colour.append_attribute("indexed").set_value(line.colour.mid(8).toUtf8().constData());
    else if (line.colour.startsWith(u"rgb:"_s))
        colour.append_attribute("rgb").set_value(line.colour.mid(4).toUtf8().constData());
}

} // namespace

CellFormat Styles::describe(int xf) const
{
    CellFormat f;
    const pugi::xml_node x = xfNode(xf);
    f.numberFormat = formatCode(numFmtId(xf));
    const pugi::xml_node font = fontOf(xf);
    f.fontName = Xml::attr(Xml::child(font, "name"), "val");
    f.fontSize = fontSize(xf);
    f.bold = isBold(xf);
    const pugi::xml_node i = Xml::child(font, "i");
    f.italic = i && i.attribute("val").as_bool(true);
    const int fillId = Xml::intAttr(x, "fillId", 0);
    if (fillId >= 0 && fillId < int(m_fills.items.size())) {
        const pugi::xml_node pattern = Xml::child(m_fills.items[size_t(fillId)], "patternFill");
        if (Xml::attr(pattern, "patternType") == u"solid"_s)
            f.fillColour = Xml::attr(Xml::child(pattern, "fgColor"), "rgb");
    }
    const int borderId = Xml::intAttr(x, "borderId", 0);
    if (borderId >= 0 && borderId < int(m_borders.items.size())) {
        const pugi::xml_node b = m_borders.items[size_t(borderId)];
        auto side = [&](int k) {
            for (pugi::xml_node n = b.first_child(); n; n = n.next_sibling()) {
                if (isSide(n, k))
                    return n;
            }
            return pugi::xml_node();
        };
        f.left = Xml::attr(side(0), "style");
        f.right = Xml::attr(side(1), "style");
        f.top = Xml::attr(side(2), "style");
        f.bottom = Xml::attr(side(3), "style");
        f.diagonal = Xml::attr(side(4), "style");
        const pugi::xml_node colour = Xml::child(side(0), "color");
        if (colour.attribute("auto").as_bool(false))
            f.borderColour = u"auto"_s;
        else if (colour.attribute("indexed"))
            f.borderColour = u"indexed:"_s + Xml::attr(colour, "indexed");
        else if (colour.attribute("rgb"))
            f.borderColour = u"rgb:"_s + Xml::attr(colour, "rgb");
        f.diagonalUp = b.attribute("diagonalUp").as_bool(false);
        f.diagonalDown = b.attribute("diagonalDown").as_bool(false);
    }
    const pugi::xml_node alignment = Xml::child(x, "alignment");
    f.horizontal = Xml::attr(alignment, "horizontal");
    f.vertical = Xml::attr(alignment, "vertical");
    return f;
}

int Styles::withBorder(int xf, BorderSide side, const BorderLine& line)
{
    pugi::xml_node xfn = xfNode(xf);
    if (!xfn || side == BorderSide::Diagonal)
        return xf;
    const int borderId = Xml::intAttr(xfn, "borderId", 0);
    pugi::xml_node border;
    if (borderId >= 0 && borderId < int(m_borders.items.size())) {
        border = scratch(m_borders.items[size_t(borderId)]);
    } else {
        m_scratch.reset();
        border = m_scratch.append_child("border");
    }
    setLine(sideElement(border, int(side)), line);
    return withBorderNode(xfn, border);
}

int Styles::withDiagonal(int xf, bool down, const BorderLine& line)
{
    pugi::xml_node xfn = xfNode(xf);
    if (!xfn)
        return xf;
    const int borderId = Xml::intAttr(xfn, "borderId", 0);
    pugi::xml_node border;
    if (borderId >= 0 && borderId < int(m_borders.items.size())) {
        border = scratch(m_borders.items[size_t(borderId)]);
    } else {
        m_scratch.reset();
        border = m_scratch.append_child("border");
    }
    const char* flag = down ? "diagonalDown" : "diagonalUp";
    const char* other = down ? "diagonalUp" : "diagonalDown";
    border.remove_attribute(flag);
    pugi::xml_node diagonal = sideElement(border, int(BorderSide::Diagonal));
    if (!line.style.isEmpty()) {
        border.append_attribute(flag).set_value("1");
        setLine(diagonal, line);
    } else if (!border.attribute(other).as_bool(false)) {
        setLine(diagonal, line);
    }
    return withBorderNode(xfn, border);
}

int Styles::withBorderNode(pugi::xml_node xfn, pugi::xml_node border)
{
    const int newBorder = intern(m_borders, "borders", "border", border);
    dropScratch();
    pugi::xml_node copy = scratch(xfn);
    Xml::setAttr(copy, "borderId", newBorder);
    Xml::setAttr(copy, "applyBorder", u"1"_s);
    const int result = intern(m_cellXfs, "cellXfs", "xf", copy);
    dropScratch();
    return result;
}

int Styles::withAlignment(int xf, const QString& horizontal, const QString& vertical)
{
    pugi::xml_node xfn = xfNode(xf);
    if (!xfn)
        return xf;
    pugi::xml_node copy = scratch(xfn);
    pugi::xml_node alignment = Xml::child(copy, "alignment");
    if (!alignment) {
        const std::string name = Xml::prefixOf(copy) + "alignment";
        alignment = copy.first_child() ? copy.insert_child_before(name.c_str(), copy.first_child())
                                       : copy.append_child(name.c_str());
    }
    if (!horizontal.isEmpty())
        Xml::setAttr(alignment, "horizontal", horizontal);
    if (!vertical.isEmpty())
        Xml::setAttr(alignment, "vertical", vertical);
    Xml::setAttr(copy, "applyAlignment", u"1"_s);
    const int result = intern(m_cellXfs, "cellXfs", "xf", copy);
    dropScratch();
    return result;
}

} // namespace Xl
