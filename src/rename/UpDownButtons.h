#pragma once

#include <QWidget>

class QToolButton;

namespace Rename {

// A pair of small arrow buttons stacked on each other, the up-down control
// beside a number box. The buttons are named "up" and "down"; holding one
// repeats its click.
class UpDownButtons : public QWidget
{
    Q_OBJECT

public:
    explicit UpDownButtons(QWidget* parent = nullptr);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

Q_SIGNALS:
    void upClicked();
    void downClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* m_up;
    QToolButton* m_down;
};

} // namespace Rename
