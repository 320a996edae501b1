#include "DeletePanel.h"

#include "DigitKeyFilter.h"
#include "platform/Dialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

using namespace Qt::Literals::StringLiterals;

namespace Rename {

DeletePanel::DeletePanel(Platform::Dialogs& dialogs, QWidget* parent)
    : MethodPanel(1, parent), m_dialogs(dialogs)
{
    auto* filter = new DigitKeyFilter(
        [this] { m_dialogs.plain(u"请输入删除字符的个数，\r\n只能输入数字0－９！"_s); }, this);
    for (int i = 0; i < 2; ++i) {
        OptDel[i] = new QRadioButton(i == 0 ? u"删除前面字符"_s : u"删除后面字符"_s, this);
        connect(OptDel[i], &QRadioButton::clicked, this, [this, i] { OptDel_Click(i); });
        TxtNumDel[i] = new QLineEdit(this);
        TxtNumDel[i]->setToolTip(u"输入删除字符个数"_s);
        TxtNumDel[i]->setAccessibleName(OptDel[i]->text() + u"个数"_s);
        TxtNumDel[i]->installEventFilter(filter);
    }
    OptDel[0]->setChecked(true);
    TxtNumDel[1]->setEnabled(false);
    LblDel = new QLabel(u"先选择删除前面或后面字符，再在后面文本框中输入删除字符个数"_s, this);

    place(OptDel[0], u"OptDel_0"_s, 4, 100);
    place(TxtNumDel[0], u"TxtNumDel_0"_s, 104, 44);
    place(OptDel[1], u"OptDel_1"_s, 160, 100);
    place(TxtNumDel[1], u"TxtNumDel_1"_s, 260, 44);
    place(LblDel, u"LblDel"_s, 318, 360);
}

void DeletePanel::readOptions(RenameOptions& options) const
{
    RenameOptions::DeleteCharacters& o = options.deleteCharacters;
    o.OptDel = OptDel[1]->isChecked() ? 1 : 0;
    for (int i = 0; i < 2; ++i)
        o.TxtNumDel[i] = TxtNumDel[i]->text();
}

void DeletePanel::tabSelected()
{
    if (TxtNumDel[0]->isEnabled())
        TxtNumDel[0]->setFocus();
}

void DeletePanel::OptDel_Click(int index)
{
    TxtNumDel[index]->setEnabled(true);
    TxtNumDel[1 - index]->setEnabled(false);
    TxtNumDel[index]->setFocus();
    Q_EMIT previewEnabled();
}

} // namespace Rename
