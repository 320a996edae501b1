#pragma once

#include <QDialog>

#include <memory>
#include <thread>

class QLabel;
class QTimer;

namespace Platform {

// The folder's properties where no file manager shows them: path, size, item
// count, times and permissions. The size and the counts walk the whole tree,
// which takes seconds on a large folder: they are counted on a thread of their
// own and fill in as they come; closing the window stops the count.
class PropertyWindow final : public QDialog
{
    Q_OBJECT

public:
    explicit PropertyWindow(const QString& path, QWidget* parent = nullptr);
    ~PropertyWindow() override;

    // True once the whole tree has been counted.
    bool countFinished() const;

private:
    struct Count;
    void showCount();

    std::shared_ptr<Count> m_count;
    std::thread m_counter;
    QTimer* m_refresh = nullptr;
    QLabel* m_size = nullptr;
    QLabel* m_contents = nullptr;
};

} // namespace Platform
