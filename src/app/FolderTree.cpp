#include "FolderTree.h"

#include <QFileSystemModel>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QToolTip>

using namespace Qt::Literals::StringLiterals;

namespace App {

FolderTree::FolderTree(QWidget* parent) : QTreeView(parent), m_model(new QFileSystemModel(this))
{
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setReadOnly(true);
    m_model->setRootPath(u"/"_s);
    setModel(m_model);
    setHeaderHidden(true);
    for (int column = 1; column < m_model->columnCount(); ++column)
        hideColumn(column);
    setRootIndex(m_model->index(u"/"_s));
    // Deep folders scroll sideways instead of being cut at the pane's edge.
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(this, &QTreeView::clicked, this, &FolderTree::choose);
    connect(this, &QTreeView::activated, this, &FolderTree::choose);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (m_keyboardMove)
            choose(current);
    });
}

void FolderTree::reveal(const QString& path)
{
    const QModelIndex index = m_model->index(path);
    for (QModelIndex i = index.parent(); i.isValid(); i = i.parent())
        expand(i);
    scrollTo(index);
}

QString FolderTree::toolTipAt(const QPoint& viewportPos) const
{
    const QModelIndex index = indexAt(viewportPos);
    return index.isValid() ? m_model->filePath(index) : QString();
}

bool FolderTree::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString path = toolTipAt(help->pos());
        if (path.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), path, viewport());
        return true;
    }
    return QTreeView::viewportEvent(event);
}

void FolderTree::keyPressEvent(QKeyEvent* event)
{
    m_keyboardMove = true;
    QTreeView::keyPressEvent(event);
    m_keyboardMove = false;
}

void FolderTree::choose(const QModelIndex& index)
{
    if (index.isValid())
        Q_EMIT folderSelected(m_model->filePath(index));
}

} // namespace App
