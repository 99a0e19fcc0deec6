#include "preview/previewkeys.h"

#include "preview/dstrackbar.h"
#include "preview/mediagraph.h"
#include "preview/rangeeditor.h"
#include "preview/sourcepreview.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <algorithm>
#include <climits>

PreviewKeys::PreviewKeys(const PreviewKeyWidgets& widgets, SourcePreview& preview,
                         std::function<bool()> running, std::function<void()> help, QObject* parent)
    : QObject(parent), ui(widgets), preview(preview), running(std::move(running)), help(std::move(help)) {
    // Keys that the focused control leaves alone travel up to the window. The track would take the
    // arrows, Home and End for its thumb, so its keys are looked at before it sees them.
    ui.window->installEventFilter(this);
    ui.tkbProgress->installEventFilter(this);
}

bool PreviewKeys::FocusInText() const {
    const QWidget* focus = ui.window->focusWidget();
    if (!focus)
        return false;
    if (const auto* combo = qobject_cast<const QComboBox*>(focus))
        return combo->isEditable();
    return focus->testAttribute(Qt::WA_InputMethodEnabled) || qobject_cast<const QLineEdit*>(focus) ||
           qobject_cast<const QAbstractSpinBox*>(focus) || qobject_cast<const QTextEdit*>(focus) ||
           qobject_cast<const QPlainTextEdit*>(focus);
}

KeyShortcut::State PreviewKeys::State() const {
    KeyShortcut::State state;
    state.sourceLoaded = preview.SourceLoaded();
    state.running = running();
    state.focusInText = FocusInText();
    return state;
}

bool PreviewKeys::Handle(const QKeyEvent& event) {
    const KeyShortcut shortcut =
        KeyShortcut::For(event.key(), event.modifiers(), event.isAutoRepeat(), State());
    switch (shortcut.action) {
    case KeyShortcut::None:
        return false;
    case KeyShortcut::TogglePlay:
        TogglePlay();
        break;
    case KeyShortcut::MarkStart:
        preview.Range()->MarkStart();
        break;
    case KeyShortcut::MarkEnd:
        preview.Range()->MarkEnd();
        break;
    case KeyShortcut::Seek:
    case KeyShortcut::SeekToStart:
    case KeyShortcut::SeekToEnd:
        SeekTo(shortcut);
        break;
    case KeyShortcut::Open:
        preview.OpenClick();
        break;
    case KeyShortcut::Help:
        help();
        break;
    case KeyShortcut::Erase:
        preview.Range()->Erase();
        break;
    }
    return true;
}

void PreviewKeys::TogglePlay() {
    const MediaGraph* graph = preview.FilterGraph();
    if (graph && graph->Playing())
        preview.Pause();
    else
        preview.Play();
}

void PreviewKeys::SeekTo(const KeyShortcut& shortcut) {
    TDSTrackBar* track = ui.tkbProgress;
    MediaGraph* graph = preview.FilterGraph();
    // While the thumb is held, its release decides where playback goes.
    if (!graph || track->Tracking())
        return;
    qint64 durationMs = 0;
    qint64 currentMs = 0;
    if (!graph->GetDuration(durationMs) || !graph->GetCurrentPosition(currentMs))
        return;
    qint64 targetMs = 0;
    if (shortcut.action == KeyShortcut::SeekToEnd)
        targetMs = durationMs;
    else if (shortcut.action == KeyShortcut::Seek)
        targetMs = KeyShortcut::SeekTargetMs(currentMs, shortcut.seekSeconds, durationMs);
    graph->SetPositions(targetMs);
    // The thumb and the position label show the new place now rather than at the track's next step,
    // which does not come at all while playback is paused.
    track->setMinimum(0);
    track->SetMax(int(std::clamp<qint64>(durationMs / TDSTrackBar::TimerInterval, 0, INT_MAX)));
    track->SetPosition(int(std::clamp<qint64>(targetMs / TDSTrackBar::TimerInterval, 0, INT_MAX)));
    preview.TrackTimer();
}

bool PreviewKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || (watched != ui.window && watched != ui.tkbProgress))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (!Handle(*key))
        return false;
    key->accept();
    return true;
}
