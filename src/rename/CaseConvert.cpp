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

void append(QString& out, char32_t c)
{
    if (QChar::requiresSurrogates(c)) {
        out.append(QChar(QChar::highSurrogate(c)));
        out.append(QChar(QChar::lowSurrogate(c)));
    } else {
        out.append(QChar(char16_t(c)));
    }
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
    QString out;
    out.reserve(text.size());
    bool wordStart = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(char16_t(c), text[i + 1].unicode());
            ++i;
        }
        switch (mode) {
        case CaseMode::Upper:
            append(out, upper(c));
            break;
        case CaseMode::Lower:
            append(out, lower(c));
            break;
        case CaseMode::FirstLetter:
            if (isWordSeparator(c)) {
                append(out, c);
                wordStart = true;
            } else {
                append(out, wordStart ? upper(c) : lower(c));
                wordStart = false;
            }
            break;
        }
    }
    return out;
}

} // namespace Rename
