#pragma once

#include "preview/keyshortcut.h"

#include <QObject>
#include <QtGlobal>

class QKeyEvent;
class TMainForm;

// The main window's keyboard shortcuts: a key that KeyShortcut turns into an action runs the handler of
// the button it stands for, so the keyboard and the mouse stay in step. The focused control sees a key
// first and keeps the ones it uses (a button its Space, the profile list its arrows); only the position
// track is passed over, as its own arrow keys would move the thumb without moving the playback.
class PreviewKeys : public QObject {
    Q_OBJECT
public:
    explicit PreviewKeys(TMainForm* form);

    // The window's state as the shortcuts see it.
    KeyShortcut::State State() const;
    // Runs the key's shortcut, if it has one now; true when it acted.
    bool Handle(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool FocusInText() const;
    void TogglePlay();
    void SeekTo(const KeyShortcut& shortcut);

    TMainForm* form;
};
