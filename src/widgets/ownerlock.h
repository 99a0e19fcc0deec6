#pragma once

#include <QObject>

class QWidget;

// Keeps a dialog's owner (its parent window) disabled while the dialog is shown, and enables it again when
// the dialog is hidden by any means: its own buttons, the title bar's close box or Escape. The dialog is
// shown without being modal; other windows of the owner keep their own enabled state.
class OwnerLock : public QObject {
    Q_OBJECT
public:
    explicit OwnerLock(QWidget* dialog);

    // Disabling a window disables its child windows too; these put the other windows back as they were.
    static void DisableOwner(QWidget* owner);
    static void EnableOwner(QWidget* owner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* dialog;
};
