#pragma once

#include <QDialog>

class QTextBrowser;

namespace Platform {

// The program's help window: an HTML help document in a browser pane.
class HelpViewer final : public QDialog
{
    Q_OBJECT

public:
    explicit HelpViewer(QWidget* parent = nullptr);
    bool openDocument(const QString& path);
    QTextBrowser* browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};

} // namespace Platform
