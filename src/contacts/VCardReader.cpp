#include "VCardReader.h"

#include "platform/GbkText.h"

#include <QFile>

#include <array>

using namespace Qt::Literals::StringLiterals;

namespace Contacts {

namespace {

bool startsWithNoCase(QByteArrayView text, QByteArrayView prefix)
{
    return text.size() >= prefix.size() &&
           text.first(prefix.size()).compare(prefix, Qt::CaseInsensitive) == 0;
}

bool equalsNoCase(QByteArrayView a, QByteArrayView b)
{
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

QByteArrayView trimSpaces(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == ' ')
        ++begin;
    while (end > begin && text[end - 1] == ' ')
        --end;
    return text.sliced(begin, end - begin);
}

// Position of the first ':' outside double quotes (parameter values may be quoted), or -1.
qsizetype valueColon(QByteArrayView line)
{
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"')
            quoted = !quoted;
        else if (c == ':' && !quoted)
            return i;
    }
    return -1;
}

// A quoted-printable value that ends in "=" continues on the next line.
bool awaitsSoftBreak(QByteArrayView line)
{
    if (!line.endsWith('='))
        return false;
    const qsizetype colon = valueColon(line);
    if (colon < 0 || colon == line.size() - 1)
        return false;
    return QByteArrayView(line.first(colon)).toByteArray().toUpper().contains("QUOTED-PRINTABLE");
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray decodeQuotedPrintable(QByteArrayView text)
{
    QByteArray out;
    out.reserve(text.size() / 3 + 1);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '=' && i + 2 < text.size()) {
            const int high = hexValue(text[i + 1]);
            const int low = hexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out += char(high * 16 + low);
                i += 2;
                continue;
            }
        }
        if (c == '=' && i == text.size() - 1)
            break; // a soft break left at the very end
        out += c;
    }
    return out;
}

QString unescapeValue(const QString& text)
{
    if (!text.contains(u'\\'))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\' && i + 1 < text.size()) {
            const QChar next = text.at(i + 1);
            if (next == u'n' || next == u'N') {
                out += u'\n';
                ++i;
                continue;
            }
            if (next == u',' || next == u';' || next == u'\\' || next == u':') {
                out += next;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

// One property line, split into its parts.
struct Property
{
    enum Type
    {
        Cell = 1,
        Home = 2,
        Work = 4,
        Fax = 8,
    };
    int types = 0; // the telephone types named
    bool hasParameters = false;
    bool quotedPrintable = false;
    QString charset;
    QByteArrayView value;
};

void addType(Property& property, QByteArrayView type)
{
    if (equalsNoCase(type, "CELL"))
        property.types |= Property::Cell;
    else if (equalsNoCase(type, "HOME"))
        property.types |= Property::Home;
    else if (equalsNoCase(type, "WORK") || equalsNoCase(type, "VOICE"))
        property.types |= Property::Work;
    else if (equalsNoCase(type, "FAX"))
        property.types |= Property::Fax;
}

QByteArrayView unquote(QByteArrayView text)
{
    text = trimSpaces(text);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.sliced(1, text.size() - 2);
    return text;
}

// Calls `f` for each piece of `text` between `separator`s outside double quotes.
template <typename F> void forEachOutsideQuotes(QByteArrayView text, char separator, F f)
{
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"')
            quoted = !quoted;
        else if (c == separator && !quoted) {
            f(text.sliced(start, i - start));
            start = i + 1;
        }
    }
    f(text.sliced(start));
}

void parseParameter(Property& property, QByteArrayView parameter)
{
    parameter = trimSpaces(parameter);
    const qsizetype equals = parameter.indexOf('=');
    if (equals < 0) {
        // vCard 2.1 names types and encodings bare.
        if (equalsNoCase(parameter, "QUOTED-PRINTABLE"))
            property.quotedPrintable = true;
        else
            addType(property, parameter);
        return;
    }
    const QByteArrayView key = trimSpaces(parameter.first(equals));
    const QByteArrayView value = unquote(parameter.sliced(equals + 1));
    if (equalsNoCase(key, "TYPE"))
        forEachOutsideQuotes(value, ',', [&](QByteArrayView type) { addType(property, unquote(type)); });
    else if (equalsNoCase(key, "ENCODING"))
        property.quotedPrintable = equalsNoCase(value, "QUOTED-PRINTABLE");
    else if (equalsNoCase(key, "CHARSET"))
        property.charset = QString::fromLatin1(value);
}

bool parseProperty(QByteArrayView line, Property& property)
{
    const qsizetype colon = valueColon(line);
    if (colon < 0)
        return false;
    property.value = line.sliced(colon + 1);
    bool first = true;
    forEachOutsideQuotes(line.first(colon), ';', [&](QByteArrayView part) {
        if (first) {
            first = false; // the name, already known
            return;
        }
        property.hasParameters = true;
        parseParameter(property, part);
    });
    return true;
}

QString decodeValue(const Property& property, TextEncoding encoding)
{
    if (property.quotedPrintable)
        return decodeCharset(decodeQuotedPrintable(property.value), property.charset);
    const QByteArray bytes = property.value.toByteArray();
    if (!property.charset.isEmpty())
        return decodeCharset(bytes, property.charset);
    return encoding == TextEncoding::Gbk ? Platform::decodeGbk(bytes) : QString::fromUtf8(bytes);
}

bool isCjk(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x2E80 && u <= 0x9FFF) || (u >= 0xAC00 && u <= 0xD7AF) || (u >= 0xF900 && u <= 0xFAFF) ||
           c.isSurrogate();
}

// Family name then given name, as Chinese names are written; a space between
// two Latin parts.
QString nameFromN(const Property& property, TextEncoding encoding)
{
    const QString decoded = decodeValue(property, encoding);
    QStringList components;
    QString current;
    for (qsizetype i = 0; i < decoded.size(); ++i) {
        const QChar c = decoded.at(i);
        if (c == u'\\' && !property.quotedPrintable && i + 1 < decoded.size()) {
            current += c;
            current += decoded.at(++i);
        } else if (c == u';') {
            components.append(current);
            current.clear();
        } else {
            current += c;
        }
    }
    components.append(current);
    const auto part = [&](int index) {
        const QString text = components.value(index).trimmed();
        return property.quotedPrintable ? text : unescapeValue(text);
    };
    const QString family = part(0);
    const QString given = part(1);
    if (family.isEmpty() || given.isEmpty())
        return family + given;
    if (!isCjk(family.back()) && !isCjk(given.front()))
        return family + u' ' + given;
    return family + given;
}

// The column a telephone line claims by its type; -1 for none.
int typedColumn(const Property& property)
{
    if (!property.hasParameters)
        return ContactRow::Tel;
    if (property.types & Property::Fax)
        return ContactRow::Fax;
    if (property.types & Property::Cell)
        return ContactRow::Cell;
    if (property.types & Property::Home)
        return ContactRow::Home;
    if (property.types & Property::Work)
        return ContactRow::voice;
    return -1;
}

QString telephoneValue(const Property& property, TextEncoding encoding)
{
    QString value = decodeValue(property, encoding);
    if (!property.quotedPrintable)
        value = unescapeValue(value);
    if (value.startsWith(u"tel:"_s, Qt::CaseInsensitive))
        value.remove(0, 4);
    return value;
}

class CardBuilder
{
public:
    explicit CardBuilder(TextEncoding encoding) : m_encoding(encoding) {}

    void clear()
    {
        m_name.clear();
        m_haveName = false;
        m_nName.clear();
        m_haveN = false;
        m_taken.fill(false);
        m_values.fill(QString());
        m_others.clear();
    }

    void add(QByteArrayView line)
    {
        // Only three properties matter; skip the rest before splitting them.
        qsizetype end = 0;
        while (end < line.size() && line[end] != ':' && line[end] != ';')
            ++end;
        QByteArrayView name = line.first(end);
        if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0)
            name = name.sliced(dot + 1);
        name = trimSpaces(name);
        const bool tel = equalsNoCase(name, "TEL");
        const bool fn = equalsNoCase(name, "FN");
        const bool n = equalsNoCase(name, "N");
        if (!tel && !fn && !n)
            return;
        Property property;
        if (!parseProperty(line, property))
            return;
        if (fn) {
            if (!m_haveName) {
                m_name = decodeValue(property, m_encoding);
                if (!property.quotedPrintable)
                    m_name = unescapeValue(m_name);
                m_name = m_name.trimmed();
                m_haveName = true;
            }
        } else if (n) {
            if (!m_haveN) {
                m_nName = nameFromN(property, m_encoding);
                m_haveN = true;
            }
        } else {
            const QString value = telephoneValue(property, m_encoding);
            const int column = typedColumn(property);
            if (column >= 0 && !m_taken[size_t(column)]) {
                m_taken[size_t(column)] = true;
                m_values[size_t(column)] = value;
            } else {
                m_others.append(value);
            }
        }
    }

    ContactRow row(int number) const
    {
        ContactRow row;
        row[ContactRow::BianHao] = QString::number(number);
        row[ContactRow::Name] = m_haveName && !m_name.isEmpty() ? m_name : m_nName;
        std::array<bool, ContactRow::ColumnCount> taken = m_taken;
        for (int column = ContactRow::Cell; column <= ContactRow::Tel; ++column)
            row[column] = m_values[size_t(column)];
        int next = ContactRow::Cell;
        for (const QString& value : m_others) {
            while (next <= ContactRow::Tel && taken[size_t(next)])
                ++next;
            if (next > ContactRow::Tel)
                break;
            row[next] = value;
            taken[size_t(next)] = true;
        }
        return row;
    }

private:
    TextEncoding m_encoding;
    QString m_name;
    bool m_haveName = false;
    QString m_nName;
    bool m_haveN = false;
    std::array<bool, ContactRow::ColumnCount> m_taken{};
    std::array<QString, ContactRow::ColumnCount> m_values{};
    QStringList m_others;
};

} // namespace

VCardLines vCardLinesOf(const QByteArray& input)
{
    VCardLines store;
    const TextEncoding encoding = detectEncoding(input);
    QByteArrayView bytes;
    if (encoding == TextEncoding::Utf16) {
        store.storage.append(decodeText(input).toUtf8());
        bytes = store.storage.constLast();
        store.encoding = TextEncoding::Utf8;
    } else {
        store.storage.append(input);
        bytes = store.storage.constLast();
        store.encoding = encoding;
        if (bytes.startsWith("\xEF\xBB\xBF"))
            bytes = bytes.sliced(3);
    }

    // The logical line being assembled: a view of the file while it is one
    // physical line, a joined copy once a continuation is added to it.
    QByteArrayView current;
    QByteArray joined;
    bool isJoined = false;
    bool haveCurrent = false;
    auto finish = [&] {
        if (haveCurrent) {
            if (isJoined) {
                store.storage.append(joined);
                current = store.storage.constLast();
            }
            const QByteArrayView trimmed = trimSpaces(current);
            if (!trimmed.isEmpty())
                store.lines.append(trimmed);
        }
        haveCurrent = false;
        isJoined = false;
    };
    auto join = [&](QByteArrayView kept, QByteArrayView continuation) {
        QByteArray next = kept.toByteArray();
        next += continuation;
        joined = std::move(next);
        isJoined = true;
        current = joined;
    };
    const char* data = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype pos = 0;
    while (pos < size) {
        qsizetype end = pos;
        while (end < size && data[end] != '\r' && data[end] != '\n')
            ++end;
        const QByteArrayView line = bytes.sliced(pos, end - pos);
        pos = end;
        if (pos < size && data[pos] == '\r')
            ++pos;
        if (pos < size && data[pos] == '\n' && (pos == end || data[pos - 1] == '\r'))
            ++pos;

        if (haveCurrent && awaitsSoftBreak(trimSpaces(current))) {
            join(trimSpaces(current).chopped(1), line);
        } else if (haveCurrent && !line.isEmpty() && (line.front() == ' ' || line.front() == '\t')) {
            join(current, line.sliced(1));
        } else {
            finish();
            if (line.isEmpty())
                continue;
            current = line;
            haveCurrent = true;
        }
    }
    finish();
    return store;
}

bool ReadVCardLines(const QString& path, VCardLines& store, QString* error)
{
    store = VCardLines();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    store = vCardLinesOf(file.readAll());
    return true;
}

ContactRows ParseVCardLines(const VCardLines& store)
{
    ContactRows rows;
    CardBuilder card(store.encoding);
    for (const QByteArrayView line : store.lines) {
        if (startsWithNoCase(line, "BEGIN") && equalsNoCase(trimSpaces(line), "BEGIN:VCARD")) {
            card.clear();
            continue;
        }
        if (startsWithNoCase(line, "END") && equalsNoCase(trimSpaces(line), "END:VCARD")) {
            rows.append(card.row(int(rows.size() + 1)));
            card.clear();
            continue;
        }
        card.add(line);
    }
    return rows;
}

bool looksLikeVCard(const QByteArray& head)
{
    QByteArrayView text = head;
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    if (text.startsWith("\xFF\xFE") || text.startsWith("\xFE\xFF"))
        return looksLikeVCard(decodeText(head).toUtf8());
    for (const QByteArray& line : text.toByteArray().split('\n')) {
        const QByteArrayView trimmed = QByteArrayView(line).trimmed();
        if (trimmed.isEmpty())
            continue;
        return startsWithNoCase(trimmed, "BEGIN:VCARD");
    }
    return false;
}

} // namespace Contacts
