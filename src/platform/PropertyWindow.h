#pragma once

#include <QDialog>

namespace Platform {

// The folder's properties where no file manager shows them: path, size, item
// count, times and permissions.
class PropertyWindow final : public QDialog
{
    Q_OBJECT

public:
    explicit PropertyWindow(const QString& path, QWidget* parent = nullptr);
};

} // namespace Platform
