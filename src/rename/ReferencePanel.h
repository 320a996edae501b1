#pragma once

#include "MethodPanel.h"

#include <array>

class QCheckBox;
class QRadioButton;

namespace Platform {
class AppPaths;
class Dialogs;
} // namespace Platform

namespace Rename {

// FraSS(6), "引用文档": names from the lines of a text document, the default one
// in the application folder or one chosen in a dialog.
class ReferencePanel : public MethodPanel
{
    Q_OBJECT

public:
    ReferencePanel(Platform::Dialogs& dialogs, const Platform::AppPaths& paths, QWidget* parent = nullptr);

    void readOptions(RenameOptions& options) const override;

    static QString defaultDocumentName();

private:
    void OptFile_Click(int index);
    void ChkFore_Click();
    void ChkBack_Click();

    Platform::Dialogs& m_dialogs;
    const Platform::AppPaths& m_paths;
    std::array<QRadioButton*, 2> OptFile;
    QCheckBox* ChkFore;
    QCheckBox* ChkBack;
    QString ReferenceDocumentPath;
};

} // namespace Rename
