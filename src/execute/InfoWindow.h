#pragma once

#include <QDialog>

class QTabWidget;
class QTextBrowser;

namespace Execute {

// The information window of the Help menu, modal over the main window: the
// contact page "联系作者" (the Tarnwick project's home and issue tracker) and
// the usage instructions "使用说明".
class InfoWindow final : public QDialog
{
    Q_OBJECT

public:
    enum class Page
    {
        Contact = 0,
        Usage = 1
    };

    explicit InfoWindow(Page page, QWidget* parent = nullptr);

    // Opens the window on `page` and returns when the user closes it.
    static void showModal(Page page, QWidget* parent);

    Page currentPage() const;
    void setPage(Page page);
    QTabWidget* tabs() const { return m_tabs; }
    QTextBrowser* contactText() const { return m_contact; }
    QTextBrowser* usageText() const { return m_usage; }

private:
    QTabWidget* m_tabs;
    QTextBrowser* m_contact;
    QTextBrowser* m_usage;
};

} // namespace Execute
