#include "FilterMenu.h"

using namespace Qt::Literals::StringLiterals;

namespace App {

namespace {

struct Item
{
    const char16_t* caption;
    const char16_t* fragment;
};

constexpr Item kItems[FilterMenu::ItemCount] = {
    {u"所有文件(*.*)", u"*.*;"},
    {u"-", u""},
    {u"Word文件(*.doc;*.docx)", u"*.doc;*.docx;"},
    {u"Excel文件(*.xls;*.xlsx)", u"*.xls;*.xlsx;"},
    {u"演示文稿(*.ppt)", u"*.ppt;"},
    {u"文本文件(*.txt)", u"*.txt;"},
    {u"-", u""},
    {u"图像文件(*.jpeg;*.jpg等)", u"*.jpeg;*.bmp;*.ico;*.cur;*.emf;*.jpg;*.gif;*.png;*.tiff;"},
    {u"音乐文件(*.mp3;*.wav等)", u"*.mp3;*.wav;*.wma;*.rm;"},
    {u"视频文件(*.mpeg;*.mpg等)", u"*.avi;*.mpg;*.mpeg;*.rm;*.dat;*.mov;*.flv;*.asf;*.rvmb;*.mkv;*.wmv;"},
};

} // namespace

QString FilterMenu::caption(int item)
{
    return QString::fromUtf16(kItems[item - 1].caption);
}

QString FilterMenu::fragment(int item)
{
    return QString::fromUtf16(kItems[item - 1].fragment);
}

bool FilterMenu::isSeparator(int item)
{
    return item == 2 || item == 7;
}

void FilterMenu::toggle(int item)
{
    if (item >= 1 && item <= ItemCount)
        m_ticks[size_t(item - 1)] = !m_ticks[size_t(item - 1)];
}

QString FilterMenu::pattern() const
{
    if (ticked(1))
        return u"*.*"_s;
    QString joined;
    for (int item = 1; item <= ItemCount; ++item) {
        if (ticked(item))
            joined += fragment(item);
    }
    if (joined.endsWith(u';'))
        joined.chop(1);
    return joined;
}

} // namespace App
