#include "CharacterTable.h"

#include "platform/AppPaths.h"
#include "platform/GbkText.h"

#include <QFile>

using namespace Qt::Literals::StringLiterals;

namespace Contacts {

QString quotedPrintableOf(const QByteArray& bytes)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    QString out;
    out.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto byte = uchar(c);
        out += u'=';
        out += QLatin1Char(digits[byte >> 4]);
        out += QLatin1Char(digits[byte & 0xF]);
    }
    return out;
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
            table.m_codes.insert(key, entry.chopped(1));
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
            return *found;
    }
    return quotedPrintableOf(ch.toUtf8());
}

QString CharacterTable::EncodeName(const QString& name) const
{
    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && name.at(begin) == u' ')
        ++begin;
    while (end > begin && name.at(end - 1) == u' ')
        --end;
    QString codes;
    codes.reserve((end - begin) * 9);
    for (qsizetype i = begin; i < end; ++i) {
        const qsizetype length =
            name.at(i).isHighSurrogate() && i + 1 < end && name.at(i + 1).isLowSurrogate() ? 2 : 1;
        codes += CharToCode(QStringView(name).mid(i, length));
        i += length - 1;
    }
    return codes;
}

} // namespace Contacts
