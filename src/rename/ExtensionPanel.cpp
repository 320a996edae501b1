#include "ExtensionPanel.h"

#include "TypedText.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::Literals::StringLiterals;

namespace Rename {

ExtensionPanel::ExtensionPanel(QWidget* parent) : MethodPanel(4, parent)
{
    Label2 = new QLabel(u"输入新扩展名："_s, this);
    TxtExt = new QLineEdit(this);
    Label2->setBuddy(TxtExt);
    TxtExt->installEventFilter(this);
    connect(TxtExt, &QLineEdit::textChanged, this, &ExtensionPanel::TxtExt_Change);
    Label3 = new QLabel(u"注意：以.开始"_s, this);

    place(Label2, u"Label2"_s, 4, 88);
    place(TxtExt, u"TxtExt"_s, 92, 120);
    place(Label3, u"Label3"_s, 220, 84);
}

void ExtensionPanel::readOptions(RenameOptions& options) const
{
    options.extension.TxtExt = TxtExt->text();
}

void ExtensionPanel::tabSelected()
{
    TxtExt->setFocus();
}

bool ExtensionPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == TxtExt && !TxtExt->text().startsWith(u'.')) {
        if (event->type() == QEvent::KeyPress) {
            const QString typed = typedText(*static_cast<QKeyEvent*>(event));
            if (!typed.isEmpty() && typed != u"\b") {
                TxtExt->insert(u"."_s);
                return true;
            }
        } else if (event->type() == QEvent::InputMethod) {
            const QString commit = static_cast<QInputMethodEvent*>(event)->commitString();
            if (!commit.isEmpty()) {
                QInputMethodEvent cleared;
                QCoreApplication::sendEvent(TxtExt, &cleared);
                TxtExt->insert(u"."_s + commit.mid(1));
                return true;
            }
        }
    }
    return MethodPanel::eventFilter(watched, event);
}

void ExtensionPanel::TxtExt_Change(const QString& text)
{
    if (!text.isEmpty() && !text.startsWith(u'.')) {
        TxtExt->clear(); // comes back here with the empty text
        return;
    }
    Q_EMIT previewEnabled();
}

} // namespace Rename
