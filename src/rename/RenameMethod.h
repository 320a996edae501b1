#pragma once

#include <QString>

namespace Rename {

// The rename method, the index of the method tab that selects it.
enum class RenameMethod : int
{
    Numbering = 0,         // "自动编号"
    DeleteCharacters = 1,  // "删除字符"
    PrefixSuffix = 2,      // "添加前后缀"
    Replace = 3,           // "替换字符"
    Extension = 4,         // "修改扩展名"
    Split = 5,             // "分割文件名"
    ReferenceDocument = 6, // "引用文档"
    LetterCase = 7,        // "汉字转拼音"
    Attributes = 8,        // "更改属性": names stay as listed
    Workbook = 9,          // "合并工作表": renames nothing
};

inline constexpr int MethodCount = 10;

// The caption of the method's tab, and the tooltip of its panel FraSS(i), which
// the tab strip takes over while the tab is selected. Empty outside 0 to 9.
QString methodCaption(RenameMethod method);
QString methodToolTip(RenameMethod method);

} // namespace Rename
