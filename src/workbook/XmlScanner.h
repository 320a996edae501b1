#pragma once

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace Xl {

// A pull scanner over UTF-8 XML text for the large, regular parts (sheet data,
// shared strings), where a DOM would cost too much memory. It checks that tags
// nest, skips comments and processing instructions, and refuses document type
// declarations and entity declarations instead of expanding them.
class XmlScanner
{
public:
    enum class Token
    {
        End,
        StartTag,
        EndTag,
        Text,
        Error
    };
    // Workbook XML nests a few dozen levels; deeper input is refused.
    static constexpr size_t maxDepth = 256;

    XmlScanner(const char* begin, const char* end);

    Token next();

    // Current tag's qualified name, and the part after the prefix.
    std::string_view name() const { return m_name; }
    std::string_view localName() const { return m_local; }
    // True for "<x/>"; no EndTag token follows it.
    bool isEmptyElement() const { return m_empty; }
    // Raw attribute text of the current start tag (between the name and ">").
    std::string_view rawAttributes() const { return m_attributes; }
    // Text token: raw (still escaped unless it is CDATA).
    std::string_view rawText() const { return m_text; }
    bool isCData() const { return m_cdata; }
    int depth() const { return int(m_stack.size()); }
    // Byte offsets of the current token in the input.
    const char* tokenBegin() const { return m_tokenBegin; }
    const char* position() const { return m_pos; }

    // Skips to the end of the element just started (after its EndTag).
    bool skipElement();
    // Reads the character data of the element just started, up to its end
    // (text of nested elements is left out). False on malformed XML.
    bool readElementText(std::string& out);
    // The same as a view: into the input when the text needs no decoding, else
    // into `buffer`.
    bool readElementView(std::string_view& view, std::string& buffer);
    // Right after a non-empty start tag: when the element holds nothing but
    // "<child>text</child>" with plain text (the usual cell), consumes it up to
    // the element's end tag and returns the text. Otherwise consumes nothing.
    bool takeSimpleChild(std::string_view child, std::string_view* text);

    QString errorText() const { return m_error; }
    bool unsafe() const { return m_unsafe; }

    // Iterates the attributes of a raw attribute text. `visit(name, rawValue)`
    // is called for each; returns false on malformed text.
    template <typename F> static bool forEachAttribute(std::string_view raw, F&& visit);

    // Decodes character data: entity and character references, line ends.
    // False on an unknown entity or a bad reference.
    static bool decode(std::string_view raw, std::string& out, bool attribute = false);
    static QString decodeToString(std::string_view raw, bool attribute = false, bool* ok = nullptr);

    static std::string_view localPart(std::string_view qname);

private:
    Token error(const QString& text, bool unsafe = false);

    const char* m_begin;
    const char* m_end;
    const char* m_pos;
    const char* m_tokenBegin = nullptr;
    std::string_view m_name;
    std::string_view m_local;
    std::string_view m_attributes;
    std::string_view m_text;
    bool m_empty = false;
    bool m_cdata = false;
    bool m_popAfterEmpty = false;
    std::vector<std::string_view> m_stack;
    QString m_error;
    bool m_unsafe = false;
};

template <typename F> bool XmlScanner::forEachAttribute(std::string_view raw, F&& visit)
{
    size_t i = 0;
    const size_t n = raw.size();
    while (true) {
        while (i < n && (raw[i] == ' ' || raw[i] == '\t' || raw[i] == '\n' || raw[i] == '\r'))
            ++i;
        if (i >= n)
            return true;
        const size_t nameStart = i;
        while (i < n && raw[i] != '=' && raw[i] != ' ' && raw[i] != '\t' && raw[i] != '\n' && raw[i] != '\r')
            ++i;
        const std::string_view attrName = raw.substr(nameStart, i - nameStart);
        while (i < n && (raw[i] == ' ' || raw[i] == '\t' || raw[i] == '\n' || raw[i] == '\r'))
            ++i;
        if (i >= n || raw[i] != '=' || attrName.empty())
            return false;
        ++i;
        while (i < n && (raw[i] == ' ' || raw[i] == '\t' || raw[i] == '\n' || raw[i] == '\r'))
            ++i;
        if (i >= n || (raw[i] != '"' && raw[i] != '\''))
            return false;
        const char quote = raw[i++];
        const size_t valueStart = i;
        while (i < n && raw[i] != quote)
            ++i;
        if (i >= n)
            return false;
        visit(attrName, raw.substr(valueStart, i - valueStart));
        ++i;
    }
}

} // namespace Xl
