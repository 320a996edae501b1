#pragma once

#include "CaseConvert.h"

#include <QString>
#include <QStringView>

#include <array>

namespace Rename {

// One syllable (lower-case ASCII, ü written v) with the GB2312 code of the first
// level-1 character read with it.
struct PinyinEntry
{
    const char* syllable;
    int code;
};

// The 396 syllables in ascending order of code. GB2312 files its level-1
// characters (B0A1 to D7F9) by reading, so the reading of such a character is the
// syllable of the last entry whose code does not exceed the character's code.
extern const std::array<PinyinEntry, 396> PinyinTable;

// Prepares the conversion and returns the table: the first call finds the
// syllable of every level-1 character in the table (by binary search) and writes
// each syllable in the three letter cases; later calls return at once. The table
// itself is constant, and the conversions prepare it themselves when needed.
const std::array<PinyinEntry, 396>& LoadPinyinTable();

// The code of `c` in GBK: the byte value of a single-byte character, lead byte ×
// 256 + trail byte of a double-byte one. A character GBK cannot represent is
// taken as the question mark (63).
int characterCode(char32_t c);

// The piece of text for the character of code `code`:
// - 1 to 159: the character itself (the ASCII character, or € for 128; the lead
//   byte values 129 to 159, which no character has, give "?");
// - a GB2312 level-1 character (B0A1 to D7F9 with a trail byte from A1): its syllable;
// - anything else (0, symbols, full-width forms, level-2 and GBK-only characters): a space.
// The piece is then converted with CaseConvert(`mode`); with `stripSpaces`, spaces
// at both ends of it are removed, so a space piece becomes empty.
QString PinyinOfChar(int code, CaseMode mode, bool stripSpaces);

// The pieces PinyinOfChar gives for the characters of `text`, in order. A
// character outside the Basic Multilingual Plane counts as one character that GBK
// cannot represent.
QString ToPinyin(QStringView text, CaseMode mode, bool stripSpaces);

} // namespace Rename
