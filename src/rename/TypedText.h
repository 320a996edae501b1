#pragma once

#include <QString>

class QKeyEvent;

namespace Rename {

// The characters a key press types into a text box; "\b" for Backspace. Empty
// for keys that type nothing (arrows, Delete, function keys), for Enter, Escape
// and Tab, and for shortcuts with Ctrl, Alt or Meta (AltGr, which may arrive as
// Ctrl+Alt, does type).
QString typedText(const QKeyEvent& event);

} // namespace Rename
