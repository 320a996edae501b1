#include "FolderTexts.h"

using namespace Qt::Literals::StringLiterals;

namespace Folders {

QString modeCaption(ToolMode mode)
{
    switch (mode) {
    case ToolMode::FolderFirst:
        return u"文件夹名+文件名"_s;
    case ToolMode::FolderLast:
        return u"文件名+文件夹名"_s;
    case ToolMode::FoldersOnly:
        break;
    }
    return u"仅重命名文件夹"_s;
}

bool methodSupported(Rename::RenameMethod method)
{
    using Rename::RenameMethod;
    return method == RenameMethod::Numbering || method == RenameMethod::PrefixSuffix ||
           method == RenameMethod::LetterCase;
}

QString windowTitle()
{
    return u"文件夹重命名"_s;
}

QString messageTitle()
{
    return u"   文件夹重命名"_s;
}

QString copyCaption()
{
    return u"复制到新文件夹"_s;
}

QString unsupportedStatus()
{
    return u"选项不支持文件夹重命名，请重新选择！"_s;
}

QString unsupportedMessage()
{
    return u"文件夹重命名只支持：\r\n    自动编号\r\n    添加前后缀\r\n    汉字转拼音 \r\n请重新选择！"_s;
}

QString noFolderMessage()
{
    return u"请选择文件夹！"_s;
}

QString noSubfoldersMessage()
{
    return u"所选文件夹内没有子文件夹！"_s;
}

QString activationFunctionText(ToolMode mode, bool copy, const QString& methodCaption,
                               Rename::RenameMethod method)
{
    QString text = modeCaption(mode);
    if (mode == ToolMode::FoldersOnly)
        text += u'+' + methodCaption;
    else if (copy)
        text += u'(' + copyCaption() + u')';
    return methodSupported(method) ? u"功能："_s + text : unsupportedStatus();
}

QString optionFunctionText(ToolMode mode, bool copy, const QString& methodCaption,
                           Rename::RenameMethod method)
{
    if (mode != ToolMode::FoldersOnly)
        return copyFunctionText(mode, copy);
    if (!methodSupported(method))
        return unsupportedStatus();
    return u"功能："_s + methodCaption + u'+' + modeCaption(mode);
}

QString copyFunctionText(ToolMode mode, bool copy)
{
    QString text = u"功能："_s + modeCaption(mode);
    if (copy)
        text += u'(' + copyCaption() + u')';
    return text;
}

QString folderCountText(qsizetype count)
{
    return u"共有 "_s + QString::number(count) + u" 个文件夹！"_s;
}

QString fileCountText(qsizetype count)
{
    return u"共有 "_s + QString::number(count) + u" 个文件！"_s;
}

QString itemCountText(qsizetype count)
{
    return u"共有 "_s + QString::number(count) + u" 个文件(夹)！"_s;
}

} // namespace Folders
