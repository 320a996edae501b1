#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

namespace Platform {
class AppPaths;
}

namespace Contacts {

// The name character table "HanZi.txt": one entry per line, the character's
// UTF-8 bytes in quoted-printable form ("=E4=B8=80") followed by the character.
// It serves encoding only; names read from cards are decoded from their bytes.
class CharacterTable
{
public:
    // Builds the table from the file's lines, in file order; the first entry of
    // a character wins.
    static CharacterTable fromLines(const QStringList& lines);

    // `LoadCharacterTable`: reads "HanZi.txt" (GBK) from the program's data. On
    // failure the table stays empty, `error` says why and every character is
    // encoded from its own bytes.
    bool LoadCharacterTable(const Platform::AppPaths& paths, QString* error = nullptr);
    bool load(const QString& path, QString* error = nullptr);

    // The entries as trimmed lines (`LstHanZi`).
    const QStringList& entries() const { return m_entries; }
    qsizetype size() const { return m_entries.size(); }

    // `CharToCode`: the table's code of a character; a character the table lacks
    // gets the quoted-printable form of its real UTF-8 bytes. `ch` is one
    // character: one UTF-16 unit, or a surrogate pair.
    QString CharToCode(QStringView ch) const;
    // `EncodeName`: the codes of every character of the name, spaces at both ends
    // removed. Pure ASCII.
    QString EncodeName(const QString& name) const;
    // The same, appended to `out` as bytes.
    void appendEncodedName(QByteArray& out, const QString& name) const;

    static QString fileName(); // "HanZi.txt"

private:
    QStringList m_entries;
    QHash<char16_t, QByteArray> m_codes; // character -> its code (ASCII)
};

// Quoted-printable form of bytes, every byte as "=" and two upper-case digits.
QString quotedPrintableOf(const QByteArray& bytes);
void appendQuotedPrintable(QByteArray& out, QByteArrayView bytes);

} // namespace Contacts
