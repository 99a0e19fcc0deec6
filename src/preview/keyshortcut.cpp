#include "preview/keyshortcut.h"

#include <algorithm>

namespace {

KeyShortcut Make(KeyShortcut::Action action, int seekSeconds = 0) {
    KeyShortcut shortcut;
    shortcut.action = action;
    shortcut.seekSeconds = seekSeconds;
    return shortcut;
}

} // namespace

KeyShortcut KeyShortcut::For(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat, const State& state) {
    if (state.running)
        return {};
    // Arrows and Home/End of the number block, and keyboard layouts that need AltGr for the brackets,
    // add modifiers that do not change the key's meaning.
    const Qt::KeyboardModifiers held = modifiers & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier);
    const bool plain = held == Qt::NoModifier;
    // Letters and brackets may come with Shift (caps, or layouts that shift for the bracket).
    const bool character = (held & ~Qt::ShiftModifier) == Qt::NoModifier;

    // Holding a key down repeats it: only the seeks make sense again and again.
    if (key == Qt::Key_O && held == Qt::ControlModifier)
        return autoRepeat ? KeyShortcut() : Make(Open);
    if (key == Qt::Key_F1 && plain)
        return autoRepeat ? KeyShortcut() : Make(Help);

    if (!state.sourceLoaded || state.focusInText)
        return {};
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
        if (!plain && held != Qt::ShiftModifier)
            return {};
        const int step = held == Qt::ShiftModifier ? 10 : 1;
        return Make(Seek, key == Qt::Key_Left ? -step : step);
    }
    case Qt::Key_Home:
        return plain ? Make(SeekToStart) : KeyShortcut();
    case Qt::Key_End:
        return plain ? Make(SeekToEnd) : KeyShortcut();
    default:
        break;
    }
    if (autoRepeat)
        return {};
    switch (key) {
    case Qt::Key_Space:
        return plain ? Make(TogglePlay) : KeyShortcut();
    case Qt::Key_I:
    case Qt::Key_BracketLeft:
        return character ? Make(MarkStart) : KeyShortcut();
    case Qt::Key_O:
    case Qt::Key_BracketRight:
        return character ? Make(MarkEnd) : KeyShortcut();
    case Qt::Key_Delete:
        return plain ? Make(Erase) : KeyShortcut();
    default:
        return {};
    }
}

qint64 KeyShortcut::SeekTargetMs(qint64 currentMs, int seconds, qint64 durationMs) {
    const qint64 end = std::max<qint64>(0, durationMs);
    return std::clamp<qint64>(currentMs + qint64(seconds) * 1000, 0, end);
}
