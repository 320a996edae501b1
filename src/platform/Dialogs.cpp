#include "Dialogs.h"

namespace Platform {

void Dialogs::inform(const QString& text, const QString& title)
{
    message({text, title, MessageIcon::Information, MessageButtons::Ok, MessageAnswer::Ok});
}

void Dialogs::warn(const QString& text, const QString& title)
{
    message({text, title, MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::Ok});
}

void Dialogs::error(const QString& text, const QString& title)
{
    message({text, title, MessageIcon::Critical, MessageButtons::Ok, MessageAnswer::Ok});
}

void Dialogs::plain(const QString& text, const QString& title)
{
    message({text, title, MessageIcon::None, MessageButtons::Ok, MessageAnswer::Ok});
}

bool Dialogs::confirm(const QString& text, const QString& title)
{
    return message({text, title, MessageIcon::Information, MessageButtons::YesNo, MessageAnswer::No}) ==
           MessageAnswer::Yes;
}

} // namespace Platform
