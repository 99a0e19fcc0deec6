#include "preview/previewkeys.h"

#include "preview/dstrackbar.h"
#include "preview/mediagraph.h"
#include "preview/sourcepreview.h"
#include "split/splitrunner.h"
#include "ui/mainform.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <algorithm>
#include <climits>

PreviewKeys::PreviewKeys(TMainForm* form) : QObject(form), form(form) {
    // Keys that the focused control leaves alone travel up to the window. The track would take the
    // arrows, Home and End for its thumb, so its keys are looked at before it sees them.
    form->installEventFilter(this);
    form->tkbProgress->installEventFilter(this);
}

bool PreviewKeys::FocusInText() const {
    const QWidget* focus = form->focusWidget();
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
    state.sourceLoaded = form->SourceLoaded;
    state.running = form->Runner().State() != RunState::Idle || !form->panProgress->isHidden();
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
        form->imgSelStartClick();
        break;
    case KeyShortcut::MarkEnd:
        form->imgSelEndClick();
        break;
    case KeyShortcut::Seek:
    case KeyShortcut::SeekToStart:
    case KeyShortcut::SeekToEnd:
        SeekTo(shortcut);
        break;
    case KeyShortcut::Open:
        form->tbtnOpenClick();
        break;
    case KeyShortcut::Help:
        form->tbtnHelpClick();
        break;
    case KeyShortcut::Erase:
        form->imgEraseClick();
        break;
    }
    return true;
}

void PreviewKeys::TogglePlay() {
    const MediaGraph* graph = form->Preview()->FilterGraph();
    if (graph && graph->Playing())
        form->imgPauseClick();
    else
        form->imgPlayClick();
}

void PreviewKeys::SeekTo(const KeyShortcut& shortcut) {
    TDSTrackBar* track = form->tkbProgress;
    MediaGraph* graph = form->Preview()->FilterGraph();
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
    form->tkbProgressTimer();
}

bool PreviewKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || (watched != form && watched != form->tkbProgress))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (!Handle(*key))
        return false;
    key->accept();
    return true;
}
