#include "RenameMethod.h"

namespace Rename {

namespace {

struct MethodTexts
{
    const char16_t* caption;
    const char16_t* toolTip;
};

constexpr MethodTexts kMethods[MethodCount] = {
    {u"自动编号", u"去除原文件名，可按设定规则为文件自动编号"},
    {u"删除字符", u"删除文件名前面或后面若干个字符"},
    {u"添加前后缀", u"为文件名添加前缀或后缀"},
    {u"替换字符", u"替换文件名中的某些字符"},
    {u"修改扩展名", u"修改文件的扩展名"},
    {u"分割文件名", u"利用分割字符分割文件名"},
    {u"引用文档", u"利用引用文档，将文件名命名为特定的文本"},
    {u"汉字转拼音", u"转换文件名中字母的大小写"},
    {u"更改属性", u"更改文件的属性"},
    {u"合并工作表", u"合并工作薄或工作表"},
};

bool known(RenameMethod method)
{
    return int(method) >= 0 && int(method) < MethodCount;
}

} // namespace

QString methodCaption(RenameMethod method)
{
    return known(method) ? QString::fromUtf16(kMethods[int(method)].caption) : QString();
}

QString methodToolTip(RenameMethod method)
{
    return known(method) ? QString::fromUtf16(kMethods[int(method)].toolTip) : QString();
}

} // namespace Rename
