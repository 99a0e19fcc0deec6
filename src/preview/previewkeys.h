#pragma once

#include "preview/keyshortcut.h"

#include <QObject>
#include <QtGlobal>
#include <functional>

class QKeyEvent;
class SourcePreview;
class TDSTrackBar;

// The controls whose keys the shortcuts look at: the window, where the keys that its focused control
// leaves alone arrive, and the position track, whose own keys are looked at first.
struct PreviewKeyWidgets {
    QWidget* window = nullptr;
    TDSTrackBar* tkbProgress = nullptr;
};

// The main window's keyboard shortcuts: a key that KeyShortcut turns into an action does what the button
// it stands for does, so the keyboard and the mouse stay in step. The focused control sees a key first and
// keeps the ones it uses (a button its Space, the profile list its arrows); only the position track is
// passed over, as its own arrow keys would move the thumb without moving the playback.
class PreviewKeys : public QObject {
    Q_OBJECT
public:
    // running: a run is under way or shows its progress. help: the toolbar's Help button.
    PreviewKeys(const PreviewKeyWidgets& widgets, SourcePreview& preview, std::function<bool()> running,
                std::function<void()> help, QObject* parent);

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

    PreviewKeyWidgets ui;
    SourcePreview& preview;
    std::function<bool()> running;
    std::function<void()> help;
};
