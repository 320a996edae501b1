#pragma once

#include "RenameOptions.h"

#include <QObject>
#include <QPointer>

#include <array>

class QWidget;

namespace Platform {
class AppPaths;
class Dialogs;
} // namespace Platform

namespace Rename {

class AffixPanel;
class AttributePanel;
class CasePanel;
class DeletePanel;
class ExtensionPanel;
class MethodPanel;
class NumberingPanel;
class ReferencePanel;
class ReplacePanel;
class SplitPanel;

// The nine method panels FraSS(0) to FraSS(8). The main window puts panel i
// into tab i, runs tabSelected(i) when that tab has been selected and shown, and
// reads every option through options() when it computes new names. Panels that
// have not been given a parent by then are deleted with this object.
class RenamePanels : public QObject
{
    Q_OBJECT

public:
    static constexpr int count = 9;

    RenamePanels(Platform::Dialogs& dialogs, const Platform::AppPaths& paths, QObject* parent = nullptr);
    ~RenamePanels() override;

    // Panel `index`, 0 to 8; nullptr for any other index.
    MethodPanel* panel(int index) const;
    NumberingPanel* numbering() const;
    DeletePanel* deleteCharacters() const;
    AffixPanel* prefixSuffix() const;
    ReplacePanel* replace() const;
    ExtensionPanel* extension() const;
    SplitPanel* split() const;
    ReferencePanel* referenceDocument() const;
    CasePanel* letterCase() const;
    AttributePanel* attributes() const;

    // The state of every panel's controls.
    RenameOptions options() const;
    // The per-tab steps of panel `index` (focus, the pinyin settings); nothing
    // for tab 0, 5, 6, 8 or an index without a panel.
    void tabSelected(int index);

Q_SIGNALS:
    // Some panel asks for "预览新文件名" to be enabled.
    void previewEnabled();

private:
    std::array<QPointer<MethodPanel>, count> m_panels;
};

} // namespace Rename
