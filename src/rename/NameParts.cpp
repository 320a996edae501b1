#include "NameParts.h"

namespace Rename {

NameParts SplitExtension(QStringView name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return {name.toString(), QString()};
    return {name.left(dot).toString(), name.mid(dot).toString().toLower()};
}

QString trimSpaces(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.sliced(begin, end - begin).toString();
}

} // namespace Rename
