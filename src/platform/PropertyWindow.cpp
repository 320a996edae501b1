#include "PropertyWindow.h"

#include "TimeText.h"

#include <QDialogButtonBox>
#include <QDirIterator>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>

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

PropertyWindow::PropertyWindow(const QString& path, QWidget* parent) : QDialog(parent)
{
    const QFileInfo info(path);
    setWindowTitle(info.fileName().isEmpty() ? path : info.fileName() + u" 属性"_s);
    setAttribute(Qt::WA_DeleteOnClose);

    qint64 bytes = 0;
    int files = 0;
    int folders = 0;
    QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo entry = it.fileInfo();
        if (entry.isDir())
            ++folders;
        else {
            ++files;
            bytes += entry.size();
        }
    }

    auto* form = new QFormLayout(this);
    const QLocale locale;
    form->addRow(u"位置："_s, new QLabel(info.absoluteFilePath(), this));
    form->addRow(
        u"大小："_s,
        new QLabel(locale.formattedDataSize(bytes) + u" ("_s + locale.toString(bytes) + u" 字节)"_s, this));
    form->addRow(u"包含："_s, new QLabel(QString::number(files) + u" 个文件，"_s + QString::number(folders) +
                                             u" 个文件夹"_s,
                                         this));
    form->addRow(u"创建时间："_s, new QLabel(dateTimeText(info.birthTime()), this));
    form->addRow(u"修改时间："_s, new QLabel(dateTimeText(info.lastModified()), this));
    form->addRow(u"访问时间："_s, new QLabel(dateTimeText(info.lastRead()), this));
    form->addRow(u"权限："_s, new QLabel(permissionText(info.permissions()), this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    form->addRow(buttons);
}

} // namespace Platform
