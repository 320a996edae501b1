#include "PropertyWindow.h"

#include "TimeText.h"

#include <QDialogButtonBox>
#include <QDirIterator>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QTimer>

#include <atomic>

using namespace Qt::Literals::StringLiterals;

namespace Platform {

namespace {

QString permissionText(QFileDevice::Permissions p)
{
    QString text;
    const std::pair<QFileDevice::Permission, char> bits[] = {
        {QFileDevice::ReadOwner, 'r'}, {QFileDevice::WriteOwner, 'w'}, {QFileDevice::ExeOwner, 'x'},
        {QFileDevice::ReadGroup, 'r'}, {QFileDevice::WriteGroup, 'w'}, {QFileDevice::ExeGroup, 'x'},
        {QFileDevice::ReadOther, 'r'}, {QFileDevice::WriteOther, 'w'}, {QFileDevice::ExeOther, 'x'}};
    for (const auto& [bit, letter] : bits)
        text += (p & bit) ? QChar::fromLatin1(letter) : u'-';
    return text;
}

} // namespace

struct PropertyWindow::Count
{
    std::atomic<qint64> bytes{0};
    std::atomic<int> files{0};
    std::atomic<int> folders{0};
    std::atomic<bool> finished{false};
    std::atomic<bool> cancelled{false};
};

PropertyWindow::PropertyWindow(const QString& path, QWidget* parent)
    : QDialog(parent), m_count(std::make_shared<Count>())
{
    const QFileInfo info(path);
    setWindowTitle(info.fileName().isEmpty() ? path : info.fileName() + u" 属性"_s);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* form = new QFormLayout(this);
    form->addRow(u"位置："_s, new QLabel(info.absoluteFilePath(), this));
    m_size = new QLabel(this);
    m_contents = new QLabel(this);
    form->addRow(u"大小："_s, m_size);
    form->addRow(u"包含："_s, m_contents);
    form->addRow(u"创建时间："_s, new QLabel(dateTimeText(info.birthTime()), this));
    form->addRow(u"修改时间："_s, new QLabel(dateTimeText(info.lastModified()), this));
    form->addRow(u"访问时间："_s, new QLabel(dateTimeText(info.lastRead()), this));
    form->addRow(u"权限："_s, new QLabel(permissionText(info.permissions()), this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    form->addRow(buttons);

    m_counter = std::thread([count = m_count, path] {
        QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (!count->cancelled.load(std::memory_order_relaxed) && it.hasNext()) {
            it.next();
            const QFileInfo entry = it.fileInfo();
            if (entry.isDir() && !entry.isSymLink()) {
                count->folders.fetch_add(1, std::memory_order_relaxed);
            } else {
                count->files.fetch_add(1, std::memory_order_relaxed);
                count->bytes.fetch_add(entry.size(), std::memory_order_relaxed);
            }
        }
        count->finished.store(true, std::memory_order_release);
    });
    m_refresh = new QTimer(this);
    m_refresh->setInterval(100);
    connect(m_refresh, &QTimer::timeout, this, &PropertyWindow::showCount);
    m_refresh->start();
    showCount();
}

PropertyWindow::~PropertyWindow()
{
    m_count->cancelled.store(true);
    if (m_counter.joinable())
        m_counter.join();
}

bool PropertyWindow::countFinished() const
{
    return m_count->finished.load(std::memory_order_acquire);
}

void PropertyWindow::showCount()
{
    const bool finished = countFinished();
    const qint64 bytes = m_count->bytes.load(std::memory_order_relaxed);
    const QLocale locale;
    const QString more = finished ? QString() : u"（正在统计…）"_s;
    m_size->setText(locale.formattedDataSize(bytes) + u" ("_s + locale.toString(bytes) + u" 字节)"_s + more);
    m_contents->setText(QString::number(m_count->files.load(std::memory_order_relaxed)) + u" 个文件，"_s +
                        QString::number(m_count->folders.load(std::memory_order_relaxed)) + u" 个文件夹"_s +
                        more);
    if (finished)
        m_refresh->stop();
}

} // namespace Platform
