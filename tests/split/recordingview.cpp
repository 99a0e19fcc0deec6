#include "recordingview.h"

QStringList RecordingView::Events(const QString& prefix) const {
    QStringList found;
    for (const QString& event : events)
        if (event.startsWith(prefix))
            found << event.mid(prefix.size());
    return found;
}

void RecordingView::ShowMessage(const QString& text, const QString& caption, SplitMessageKind kind) {
    events << QStringLiteral("message:%1:%2").arg(static_cast<int>(kind)).arg(caption);
    messageTexts << text;
}

bool RecordingView::AskYesNo(const QString&, const QString& caption) {
    events << QStringLiteral("ask:") + caption;
    if (onAsk)
        onAsk(caption);
    return answers.isEmpty() ? true : answers.dequeue();
}

void RecordingView::MoveFocus(SplitFocus target) {
    events << QStringLiteral("focus:%1").arg(static_cast<int>(target));
}

void RecordingView::LeaveBusyState() {
    events << QStringLiteral("leave");
}

void RecordingView::ShowProgress(int current, int total) {
    events << QStringLiteral("progress:%1/%2").arg(current).arg(total);
    if (onProgress)
        onProgress();
}

void RecordingView::StartCountdown(CountdownAction action) {
    events << QStringLiteral("countdown:%1").arg(static_cast<int>(action));
}
