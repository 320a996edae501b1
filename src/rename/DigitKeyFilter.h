#pragma once

#include <QObject>

#include <functional>

namespace Rename {

// Lets only the digits 0 to 9 and Backspace be typed into the text boxes it is
// installed on. Any other typed character (also one from an input method) is
// discarded and `refused` runs. Keys that type nothing (arrows, Delete, Enter,
// Tab) and shortcuts (copy, paste, undo) pass; pasting is not filtered.
class DigitKeyFilter : public QObject
{
    Q_OBJECT

public:
    DigitKeyFilter(std::function<void()> refused, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_refused;
};

} // namespace Rename
