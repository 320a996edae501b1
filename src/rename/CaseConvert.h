#pragma once

#include <QString>
#include <QStringView>

namespace Rename {

// The letter-case modes of method 7, numbered as the options "字母全部转换为大写",
// "字母全部转换为小写" and "首字母转换为大写" give them (option index + 1).
enum class CaseMode : int
{
    Upper = 1,
    Lower = 2,
    FirstLetter = 3,
};

// Mode for the selected option index 0..2; any other index gives Lower, the
// option selected at start.
CaseMode caseModeOfOption(int optionIndex);

// Upper: every letter to upper case. Lower: every letter to lower case.
// FirstLetter: the first character of every word to upper case and every other
// letter to lower case; words are separated by spaces and by NUL, tab, line feed,
// vertical tab, form feed and carriage return only. Characters that are not
// letters are never changed.
QString CaseConvert(QStringView text, CaseMode mode);

// True for the characters that separate words in FirstLetter mode.
bool isWordSeparator(char32_t c);

} // namespace Rename
