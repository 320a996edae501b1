#pragma once

class QApplication;

namespace App {

// Names the program and loads Qt's own texts (buttons, file dialogs, context
// menus) in Simplified Chinese, whatever the session's locale, since every text
// of the program is Chinese. No display name is set: the platform would append
// it to every window and dialog title. False when Qt's Chinese translations
// could not be found (the program then shows Qt's English texts).
bool setUpApplication(QApplication& app);

} // namespace App
