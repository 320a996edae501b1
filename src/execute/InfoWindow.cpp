#include "InfoWindow.h"

#include "MenuTools.h"

#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace Execute {

namespace {

QString contactHtml()
{
    const QString home = u"https://tarnwick.example.org"_s;
    const QString issues = u"https://tarnwick.example.org/issues"_s;
    return u"<h2>Tarnwick 项目</h2>"_s +
           u"<p>Tarnwick 是一款批量重命名文件、兼做日常办公杂务的工具，由 Tarnwick 项目开发和维护。"
           u"当前版本："_s +
           VersionText() + u"。</p>"_s + u"<p><b>项目主页：</b><a href=\""_s + home + u"\">"_s + home +
           u"</a></p>"_s + u"<p><b>问题反馈：</b><a href=\""_s + issues + u"\">"_s + issues + u"</a></p>"_s +
           u"<p>发现错误或有改进建议，请到问题反馈页面提交。请写明程序版本、所用的功能和操作步骤；"
           u"与重命名有关的问题，最好附上撤消重命名文档（在程序的 undofile 文件夹中）。</p>"_s;
}

QString usageHtml()
{
    QFile resource(u":/tarnwick/info/Usage.html"_s);
    return resource.open(QIODevice::ReadOnly) ? QString::fromUtf8(resource.readAll()) : QString();
}

QTextBrowser* textPage(const QString& objectName, const QString& html)
{
    auto* browser = new QTextBrowser;
    browser->setObjectName(objectName);
    browser->setOpenExternalLinks(true);
    browser->setHtml(html);
    return browser;
}

} // namespace

InfoWindow::InfoWindow(Page page, QWidget* parent)
    : QDialog(parent), m_tabs(new QTabWidget(this)), m_contact(textPage(u"TxtContact"_s, contactHtml())),
      m_usage(textPage(u"TxtUsage"_s, usageHtml()))
{
    setObjectName(u"FrmInfo"_s);
    setWindowTitle(u"Tarnwick"_s + VersionText());
    setModal(true);
    m_tabs->setObjectName(u"TabInfo"_s);
    m_tabs->addTab(m_contact, u"联系作者"_s);
    m_tabs->addTab(m_usage, u"使用说明"_s);

    auto* close = new QPushButton(u"关闭"_s, this);
    close->setObjectName(u"CmdClose"_s);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(buttons);
    resize(620, 480);
    setPage(page);
}

void InfoWindow::showModal(Page page, QWidget* parent)
{
    InfoWindow window(page, parent);
    window.exec();
}

InfoWindow::Page InfoWindow::currentPage() const
{
    return m_tabs->currentIndex() == 1 ? Page::Usage : Page::Contact;
}

void InfoWindow::setPage(Page page)
{
    m_tabs->setCurrentIndex(page == Page::Usage ? 1 : 0);
}

} // namespace Execute
