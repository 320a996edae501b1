#include "ReferencePanel.h"

#include "FillNewName.h"

#include "platform/AppPaths.h"
#include "platform/Dialogs.h"

#include <QCheckBox>
#include <QRadioButton>

using namespace Qt::Literals::StringLiterals;

namespace Rename {

ReferencePanel::ReferencePanel(Platform::Dialogs& dialogs, const Platform::AppPaths& paths, QWidget* parent)
    : MethodPanel(6, parent), m_dialogs(dialogs), m_paths(paths)
{
    for (int i = 0; i < 2; ++i) {
        OptFile[i] = new QRadioButton(i == 0 ? u"使用默认文本文档"_s : u"使用自定义文本文档"_s, this);
        connect(OptFile[i], &QRadioButton::clicked, this, [this, i] { OptFile_Click(i); });
    }
    ChkFore = new QCheckBox(u"原文件名保留在前面"_s, this);
    ChkBack = new QCheckBox(u"原文件名保留在后面"_s, this);
    connect(ChkFore, &QCheckBox::clicked, this, &ReferencePanel::ChkFore_Click);
    connect(ChkBack, &QCheckBox::clicked, this, &ReferencePanel::ChkBack_Click);

    place(OptFile[0], u"OptFile_0"_s, 4, 124);
    place(OptFile[1], u"OptFile_1"_s, 136, 136);
    place(ChkFore, u"ChkFore"_s, 290, 136);
    place(ChkBack, u"ChkBack"_s, 434, 136);
}

QString ReferencePanel::defaultDocumentName()
{
    return u"新文件名引用文档.txt"_s;
}

void ReferencePanel::readOptions(RenameOptions& options) const
{
    RenameOptions::ReferenceDocument& o = options.referenceDocument;
    o.ReferenceDocumentPath = ReferenceDocumentPath;
    o.ChkFore = ChkFore->isChecked();
    o.ChkBack = ChkBack->isChecked();
}

void ReferencePanel::OptFile_Click(int index)
{
    if (index == 0) {
        ReferenceDocumentPath = defaultReferenceDocument(m_paths);
        Q_EMIT previewEnabled();
        return;
    }
    Platform::FileDialogRequest request;
    request.title = u"选择引用文档"_s;
    request.filter = u"文本文档(*.txt)|*.txt"_s;
    request.initialFolder = m_paths.applicationFolder();
    const QString chosen = m_dialogs.openFile(request);
    if (chosen.isEmpty()) {
        // Without a document of the user's own, the default one is used.
        OptFile[0]->setChecked(true);
        OptFile_Click(0);
        return;
    }
    ReferenceDocumentPath = chosen;
    Q_EMIT previewEnabled();
}

void ReferencePanel::ChkFore_Click()
{
    if (ChkFore->isChecked())
        ChkBack->setChecked(false);
}

void ReferencePanel::ChkBack_Click()
{
    if (ChkBack->isChecked())
        ChkFore->setChecked(false);
}

} // namespace Rename
