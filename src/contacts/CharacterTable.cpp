#include "CharacterTable.h"

#include "platform/AppPaths.h"
#include "platform/GbkText.h"

#include <QFile>

using namespace Qt::Literals::StringLiterals;

namespace Contacts {

void appendQuotedPrintable(QByteArray& out, QByteArrayView bytes)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    for (const char c : bytes) {
        const auto byte = uchar(c);
        out += '=';
        out += digits[byte >> 4];
        out += digits[byte & 0xF];
    }
}

QString quotedPrintableOf(const QByteArray& bytes)
{
    QByteArray out;
    out.reserve(bytes.size() * 3);
    appendQuotedPrintable(out, bytes);
    return QString::fromLatin1(out);
}

QString CharacterTable::fileName()
{
    return u"HanZi.txt"_s;
}

CharacterTable CharacterTable::fromLines(const QStringList& lines)
{
    CharacterTable table;
    table.m_entries.reserve(lines.size());
    table.m_codes.reserve(lines.size());
    for (const QString& line : lines) {
        const QString entry = line.trimmed();
        table.m_entries.append(entry);
        if (line.isEmpty() || entry.isEmpty())
            continue;
        // The index is the line's last character; the code is the entry without its last character.
        const char16_t key = line.back().unicode();
        if (!table.m_codes.contains(key))
            table.m_codes.insert(key, entry.chopped(1).toUtf8());
    }
    return table;
}

bool CharacterTable::load(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *this = CharacterTable();
        if (error)
            *error = file.errorString();
        return false;
    }
    *this = fromLines(Platform::splitLines(Platform::decodeGbk(file.readAll())));
    if (error)
        error->clear();
    return true;
}

bool CharacterTable::LoadCharacterTable(const Platform::AppPaths& paths, QString* error)
{
    return load(paths.programFile(fileName()), error);
}

QString CharacterTable::CharToCode(QStringView ch) const
{
    if (ch.size() == 1) {
        const auto found = m_codes.constFind(ch.front().unicode());
        if (found != m_codes.cend())
            return QString::fromUtf8(*found);
    }
    return quotedPrintableOf(ch.toUtf8());
}

void CharacterTable::appendEncodedName(QByteArray& out, const QString& name) const
{
    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && name.at(begin) == u' ')
        ++begin;
    while (end > begin && name.at(end - 1) == u' ')
        --end;
    for (qsizetype i = begin; i < end; ++i) {
        const QChar c = name.at(i);
        if (!c.isSurrogate()) {
            const auto found = m_codes.constFind(c.unicode());
            if (found != m_codes.cend()) {
                out += *found;
                continue;
            }
        }
        const qsizetype length =
            c.isHighSurrogate() && i + 1 < end && name.at(i + 1).isLowSurrogate() ? 2 : 1;
        appendQuotedPrintable(out, QStringView(name).mid(i, length).toUtf8());
        i += length - 1;
    }
}

QString CharacterTable::EncodeName(const QString& name) const
{
    QByteArray codes;
    appendEncodedName(codes, name);
    return QString::fromLatin1(codes);
}

} // namespace Contacts
