#include "ReplacePanel.h"

#include <QLabel>
#include <QLineEdit>

using namespace Qt::Literals::StringLiterals;

namespace Rename {

ReplacePanel::ReplacePanel(QWidget* parent) : MethodPanel(3, parent)
{
    Label1[0] = new QLabel(u"将"_s, this);
    TxtFind = new QLineEdit(this);
    Label1[1] = new QLabel(u"替换为"_s, this);
    TxtRep = new QLineEdit(this);
    // "将 … 替换为 …" reads as one sentence; alone, each box needs its own name.
    TxtFind->setAccessibleName(u"要替换的文本"_s);
    TxtRep->setAccessibleName(u"替换为"_s);
    Label1[0]->setBuddy(TxtFind);
    Label1[1]->setBuddy(TxtRep);
    Label1[2] = new QLabel(u"如果文件名中没有替换文本，将保留原文件名"_s, this);
    connect(TxtFind, &QLineEdit::textChanged, this, &MethodPanel::previewEnabled);
    connect(TxtRep, &QLineEdit::textChanged, this, &MethodPanel::previewEnabled);

    place(Label1[0], u"Label1_0"_s, 4, 16);
    place(TxtFind, u"TxtFind"_s, 20, 150);
    place(Label1[1], u"Label1_1"_s, 176, 40);
    place(TxtRep, u"TxtRep"_s, 216, 150);
    place(Label1[2], u"Label1_2"_s, 380, 250);
}

void ReplacePanel::readOptions(RenameOptions& options) const
{
    options.replace.TxtFind = TxtFind->text();
    options.replace.TxtRep = TxtRep->text();
}

void ReplacePanel::tabSelected()
{
    TxtFind->setFocus();
}

} // namespace Rename
