#include "HelpViewer.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace Platform {

HelpViewer::HelpViewer(QWidget* parent) : QDialog(parent), m_browser(new QTextBrowser(this))
{
    setWindowTitle(u"帮助"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    m_browser->setOpenExternalLinks(true);
    resize(760, 560);
}

bool HelpViewer::openDocument(const QString& path)
{
    if (!QFileInfo(path).isReadable())
        return false;
    m_browser->setSource(QUrl::fromLocalFile(path), QTextDocument::HtmlResource);
    return !m_browser->toPlainText().isEmpty();
}

} // namespace Platform
