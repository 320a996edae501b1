#include "TypedText.h"

#include <QKeyEvent>

namespace Rename {

QString typedText(const QKeyEvent& event)
{
    if (event.key() == Qt::Key_Backspace)
        return QStringLiteral("\b");
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    // Ctrl+Alt is how AltGr arrives on some systems, and it types characters.
    const bool altGr = (modifiers & Qt::ControlModifier) && (modifiers & Qt::AltModifier);
    if (!altGr && (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return {};
    const QString text = event.text();
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return {};
    return text;
}

} // namespace Rename
