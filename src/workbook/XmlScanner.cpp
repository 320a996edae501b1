#include "XmlScanner.h"

#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

bool startsWith(const char* p, const char* end, const char* lit)
{
    const size_t n = std::strlen(lit);
    return size_t(end - p) >= n && std::memcmp(p, lit, n) == 0;
}

const char* findSeq(const char* p, const char* end, const char* lit)
{
    const size_t n = std::strlen(lit);
    while (p < end) {
        const char* q = static_cast<const char*>(std::memchr(p, lit[0], size_t(end - p)));
        if (!q || size_t(end - q) < n)
            return nullptr;
        if (std::memcmp(q, lit, n) == 0)
            return q;
        p = q + 1;
    }
    return nullptr;
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(char(cp));
    } else if (cp < 0x800) {
        out.push_back(char(0xC0 | (cp >> 6)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(char(0xE0 | (cp >> 12)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (cp >> 18)));
        out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    }
}

} // namespace

XmlScanner::XmlScanner(const char* begin, const char* end) : m_begin(begin), m_end(end), m_pos(begin)
{
    // A byte-order mark is not part of the text.
    if (end - begin >= 3 && std::memcmp(begin, "\xEF\xBB\xBF", 3) == 0)
        m_pos += 3;
}

std::string_view XmlScanner::localPart(std::string_view qname)
{
    for (size_t i = 0; i < qname.size(); ++i) {
        if (qname[i] == ':')
            return qname.substr(i + 1);
    }
    return qname;
}

XmlScanner::Token XmlScanner::error(const QString& text, bool unsafe)
{
    m_error = u"%1 at byte %2"_s.arg(text).arg(qint64(m_pos - m_begin));
    m_unsafe = unsafe;
    m_pos = m_end;
    return Token::Error;
}

XmlScanner::Token XmlScanner::next()
{
    if (m_popAfterEmpty) {
        m_popAfterEmpty = false;
        m_stack.pop_back();
    }
    while (true) {
        m_tokenBegin = m_pos;
        if (m_pos >= m_end) {
            if (!m_stack.empty())
                return error(u"unexpected end of XML inside <%1>"_s.arg(QString::fromUtf8(m_stack.back())));
            return Token::End;
        }
        if (*m_pos != '<') {
            // Cell values are short: look a few bytes ahead before calling memchr.
            const char* stop = m_pos;
            const char* shortEnd = std::min(m_end, m_pos + 16);
            while (stop < shortEnd && *stop != '<')
                ++stop;
            if (stop == shortEnd && stop < m_end) {
                const char* lt = static_cast<const char*>(std::memchr(stop, '<', size_t(m_end - stop)));
                stop = lt ? lt : m_end;
            }
            m_text = std::string_view(m_pos, size_t(stop - m_pos));
            m_cdata = false;
            m_pos = stop;
            return Token::Text;
        }
        // Dispatch on the character after '<': most tags are plain start or end tags.
        const char second = m_pos + 1 < m_end ? m_pos[1] : '\0';
        if (second == '!') {
            if (startsWith(m_pos, m_end, "<!--")) {
                const char* close = findSeq(m_pos + 4, m_end, "-->");
                if (!close)
                    return error(u"unterminated comment"_s);
                m_pos = close + 3;
                continue;
            }
            if (startsWith(m_pos, m_end, "<![CDATA[")) {
                const char* close = findSeq(m_pos + 9, m_end, "]]>");
                if (!close)
                    return error(u"unterminated CDATA section"_s);
                m_text = std::string_view(m_pos + 9, size_t(close - (m_pos + 9)));
                m_cdata = true;
                m_pos = close + 3;
                return Token::Text;
            }
            if (startsWith(m_pos, m_end, "<!DOCTYPE") || startsWith(m_pos, m_end, "<!ENTITY"))
                return error(u"document type or entity declaration"_s, true);
            return error(u"unexpected markup declaration"_s);
        }
        if (second == '?') {
            const char* close = findSeq(m_pos + 2, m_end, "?>");
            if (!close)
                return error(u"unterminated processing instruction"_s);
            m_pos = close + 2;
            continue;
        }
        if (second == '/') {
            const char* p = m_pos + 2;
            const char* nameStart = p;
            while (p < m_end && *p != '>' && !isSpace(*p))
                ++p;
            const std::string_view closing(nameStart, size_t(p - nameStart));
            while (p < m_end && isSpace(*p))
                ++p;
            if (p >= m_end || *p != '>')
                return error(u"malformed end tag"_s);
            if (m_stack.empty() || !sameName(m_stack.back(), closing))
                return error(u"end tag </%1> does not match"_s.arg(QString::fromUtf8(closing)));
            m_stack.pop_back();
            m_name = closing;
            m_local = localPart(closing);
            m_pos = p + 1;
            return Token::EndTag;
        }
        // Start tag.
        const char* p = m_pos + 1;
        const char* nameStart = p;
        while (p < m_end && *p != '>' && *p != '/' && !isSpace(*p))
            ++p;
        if (p == nameStart)
            return error(u"malformed tag"_s);
        m_name = std::string_view(nameStart, size_t(p - nameStart));
        m_local = localPart(m_name);
        const char* attrStart = p;
        // Attribute values may hold '>' and '/', so walk quotes.
        while (p < m_end && *p != '>' && !(*p == '/' && p + 1 < m_end && p[1] == '>')) {
            if (*p == '"' || *p == '\'') {
                const char quote = *p;
                const char* q = p + 1;
                while (q < m_end && *q != quote)
                    ++q;
                if (q >= m_end)
                    return error(u"unterminated attribute value"_s);
                p = q + 1;
            } else if (*p == '<') {
                return error(u"'<' inside a tag"_s);
            } else {
                ++p;
            }
        }
        if (p >= m_end)
            return error(u"unterminated tag"_s);
        m_attributes = std::string_view(attrStart, size_t(p - attrStart));
        m_empty = *p == '/';
        m_pos = p + (m_empty ? 2 : 1);
        // Workbook XML nests a few dozen levels at most; deeper input is hostile.
        if (m_stack.size() >= maxDepth)
            return error(u"elements nested too deeply"_s);
        m_stack.push_back(m_name);
        if (m_empty)
            m_popAfterEmpty = true;
        return Token::StartTag;
    }
}

bool XmlScanner::skipElement()
{
    if (m_empty)
        return true;
    const int target = depth() - 1;
    while (true) {
        const Token t = next();
        if (t == Token::Error || t == Token::End)
            return false;
        if (t == Token::EndTag && depth() == target)
            return true;
    }
}

bool XmlScanner::readElementText(std::string& out)
{
    out.clear();
    if (m_empty)
        return true;
    const int target = depth();
    std::string piece;
    while (true) {
        const Token t = next();
        if (t == Token::Error || t == Token::End)
            return false;
        if (t == Token::EndTag && depth() == target - 1)
            return true;
        if (t == Token::Text && depth() == target) {
            if (m_cdata) {
                out.append(m_text);
            } else {
                if (!decode(m_text, piece)) {
                    m_error = u"bad character or entity reference in text"_s;
                    return false;
                }
                out.append(piece);
            }
        }
    }
}

bool XmlScanner::takeSimpleChild(std::string_view child, std::string_view* text)
{
    if (m_empty || m_stack.empty())
        return false;
    const std::string_view element = m_stack.back();
    const std::string_view prefix = element.substr(0, element.size() - localPart(element).size());
    const char* p = m_pos;
    auto take = [&](std::string_view s) {
        if (size_t(m_end - p) < s.size() || std::memcmp(p, s.data(), s.size()) != 0)
            return false;
        p += s.size();
        return true;
    };
    if (!take("<") || !take(prefix) || !take(child) || !take(">"))
        return false;
    const char* textStart = p;
    while (p < m_end && *p != '<') {
        if (*p == '&' || *p == '\r')
            return false;
        ++p;
    }
    const char* textEnd = p;
    if (!take("</") || !take(prefix) || !take(child) || !take(">") || !take("</") || !take(element) ||
        !take(">"))
        return false;
    *text = std::string_view(textStart, size_t(textEnd - textStart));
    m_stack.pop_back();
    m_name = element;
    m_local = localPart(element);
    m_pos = p;
    return true;
}

bool XmlScanner::readElementView(std::string_view& view, std::string& buffer)
{
    view = {};
    buffer.clear();
    if (m_empty)
        return true;
    const int target = depth();
    bool single = true;
    bool any = false;
    std::string piece;
    while (true) {
        const Token t = next();
        if (t == Token::Error || t == Token::End)
            return false;
        if (t == Token::EndTag && depth() == target - 1)
            break;
        if (t != Token::Text || depth() != target)
            continue;
        if (!any && !m_cdata && m_text.find_first_of("&\r") == std::string_view::npos) {
            view = m_text;
            any = true;
            continue;
        }
        if (single && any)
            buffer.assign(view);
        single = false;
        any = true;
        if (m_cdata) {
            buffer.append(m_text);
        } else {
            if (!decode(m_text, piece)) {
                m_error = u"bad character or entity reference in text"_s;
                return false;
            }
            buffer.append(piece);
        }
    }
    if (!single)
        view = buffer;
    return true;
}

bool XmlScanner::decode(std::string_view raw, std::string& out, bool attribute)
{
    out.clear();
    out.reserve(raw.size());
    const size_t n = raw.size();
    for (size_t i = 0; i < n; ++i) {
        const char c = raw[i];
        if (c == '&') {
            const size_t semi = raw.find(';', i + 1);
            if (semi == std::string_view::npos || semi - i > 12)
                return false;
            const std::string_view ent = raw.substr(i + 1, semi - i - 1);
            if (ent == "amp")
                out.push_back('&');
            else if (ent == "lt")
                out.push_back('<');
            else if (ent == "gt")
                out.push_back('>');
            else if (ent == "quot")
                out.push_back('"');
            else if (ent == "apos")
                out.push_back('\'');
            else if (ent.size() >= 2 && ent[0] == '#') {
                char32_t cp = 0;
                const bool hex = ent[1] == 'x';
                const size_t start = hex ? 2 : 1;
                if (start >= ent.size())
                    return false;
                for (size_t k = start; k < ent.size(); ++k) {
                    const char d = ent[k];
                    int v;
                    if (d >= '0' && d <= '9')
                        v = d - '0';
                    else if (hex && d >= 'a' && d <= 'f')
                        v = d - 'a' + 10;
                    else if (hex && d >= 'A' && d <= 'F')
                        v = d - 'A' + 10;
                    else
                        return false;
                    cp = cp * (hex ? 16 : 10) + char32_t(v);
                    if (cp > 0x10FFFF)
                        return false;
                }
                if (cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF))
                    return false;
                appendUtf8(out, cp);
            } else {
                return false; // undefined entities are never expanded
            }
            i = semi;
        } else if (c == '\r') {
            if (i + 1 < n && raw[i + 1] == '\n')
                ++i;
            out.push_back(attribute ? ' ' : '\n');
        } else if (attribute && (c == '\n' || c == '\t')) {
            out.push_back(' ');
        } else {
            out.push_back(c);
        }
    }
    return true;
}

QString XmlScanner::decodeToString(std::string_view raw, bool attribute, bool* ok)
{
    if (raw.find_first_of("&\r") == std::string_view::npos &&
        (!attribute || raw.find_first_of("\n\t") == std::string_view::npos)) {
        if (ok)
            *ok = true;
        return QString::fromUtf8(raw.data(), qsizetype(raw.size()));
    }
    std::string out;
    const bool good = decode(raw, out, attribute);
    if (ok)
        *ok = good;
    return QString::fromUtf8(out.data(), qsizetype(out.size()));
}

} // namespace Xl
