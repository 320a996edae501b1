#include "SharedStrings.h"

#include "TextCodec.h"
#include "Xml.h"
#include "XmlScanner.h"

#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

namespace {
// An item costs 8 bytes besides its markup (its text is decoded when asked
// for): at the cap a table of empty items holds about 200 MB.
constexpr size_t maxItems = 16'000'000;
} // namespace

bool readRichText(XmlScanner& sc, QString* text, bool* rich, QString* error)
{
    *rich = false;
    text->clear();
    if (sc.isEmptyElement())
        return true;
    const int depth = sc.depth();
    std::string all;
    std::string piece;
    int skipDepth = 0;
    int tCount = 0;
    while (true) {
        const XmlScanner::Token t = sc.next();
        if (t == XmlScanner::Token::Error || t == XmlScanner::Token::End) {
            *error = sc.errorText();
            return false;
        }
        if (t == XmlScanner::Token::EndTag) {
            if (sc.depth() == depth - 1)
                break;
            if (skipDepth && sc.depth() < skipDepth)
                skipDepth = 0;
            continue;
        }
        if (t != XmlScanner::Token::StartTag || skipDepth)
            continue;
        const std::string_view local = sc.localName();
        if (sc.depth() == depth + 1 && local != "t")
            *rich = true;
        if (local == "rPh" || local == "phoneticPr") {
            *rich = true;
            if (!sc.isEmptyElement())
                skipDepth = sc.depth();
            continue;
        }
        if (local == "t") {
            ++tCount;
            if (!sc.readElementText(piece)) {
                *error = sc.errorText();
                return false;
            }
            all.append(piece);
        }
    }
    if (tCount > 1)
        *rich = true;
    *text = unescapeXstring(QString::fromUtf8(all.data(), qsizetype(all.size())));
    return true;
}

void SharedStrings::createEmpty()
{
    m_data = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
             "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" count=\"0\" "
             "uniqueCount=\"0\">"
             "</sst>";
    load(m_data, u"sharedStrings"_s, nullptr);
}

bool SharedStrings::load(const QByteArray& data, const QString& part, WorkbookError* error)
{
    m_data = data;
    m_ranges.clear();
    m_addedTexts.clear();
    m_rich.clear();
    m_added.clear();
    m_plainIndex.clear();
    m_indexBuilt = false;

    const char* base = m_data.constData();
    if (m_data.size() > qsizetype(std::numeric_limits<quint32>::max()))
        return fail(error, WorkbookError::Code::TooLarge, part + u": above 4 GB"_s);
    XmlScanner sc(base, base + m_data.size());
    QString why;
    auto failed = [&](const QString& text) {
        return fail(error, sc.unsafe() ? WorkbookError::Code::Unsafe : WorkbookError::Code::Corrupt,
                    part + u": "_s + (text.isEmpty() ? sc.errorText() : text));
    };
    XmlScanner::Token t = sc.next();
    while (t == XmlScanner::Token::Text)
        t = sc.next();
    if (t != XmlScanner::Token::StartTag || sc.localName() != "sst")
        return failed(t == XmlScanner::Token::Error ? QString() : u"<sst> expected"_s);
    m_prefix = QByteArray(sc.name().data(), qsizetype(sc.name().size() - sc.localName().size()));
    m_rootTagBegin = sc.tokenBegin() - base;
    m_rootTagEnd = sc.position() - base;
    m_itemsEnd = m_rootTagEnd;
    if (sc.isEmptyElement()) {
        // "<sst/>" becomes "<sst></sst>" so items can be appended inside.
        QByteArray open = data;
        const qsizetype slash = m_rootTagEnd - 2;
        const QByteArray closing = "></" + QByteArray(sc.name().data(), qsizetype(sc.name().size())) + '>';
        open.replace(slash, 2, closing);
        return load(open, part, error);
    }
    while (true) {
        t = sc.next();
        if (t == XmlScanner::Token::Error || t == XmlScanner::Token::End)
            return failed({});
        if (t == XmlScanner::Token::EndTag)
            break;
        if (t != XmlScanner::Token::StartTag)
            continue;
        if (sc.localName() != "si") {
            if (!sc.skipElement())
                return failed({});
            continue;
        }
        if (m_ranges.size() >= maxItems)
            return fail(error, WorkbookError::Code::TooLarge,
                        part + u": more than %1 strings"_s.arg(maxItems));
        const qsizetype from = sc.tokenBegin() - base;
        QString text;
        bool rich = false;
        if (!readRichText(sc, &text, &rich, &why))
            return failed(why);
        const qsizetype to = sc.position() - base;
        m_ranges.emplace_back(quint32(from), quint32(to));
        m_rich.push_back(rich);
        m_itemsEnd = to;
    }
    // Anything after the root must be well-formed too.
    while ((t = sc.next()) != XmlScanner::Token::End) {
        if (t == XmlScanner::Token::Error)
            return failed({});
    }
    return true;
}

QString SharedStrings::text(int index) const
{
    if (index < 0 || index >= count())
        return {};
    if (size_t(index) >= m_ranges.size())
        return m_addedTexts[size_t(index) - m_ranges.size()];
    // Read from the markup, which load() found well-formed.
    const auto& r = m_ranges[size_t(index)];
    XmlScanner sc(m_data.constData() + r.first, m_data.constData() + r.second);
    QString text;
    bool rich = false;
    QString why;
    if (sc.next() != XmlScanner::Token::StartTag || !readRichText(sc, &text, &rich, &why))
        return {};
    return text;
}

bool SharedStrings::isRich(int index) const
{
    return index >= 0 && index < count() && m_rich[size_t(index)];
}

QByteArray SharedStrings::itemMarkup(int index) const
{
    if (index < 0 || index >= count())
        return {};
    const size_t original = m_ranges.size();
    if (size_t(index) < original) {
        const auto& r = m_ranges[size_t(index)];
        return m_data.mid(r.first, r.second - r.first);
    }
    return m_added[size_t(index) - original];
}

void SharedStrings::buildIndex() const
{
    if (m_indexBuilt)
        return;
    m_plainIndex.reserve(count());
    for (int i = 0; i < count(); ++i) {
        if (m_rich[size_t(i)])
            continue;
        const QString t = text(i);
        if (!m_plainIndex.contains(t))
            m_plainIndex.insert(t, i);
    }
    m_indexBuilt = true;
}

int SharedStrings::add(const QString& text)
{
    buildIndex();
    const auto it = m_plainIndex.constFind(text);
    if (it != m_plainIndex.constEnd())
        return *it;
    QByteArray markup = '<' + m_prefix + "si><" + m_prefix + 't';
    if (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace() || text.contains(u'\n')))
        markup.append(" xml:space=\"preserve\"");
    markup.append('>');
    Xml::appendEscaped(markup, escapeXstring(text), false);
    markup.append("</" + m_prefix + "t></" + m_prefix + "si>");
    m_added.push_back(markup);
    m_addedTexts.push_back(text);
    m_rich.push_back(false);
    const int index = count() - 1;
    m_plainIndex.insert(text, index);
    return index;
}

int SharedStrings::addItem(const QByteArray& markup, const QByteArray& markupPrefix, const QString& text,
                           bool rich)
{
    // Rich markup written with another namespace prefix is rare; its text is kept.
    if (!rich || markupPrefix != m_prefix)
        return add(text);
    m_added.push_back(markup);
    m_addedTexts.push_back(text);
    m_rich.push_back(true);
    return count() - 1;
}

QByteArray SharedStrings::save() const
{
    if (!isModified())
        return m_data;
    QByteArray out;
    out.reserve(m_data.size() + qsizetype(m_added.size()) * 32);
    out.append(m_data.constData(), m_rootTagBegin);
    // The root tag with the new item count; the reference count is optional
    // and would be stale, so it goes.
    const std::string_view tag(m_data.constData() + m_rootTagBegin, size_t(m_rootTagEnd - m_rootTagBegin));
    const size_t nameEnd = tag.find_first_of(" \t\r\n>");
    const size_t close = tag.rfind('>');
    out.append(tag.data(), qsizetype(nameEnd));
    const std::string_view attrs = tag.substr(nameEnd, close - nameEnd);
    XmlScanner::forEachAttribute(attrs, [&](std::string_view name, std::string_view value) {
        if (name == "count" || name == "uniqueCount")
            return;
        out.append(' ');
        out.append(name.data(), qsizetype(name.size()));
        out.append("=\"");
        Xml::appendEscaped(out, XmlScanner::decodeToString(value, true), true);
        out.append('"');
    });
    out.append(" uniqueCount=\"" + QByteArray::number(count()) + "\">");
    out.append(m_data.constData() + m_rootTagEnd, m_itemsEnd - m_rootTagEnd);
    for (const QByteArray& m : m_added)
        out.append(m);
    out.append(m_data.constData() + m_itemsEnd, m_data.size() - m_itemsEnd);
    return out;
}

} // namespace Xl
