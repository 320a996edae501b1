#pragma once

#include "CharacterTable.h"
#include "ContactRow.h"
#include "VCardReader.h"

#include "app/DesignGeometry.h"
#include "platform/AppPaths.h"

#include <QDialog>
#include <QRect>

#include <functional>

class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTreeView;

namespace Platform {
class Dialogs;
class Shell;
} // namespace Platform

namespace Contacts {

class ContactListModel;

// What the converter window is given by the main window.
struct ConverterServices
{
    Platform::Dialogs* dialogs = nullptr;
    Platform::Shell* shell = nullptr;
    Platform::AppPaths paths;
    QString currentFolder; // initial folder of the file dialogs
    // The main window's first status panel.
    std::function<QString()> statusText;
    std::function<void(const QString&)> setStatusText;
    // The tool-window area over the main window's right pane, in screen pixels.
    std::function<QRect()> toolArea;
};

// The converter window `FrmVCF` "Tarnwick——Excel与VCF格式转换": mode 0 turns a
// contact table (workbook, CSV, tab-separated text) into vCards, mode 1 a vCard
// file into a workbook, both through choose (`CmdOpen`), read (`CmdRead`) and
// generate (`CmdOK`). The handlers gather the controls' values and call the
// core; they are public so that tests drive them as clicks do.
class FrmVCF : public QDialog
{
    Q_OBJECT

public:
    // The design client area in pixels (11355 × 6945 twips).
    static constexpr int DesignWidth = 757;
    static constexpr int DesignHeight = 463;

    // `Form_Load`: shows "状态：Excel与VCF格式转换" in the status panel (the old text
    // comes back when the window closes), loads the name character table (a
    // table that cannot be read is reported; names are then encoded from their
    // own bytes) and records the design geometry.
    explicit FrmVCF(ConverterServices services, QWidget* parent = nullptr);
    ~FrmVCF() override;

    void OptXX_Click(int index);
    void CmdOpen_Click();
    void LstSheet_Click(int row);
    void CmdRead_Click();
    void CmdOK_Click();
    void Cmdview_Click();

    int mode() const { return m_mode; }
    int selectedSheet() const { return m_selectedSheet; }
    const ContactRows& rows() const;
    // The path of the last exported workbook (the window's `Tag`).
    QString Tag() const { return m_tag; }
    const CharacterTable& characterTable() const { return m_table; }

    QLineEdit* TxtFile() const { return m_TxtFile; }
    QPushButton* CmdOpen() const { return m_CmdOpen; }
    QTreeView* LvwVCF() const { return m_LvwVCF; }
    QRadioButton* OptXX(int index) const { return m_OptXX[index]; }
    QPushButton* CmdRead() const { return m_CmdRead; }
    QPushButton* CmdOK() const { return m_CmdOK; }
    QPushButton* Cmdview() const { return m_Cmdview; }
    QGroupBox* FrmSheet() const { return m_FrmSheet; }
    QListWidget* LstSheet() const { return m_LstSheet; }
    const App::DesignGeometry& designGeometry() const { return m_geometry; }

    static QString openFilter(int mode);
    static QString saveFilter(int mode);

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Form_Unload();
    void readTable(const QString& path);

    ConverterServices m_services;
    QLineEdit* m_TxtFile = nullptr;
    QPushButton* m_CmdOpen = nullptr;
    QTreeView* m_LvwVCF = nullptr;
    ContactListModel* m_model = nullptr;
    QGroupBox* m_Frame1 = nullptr;
    QRadioButton* m_OptXX[2] = {};
    QPushButton* m_CmdRead = nullptr;
    QPushButton* m_CmdOK = nullptr;
    QPushButton* m_Cmdview = nullptr;
    QGroupBox* m_FrmSheet = nullptr;
    QListWidget* m_LstSheet = nullptr;

    CharacterTable m_table; // `LstHanZi`
    VCardLines m_LstHaoma;  // the line store of the chosen vCard file
    int m_mode = 0;
    int m_selectedSheet = 1;
    QString m_tag;
    QString m_savedStatus;
    bool m_unloaded = false;
    App::DesignGeometry m_geometry;
    QSize m_reference;
    bool m_placed = false;
};

} // namespace Contacts
