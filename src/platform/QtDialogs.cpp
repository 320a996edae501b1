#include "QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace Platform {

namespace {

QWidget* owner()
{
    return QApplication::activeWindow();
}

QMessageBox::StandardButton toButton(MessageAnswer answer)
{
    switch (answer) {
    case MessageAnswer::Ok:
        return QMessageBox::Ok;
    case MessageAnswer::Cancel:
        return QMessageBox::Cancel;
    case MessageAnswer::Yes:
        return QMessageBox::Yes;
    case MessageAnswer::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

} // namespace

QtDialogs::QtDialogs(QString applicationTitle) : m_title(std::move(applicationTitle)) {}

MessageAnswer QtDialogs::message(const MessageRequest& request)
{
    QMessageBox box(owner());
    box.setWindowTitle(request.title.isEmpty() ? m_title : request.title);
    box.setText(request.text);
    switch (request.icon) {
    case MessageIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MessageIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MessageIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MessageIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (request.buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    box.setDefaultButton(toButton(request.defaultAnswer));
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    default:
        return request.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
}

QString QtDialogs::qtFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(u';', u' ');
        filters.append(parts.at(i) + u" ("_s + patterns + u')');
    }
    return filters.join(u";;"_s);
}

QFileDialog* QtDialogs::fileDialog(QWidget* parent, const FileDialogRequest& request, bool save)
{
    QString start = request.initialFolder;
    if (!request.initialName.isEmpty())
        start += u'/' + request.initialName;
    QString title = request.title;
    if (title.isEmpty())
        title = save ? QFileDialog::tr("Save As") : QFileDialog::tr("Open");
    auto* dialog = new QFileDialog(parent, title, start, qtFilter(request.filter));
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    return dialog;
}

namespace {

QString runFileDialog(QFileDialog* dialog)
{
    const std::unique_ptr<QFileDialog> owned(dialog);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().constFirst();
}

} // namespace

QString QtDialogs::openFile(const FileDialogRequest& request)
{
    return runFileDialog(fileDialog(owner(), request, false));
}

QString QtDialogs::saveFile(const FileDialogRequest& request)
{
    return runFileDialog(fileDialog(owner(), request, true));
}

QString QtDialogs::chooseFolder(const QString& title, const QString& initialFolder)
{
    return QFileDialog::getExistingDirectory(owner(), title, initialFolder);
}

std::optional<QString> QtDialogs::inputText(const QString& title, const QString& prompt,
                                            const QString& initial)
{
    bool ok = false;
    const QString text = QInputDialog::getText(owner(), title.isEmpty() ? m_title : title, prompt,
                                               QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

} // namespace Platform
