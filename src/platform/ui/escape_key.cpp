#include "platform/ui/escape_key.h"

#include <QAbstractButton>
#include <QPointer>
#include <QShortcut>

namespace ostrel {

void cancelOnEscape(QWidget* window, QAbstractButton* cancel)
{
    // A window shortcut: an open list or menu takes Esc first and just closes.
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window, [button = QPointer<QAbstractButton>(cancel)] {
        if (button && button->isEnabled())
            button->click();
    });
}

} // namespace ostrel
