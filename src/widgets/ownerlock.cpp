#include "widgets/ownerlock.h"

#include <QEvent>
#include <QWidget>

OwnerLock::OwnerLock(QWidget* dialogWindow) : QObject(dialogWindow), dialog(dialogWindow) {
    dialog->installEventFilter(this);
}

void OwnerLock::DisableOwner(QWidget* owner) {
    if (!owner)
        return;
    owner->setEnabled(false);
    // Windows owned by the disabled window stay usable unless they were disabled on their own.
    for (QObject* child : owner->children()) {
        auto* window = qobject_cast<QWidget*>(child);
        if (window && window->isWindow() && !window->testAttribute(Qt::WA_ForceDisabled))
            window->setEnabled(true);
    }
}

void OwnerLock::EnableOwner(QWidget* owner) {
    if (owner)
        owner->setEnabled(true);
}

bool OwnerLock::eventFilter(QObject* watched, QEvent* event) {
    // Spontaneous show and hide events come from minimising and restoring, not from opening or closing.
    if (watched == dialog && !event->spontaneous()) {
        if (event->type() == QEvent::Show)
            DisableOwner(dialog->parentWidget());
        else if (event->type() == QEvent::Hide)
            EnableOwner(dialog->parentWidget());
    }
    return QObject::eventFilter(watched, event);
}
