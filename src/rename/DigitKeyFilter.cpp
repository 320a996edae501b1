#include "DigitKeyFilter.h"

#include "TypedText.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>

namespace Rename {

namespace {

bool onlyDigits(const QString& text)
{
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

} // namespace

DigitKeyFilter::DigitKeyFilter(std::function<void()> refused, QObject* parent)
    : QObject(parent), m_refused(std::move(refused))
{
}

bool DigitKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const QString typed = typedText(*static_cast<QKeyEvent*>(event));
        if (typed.isEmpty() || typed == u"\b" || onlyDigits(typed))
            return false;
        m_refused();
        return true;
    }
    if (event->type() == QEvent::InputMethod) {
        const QString commit = static_cast<QInputMethodEvent*>(event)->commitString();
        if (commit.isEmpty() || onlyDigits(commit))
            return false;
        // Drop the composition as well, so nothing of it stays in the box.
        QInputMethodEvent cleared;
        QCoreApplication::sendEvent(watched, &cleared);
        m_refused();
        return true;
    }
    return false;
}

} // namespace Rename
