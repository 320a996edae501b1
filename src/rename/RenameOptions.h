#pragma once

#include <QString>

#include <array>

namespace Rename {

// The option controls of the nine method panels, held exactly as the panels hold
// them: texts as typed (untrimmed), tick states and the indexes of the selected
// options. The defaults are the panels' state at start. Everything else (trimmed
// texts, numeric values, the digit pattern, limits) is derived by FillNewName, so
// a caller that fills this from plain texts gets what the panels give.
struct RenameOptions
{
    // Method 0, "自动编号".
    struct Numbering
    {
        std::array<bool, 2> ChkQH{true, false}; // use the prefix, use the suffix
        // Prefix, suffix, digit count, increment, start number.
        std::array<QString, 5> TxtQH{QStringLiteral("360430"), QStringLiteral("2011"), QStringLiteral("3"),
                                     QStringLiteral("1"), QStringLiteral("1")};
        bool ChkBF = false; // keep the old base name
        int OptBF = -1;     // -1 neither, 0 old name before the number ("前"), 1 after it ("后")
        bool operator==(const Numbering&) const = default;
    };

    // Method 1, "删除字符".
    struct DeleteCharacters
    {
        int OptDel = 0;                   // 0 from the start, 1 from the end
        std::array<QString, 2> TxtNumDel; // counts for the start and for the end
        bool operator==(const DeleteCharacters&) const = default;
    };

    // Method 2, "添加前后缀".
    struct PrefixSuffix
    {
        std::array<bool, 2> ChkTJ{true, false}; // use the prefix, use the suffix
        std::array<QString, 2> TxtFB;           // prefix text, suffix text
        bool ChkDelName = false;                // drop the old base name
        bool operator==(const PrefixSuffix&) const = default;
    };

    // Method 3, "替换字符".
    struct Replace
    {
        QString TxtFind;
        QString TxtRep;
        bool operator==(const Replace&) const = default;
    };

    // Method 4, "修改扩展名".
    struct Extension
    {
        QString TxtExt; // the new extension with its dot, used as it stands
        bool operator==(const Extension&) const = default;
    };

    // Method 5, "分割文件名".
    struct Split
    {
        // The separator in effect: the combo's text as it was when an item was
        // last picked or the combo last lost the focus.
        QString SplitSeparator;
        int SplitMode = 0;                      // 0 keep before, 1 keep after, 2 swap
        std::array<bool, 2> ChkFG{true, false}; // drop the separator, trim spaces
        bool operator==(const Split&) const = default;
    };

    // Method 6, "引用文档".
    struct ReferenceDocument
    {
        QString ReferenceDocumentPath; // empty: no document chosen, nothing is computed
        bool ChkFore = false;          // old base name before the line
        bool ChkBack = false;          // old base name after the line
        bool operator==(const ReferenceDocument&) const = default;
    };

    // Method 7, "汉字转拼音".
    struct LetterCase
    {
        int OptZH = 1;      // 0 upper case, 1 lower case, 2 first letter of each word upper
        bool ChkPY = false; // Chinese characters to pinyin first
        // Drop the spaces the pinyin conversion leaves; follows the tick of ChkKG
        // and counts only while ChkPY is ticked.
        bool PinyinStripSpaces = false;
        bool operator==(const LetterCase&) const = default;
    };

    // Method 8, "更改属性": "常规", "只读", "隐藏", "存档".
    struct Attributes
    {
        std::array<bool, 4> ChkSX{true, false, false, false};
        bool operator==(const Attributes&) const = default;
    };

    Numbering numbering;
    DeleteCharacters deleteCharacters;
    PrefixSuffix prefixSuffix;
    Replace replace;
    Extension extension;
    Split split;
    ReferenceDocument referenceDocument;
    LetterCase letterCase;
    Attributes attributes;
    bool operator==(const RenameOptions&) const = default;
};

} // namespace Rename
