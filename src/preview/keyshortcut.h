#pragma once

#include <Qt>
#include <QtGlobal>

// What a key pressed on the main window does to the preview, the range or the toolbar, decided from the
// key alone and the window's state so that the rules can be checked without a window.
class KeyShortcut {
public:
    enum Action { None, TogglePlay, MarkStart, MarkEnd, Seek, SeekToStart, SeekToEnd, Open, Help, Erase };

    struct State {
        bool sourceLoaded = false;
        // A run is under way: its state says so, or the progress panel is up.
        bool running = false;
        // The keyboard focus is in a field that takes typed text.
        bool focusInText = false;
    };

    Action action = None;
    // For Seek: how far, back (negative) or forward.
    int seekSeconds = 0;

    bool Acts() const { return action != None; }

    // None leaves the key to the focused control. Player and range keys need a source, no run and no
    // text field; Open and Help stand for toolbar buttons, which need no source and type nothing.
    static KeyShortcut For(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat, const State& state);

    // The position after a relative seek, kept within the source.
    static qint64 SeekTargetMs(qint64 currentMs, int seconds, qint64 durationMs);
};
