#include "RenamePanels.h"

#include "AffixPanel.h"
#include "AttributePanel.h"
#include "CasePanel.h"
#include "DeletePanel.h"
#include "ExtensionPanel.h"
#include "NumberingPanel.h"
#include "ReferencePanel.h"
#include "ReplacePanel.h"
#include "SplitPanel.h"

namespace Rename {

RenamePanels::RenamePanels(Platform::Dialogs& dialogs, const Platform::AppPaths& paths, QObject* parent)
    : QObject(parent)
{
    m_panels = {new NumberingPanel(dialogs),
                new DeletePanel(dialogs),
                new AffixPanel(),
                new ReplacePanel(),
                new ExtensionPanel(),
                new SplitPanel(),
                new ReferencePanel(dialogs, paths),
                new CasePanel(),
                new AttributePanel()};
    for (const QPointer<MethodPanel>& p : m_panels) {
        p->orderTabsAsShown();
        connect(p, &MethodPanel::previewEnabled, this, &RenamePanels::previewEnabled);
    }
}

RenamePanels::~RenamePanels()
{
    for (const QPointer<MethodPanel>& p : m_panels)
        if (p && !p->parent())
            delete p.data();
}

MethodPanel* RenamePanels::panel(int index) const
{
    return index >= 0 && index < count ? m_panels[index].data() : nullptr;
}

NumberingPanel* RenamePanels::numbering() const
{
    return static_cast<NumberingPanel*>(panel(0));
}

DeletePanel* RenamePanels::deleteCharacters() const
{
    return static_cast<DeletePanel*>(panel(1));
}

AffixPanel* RenamePanels::prefixSuffix() const
{
    return static_cast<AffixPanel*>(panel(2));
}

ReplacePanel* RenamePanels::replace() const
{
    return static_cast<ReplacePanel*>(panel(3));
}

ExtensionPanel* RenamePanels::extension() const
{
    return static_cast<ExtensionPanel*>(panel(4));
}

SplitPanel* RenamePanels::split() const
{
    return static_cast<SplitPanel*>(panel(5));
}

ReferencePanel* RenamePanels::referenceDocument() const
{
    return static_cast<ReferencePanel*>(panel(6));
}

CasePanel* RenamePanels::letterCase() const
{
    return static_cast<CasePanel*>(panel(7));
}

AttributePanel* RenamePanels::attributes() const
{
    return static_cast<AttributePanel*>(panel(8));
}

RenameOptions RenamePanels::options() const
{
    RenameOptions options;
    for (const QPointer<MethodPanel>& p : m_panels)
        if (p)
            p->readOptions(options);
    return options;
}

void RenamePanels::tabSelected(int index)
{
    if (MethodPanel* p = panel(index))
        p->tabSelected();
}

} // namespace Rename
