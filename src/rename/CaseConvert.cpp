#include "CaseConvert.h"

#include <QChar>

namespace Rename {

namespace {

char32_t upper(char32_t c)
{
    if (c < 0x80)
        return (c >= U'a' && c <= U'z') ? c - 32 : c;
    return QChar::isLetter(c) ? QChar::toUpper(c) : c;
}

char32_t lower(char32_t c)
{
    if (c < 0x80)
        return (c >= U'A' && c <= U'Z') ? c + 32 : c;
    return QChar::isLetter(c) ? QChar::toLower(c) : c;
}

// Writes `c` at `out` and returns the position after it.
char16_t* put(char16_t* out, char32_t c)
{
    if (QChar::requiresSurrogates(c)) {
        *out++ = QChar::highSurrogate(c);
        *out++ = QChar::lowSurrogate(c);
    } else {
        *out++ = char16_t(c);
    }
    return out;
}

} // namespace

CaseMode caseModeOfOption(int optionIndex)
{
    switch (optionIndex) {
    case 0:
        return CaseMode::Upper;
    case 2:
        return CaseMode::FirstLetter;
    default:
        return CaseMode::Lower;
    }
}

bool isWordSeparator(char32_t c)
{
    return c == U' ' || c == 0 || (c >= U'\t' && c <= U'\r');
}

QString CaseConvert(QStringView text, CaseMode mode)
{
    if (mode != CaseMode::Upper && mode != CaseMode::Lower && mode != CaseMode::FirstLetter)
        return text.toString();
    // A character never needs more than two UTF-16 units, so twice the input is enough.
    QString out(text.size() * 2, Qt::Uninitialized);
    char16_t* const begin = reinterpret_cast<char16_t*>(out.data());
    char16_t* end = begin;
    bool wordStart = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(char16_t(c), text[i + 1].unicode());
            ++i;
        }
        bool toUpper = mode == CaseMode::Upper;
        if (mode == CaseMode::FirstLetter) {
            const bool separator = isWordSeparator(c);
            toUpper = wordStart && !separator;
            wordStart = separator;
        }
        end = put(end, toUpper ? upper(c) : lower(c));
    }
    out.truncate(end - begin);
    return out;
}

} // namespace Rename
