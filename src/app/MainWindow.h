#pragma once

#include "DesignGeometry.h"
#include "FileListModel.h"
#include "FilterMenu.h"
#include "HiddenFileList.h"
#include "MainWindowServices.h"
#include "ToolWindowRect.h"
#include "ToolbarState.h"

#include "rename/RenameMethod.h"

#include <QMainWindow>

#include <array>

class QAction;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QStatusBar;
class QTabWidget;
class QTimer;
class QToolBar;
class QTreeView;

namespace Rename {
class RenamePanels;
}

namespace Xl {
class WorkbookTab;
}

namespace App {

class FolderTree;

// The main window `FrmNew`: toolbar, method tabs, folder tree, file list and
// status bar, in the design geometry of an 795 × 544 pixel client area.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    enum ToolbarButton
    {
        ShowName,
        execute,
        Undo,
        Usage,
        Help,
        DeleteDocs,
        ToolbarButtonCount
    };
    static constexpr int MethodCount = Rename::MethodCount;
    // The design client area in pixels (11925 × 8160 twips).
    static constexpr int DesignWidth = 795;
    static constexpr int DesignHeight = 544;

    explicit MainWindow(MainWindowServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start-up steps, in order. False when another copy runs and the program
    // should end: the folder given on the command line was handed to that copy,
    // or (no folder, or the copy did not take it) the warning was shown.
    bool startUp();

    // Selects `path` in the folder tree and lists it, as a click there would; a
    // file's folder for a file. False (nothing changes) when it is not there.
    // Start-up calls it for the folder given on the command line, and so does a
    // running copy for the folder a second launch hands it.
    bool openFolder(const QString& path);
    // A folder handed over by a second launch: opened and the window brought
    // forward. While a modal window is open (the question before a rename, a
    // file dialog) the command that opened it still works on the current
    // folder, so the folder waits until that window is closed.
    void folderHandedOver(const QString& path);

    // Folder selected in the tree (also called by the filter menu).
    void folderSelected(const QString& path);
    void filterItemClicked(int item);
    void selectTab(int index);
    void RunToolbarCommand(ToolbarButton button);
    void FileMenuCommand(int index);
    void HelpMenuCommand(int index);
    // "Excel与VCF转换": the contact converter, modal over the main window.
    void OpenContactConverter();

    // State the other parts read.
    int CurrentMethod() const { return m_currentMethod; }
    QString CurrentFolder() const { return m_currentFolder; }
    int FileCount() const { return m_fileCount; }
    const HiddenFileList& File1() const { return m_file1; }
    const QStringList& LstOld() const { return m_lstOld; }
    ToolWindowRect toolWindowRect() const { return m_toolWindowRect; }

    QAction* toolbarAction(ToolbarButton button) const { return m_toolbarActions[button]; }
    QAction* filterAction(int item) const { return m_filterActions[size_t(item - 1)]; }
    QAction* fileMenuAction(int index) const { return m_mFilebaby[size_t(index)]; }
    QAction* helpMenuAction(int index) const { return m_mHelpBaby[size_t(index)]; }
    Rename::RenamePanels* renamePanels() const { return m_renamePanels; }
    FileListModel* fileListModel() const { return m_model; }
    QString statusPanel(int panel) const;
    QFrame* methodPanel(int index) const { return m_FraSS[size_t(index)]; }
    QTabWidget* tabs() const { return m_SSTab1; }
    Xl::WorkbookTab* workbookTab() const { return m_workbookTab; }
    QWidget* clientArea() const { return m_client; }
    const DesignGeometry& designGeometry() const { return m_geometry; }
    QString applicationTitle() const;
    // The program's icon "org.tarnwick.Tarnwick" from the icon theme, else the built-in one.
    static QIcon applicationIcon();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void wireTextAndFolderTools(QMenu* tools);
    void buildToolbar();
    void buildTabs();
    void buildPanes();
    void buildStatusBar();

    void tabSelected(int index);
    void ShowMethodPanel(int index);
    void resizeHandling();
    void updateClockPanels();
    void applyHandOver();
    void applyToolbar(const ToolbarChange& change);
    void rebuildRows();
    void FillNewName(bool namesNeeded);
    void PreviewNewNames();
    void ExecuteRename();
    void UndoRename();
    void ClearUndoLogs(bool fromMenu);
    QStringList column(FileRow::Column column) const;
    QString executableName() const;

    MainWindowServices m_services;

    QWidget* m_client = nullptr;
    QToolBar* m_Toolbar1 = nullptr;
    std::array<QAction*, ToolbarButtonCount> m_toolbarActions{};
    QTabWidget* m_SSTab1 = nullptr;
    std::array<QFrame*, MethodCount> m_FraSS{};
    Rename::RenamePanels* m_renamePanels = nullptr;
    QFrame* m_Picture1 = nullptr;
    FolderTree* m_ExpTree1 = nullptr;
    QLabel* m_LblFolder = nullptr;
    QFrame* m_PicMain = nullptr;
    QTreeView* m_LstMain = nullptr;
    FileListModel* m_model = nullptr;
    QFrame* m_PicSheet = nullptr;
    QFrame* m_FraVisible = nullptr;
    QListWidget* m_LstName_Nosee = nullptr;
    Xl::WorkbookTab* m_workbookTab = nullptr;
    QStatusBar* m_sbStatusBar = nullptr;
    std::array<QLabel*, 4> m_panels{};
    QTimer* m_clockTimer = nullptr;
    QTimer* m_handOverTimer = nullptr;
    QString m_handedOver;

    std::array<QAction*, FilterMenu::ItemCount> m_filterActions{};
    std::array<QAction*, 4> m_mFilebaby{};
    std::array<QAction*, 4> m_mHelpBaby{};

    FilterMenu m_filter;
    HiddenFileList m_file1;
    QStringList m_lstOld;
    QString m_currentFolder;
    int m_fileCount = 0;
    int m_currentMethod = 9;
    QString m_helpFile;
    DesignGeometry m_geometry;
    bool m_geometryRecorded = false;
    ToolWindowRect m_toolWindowRect;
};

} // namespace App
