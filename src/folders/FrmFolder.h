#pragma once

#include "FolderScan.h"
#include "FolderTexts.h"
#include "FolderToolHost.h"

#include "app/DesignGeometry.h"

#include <QWidget>

#include <array>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStatusBar;

namespace Folders {

// `FrmFolder` "文件夹重命名": a window owned by the main window, not modal. It
// gathers its controls' values, calls the folder tool's core (scan, preview,
// execution) and shows the results; it holds no rule of its own.
class FrmFolder : public QWidget
{
    Q_OBJECT

public:
    // The design client size in pixels.
    static constexpr int DesignWidth = 600;
    static constexpr int DesignHeight = 440;

    explicit FrmFolder(FolderToolHost host, QWidget* owner);

    // The handlers, callable as the controls call them.
    void BrowseToolFolder();
    void OptFile_Click(int index);
    void ChkCopy_Click();
    void PreviewToolNames();
    void ExecuteToolRename();
    void CmdHelp_Click();
    // Steps of every activation: placement, list position, function text.
    void Form_Activate();

    QString ToolFolder() const { return m_toolFolder; }
    ToolMode toolMode() const { return m_toolMode; }
    qsizetype ToolItemCount() const { return m_toolItemCount; }
    const ToolLists& lists() const { return m_lists; }
    QString statusPanel(int panel) const;

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showList(QListWidget* list, const QStringList& entries);
    void setCountTooltips();
    void syncSelection(QListWidget* from);

    FolderToolHost m_host;
    QLabel* m_Label1 = nullptr;
    QLineEdit* m_TxtAdress = nullptr;
    QPushButton* m_CmdOpen = nullptr;
    QLabel* m_LblOld = nullptr;
    QListWidget* m_LstFolder = nullptr;
    QListWidget* m_LstFile = nullptr;
    QLabel* m_LblNew = nullptr;
    QListWidget* m_LstNew = nullptr;
    QGroupBox* m_Frame3 = nullptr;
    std::array<QRadioButton*, 3> m_OptFile{};
    QCheckBox* m_ChkCopy = nullptr;
    QPushButton* m_Cmdview = nullptr;
    QPushButton* m_CmdOK = nullptr;
    QPushButton* m_CmdHelp = nullptr;
    QStatusBar* m_sbStatusBar = nullptr;
    std::array<QLabel*, 2> m_panels{};

    App::DesignGeometry m_geometry;
    QString m_toolFolder;
    ToolMode m_toolMode = ToolMode::FoldersOnly;
    qsizetype m_toolItemCount = 0;
    ToolLists m_lists;
    QStringList m_lstNew;
    bool m_syncing = false;
};

} // namespace Folders
