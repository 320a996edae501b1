#pragma once

#include <QTreeView>

class QFileSystemModel;

namespace App {

// The folder tree `ExpTree1`: the file system's folders, raising
// folderSelected(path) when the user picks one with the mouse or the keyboard.
// The view's own moves of its current item (when it gains the focus, or when
// the file system changes under it) choose nothing.
class FolderTree final : public QTreeView
{
    Q_OBJECT

public:
    explicit FolderTree(QWidget* parent = nullptr);
    QFileSystemModel* folderModel() const { return m_model; }
    // Shows `path` opened in the tree without choosing it.
    void reveal(const QString& path);
    // The tooltip of the folder at a point of the viewport: its full path.
    QString toolTipAt(const QPoint& viewportPos) const;

Q_SIGNALS:
    void folderSelected(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void choose(const QModelIndex& index);

    QFileSystemModel* m_model;
    bool m_keyboardMove = false;
};

} // namespace App
