#pragma once

#include "WorkbookInfo.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;
class QToolButton;
class QTreeWidget;
class QWidget;

namespace Platform {
class Dialogs;
class Shell;
} // namespace Platform

namespace Xl {

class SheetPreviewModel;

// The controls of the main window's workbook tab and their handlers: the mode
// switch in the tab's own strip, and in the workbook area beside the folder
// tree the options of both merge modes, the batch creation frame, the workbook
// information (tree or worksheet preview), the progress bar and label. Each
// handler gathers its controls into an options struct and calls one core
// function; messages go through the platform dialogs.
class WorkbookTab : public QObject
{
    Q_OBJECT

public:
    // `strip` is the tab's frame (FraSS(9)), `area` the workbook area shown in
    // place of the file list, `frasheet` its information frame, `lstNameNosee`
    // the hidden worksheet list of the window.
    WorkbookTab(QFrame* strip, QFrame* area, QGroupBox* frasheet, QListWidget* lstNameNosee,
                Platform::Dialogs* dialogs, Platform::Shell* shell, QObject* parent = nullptr);
    ~WorkbookTab() override;

    // The main window's current folder, ending with "/".
    void setCurrentFolder(const QString& folder) { m_currentFolder = folder; }

    // Window events the tab follows: a folder chosen in the tree (with whether
    // the workbook tab is shown), a tab selected, a resize.
    void folderSelected(const QString& currentFolder, bool workbookTabShown);
    void tabSelected(int index);
    void windowResized();

    // Handlers (named as the controls' events).
    void OptHB_Click(int index);
    void CmdRead_Click();
    // The options of "合并工作簿" and its run.
    void OptD_Click(int index);
    void OptSheet_Click(int index);
    void CboBook_Click();
    void CmdBook_Click();
    void CmdOpen_Click();
    void Cmdview_Click();
    void GetInfoSheet(int intCboSheet);
    void LstSheet_Click(int row);
    void SSTab2_DblClick();
    void CmdHeBin_Click();
    void CmdPath_Click();
    void CmdXTL_Click();
    void UpDsheet_Click(bool up);
    void CmdCreate_Click();
    void cmdChaKan_Click();
    // The Tools menu: "删除空白工作表", "删除所有空白工作表", "创建多个工作簿".
    void mDelBlankSheet_Click();
    void mDelAllBlankSheet_Click();
    void mCreateExl_Click();

    // The tab's state, by the names its handlers use.
    int intOptHB() const { return m_intOptHB; }
    QString strMsgTitle() const { return m_strMsgTitle; }
    int LngBth() const { return m_LngBth; }
    int intCboSheet() const { return m_intCboSheet; }
    QString strTxtName() const { return m_strTxtName; }
    const QList<int>& intSheetCount() const { return m_intSheetCount; }
    const QList<SheetInfo>& sheetInfo() const { return m_sheetInfo; }
    SheetPreviewModel* previewModel() const { return m_preview; }
    int hbOption() const { return m_hbOption; }
    int IntCboBook() const { return m_IntCboBook; }
    int intCboGoal() const { return m_intCboGoal; }
    QString strGoalFN() const { return m_strGoalFN; }
    int IntOptName() const { return m_IntOptName; }
    int IntOptBlank() const { return m_IntOptBlank; }

Q_SIGNALS:
    // The creation asks for the workbook tab to be shown.
    void showTabRequested();

protected:
    // A click in TxtName selects its whole text.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildStrip(QFrame* strip);
    void buildBookFrame(QWidget* area);
    void buildExlFrame(QWidget* area);
    void buildCreateFrame(QWidget* area);
    void buildInfo();
    void setSheetCaption(const QString& sheetName);
    void inform(const QString& text, const QString& title);
    void setLblbook(const QString& text);
    void showProgress(int maximum);
    void InitLvw(int worksheetIndex);

    Platform::Dialogs* m_dialogs;
    Platform::Shell* m_shell;
    QString m_currentFolder;

    int m_intOptHB = 0;
    QString m_strMsgTitle;
    int m_intSheet = 0;
    int m_LngBth = 2;
    int m_intCboSheet = 0;
    QString m_strTxtName;
    QString m_openedPath; // the workbook of the last CmdOpen, what CboSheet describes
    int m_previewed = 0;  // the worksheet shown in the preview
    QList<int> m_intSheetCount;
    QList<SheetInfo> m_sheetInfo;
    // "合并工作簿"
    int m_hbOption = 0;
    int m_IntCboBook = 0;
    int m_intCboGoal = 0;
    QString m_strGoalFN;
    bool m_replaceGoal = false; // the question about an existing file was answered Yes
    int m_IntOptName = 1;
    int m_IntOptBlank = 0;

public:
    // Controls, by their names.
    std::array<QRadioButton*, 2> OptHB{};
    QGroupBox* FraBook = nullptr;
    QLineEdit* TxtAdress = nullptr;
    QToolButton* CmdOpen = nullptr;
    QCheckBox* ChkBook = nullptr;
    QComboBox* CboSheet = nullptr;
    QLineEdit* TxtName = nullptr;
    QLineEdit* TxtBTH = nullptr;
    QCheckBox* ChkXX = nullptr;
    QCheckBox* ChkTitle = nullptr;
    std::array<QRadioButton*, 2> OptXX{};
    QPushButton* Cmdview = nullptr;
    QPushButton* CmdHeBin = nullptr;
    QGroupBox* FraExl = nullptr;
    QPushButton* CmdRead = nullptr;
    QGroupBox* Frame3 = nullptr;
    std::array<QRadioButton*, 2> OptSheet{};
    QGroupBox* Frame8 = nullptr;
    QComboBox* CboBook = nullptr;
    QCheckBox* ChkBT = nullptr;
    QGroupBox* Frame6 = nullptr;
    std::array<QRadioButton*, 2> OptD{};
    QFrame* Frame7 = nullptr;
    QComboBox* CboGoal = nullptr;
    QLineEdit* TxtBook = nullptr;
    QGroupBox* Frame5 = nullptr;
    std::array<QRadioButton*, 3> OptName{};
    QGroupBox* Frame4 = nullptr;
    std::array<QRadioButton*, 2> OptBlank{};
    QCheckBox* ChkFolder = nullptr;
    QPushButton* CmdBook = nullptr;
    QGroupBox* FraCreateExl = nullptr;
    QLineEdit* Txtsheet = nullptr;
    QWidget* UpDsheet = nullptr;
    QPushButton* CmdCreate = nullptr;
    QPushButton* cmdChaKan = nullptr;
    QLineEdit* TxtXLT = nullptr;
    QToolButton* CmdXTL = nullptr;
    QLineEdit* TxtPath = nullptr;
    QToolButton* CmdPath = nullptr;
    QGroupBox* Frasheet = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    QTabWidget* SSTab2 = nullptr;
    QTableView* LstSheet = nullptr; // one view in the place of LstSheet(0..20)
    QLabel* LblInfo = nullptr;
    QProgressBar* ProBar1 = nullptr;
    QLabel* Lblbook = nullptr;
    QListWidget* LstName_Nosee = nullptr;

private:
    SheetPreviewModel* m_preview = nullptr;
    QButtonGroup* m_optHBGroup = nullptr;
};

} // namespace Xl
