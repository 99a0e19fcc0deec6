#include "preview/rangeeditor.h"

#include "app/timetext.h"
#include "preview/dstrackbar.h"
#include "preview/rangemarks.h"
#include "ui/mainform.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

RangeEditor::RangeEditor(TMainForm* form, std::function<qint64()> durationMs)
    : QObject(form), form(form), durationMs(std::move(durationMs)) {
    form->edtStart->installEventFilter(this);
    form->edtEnd->installEventFilter(this);
}

RangeView RangeEditor::Read() const {
    RangeView view;
    const TDSTrackBar* track = form->tkbProgress;
    view.max = track->Max();
    view.position = track->Position();
    view.trackLeft = track->x();
    view.trackWidth = track->width();
    view.selStart = track->SelStart();
    view.selEnd = track->SelEnd();
    view.startField = form->edtStart->text();
    view.endField = form->edtEnd->text();
    view.startCaption = form->labStart->text();
    view.startLeft = form->labStart->x();
    view.startTop = form->labStart->y();
    view.startWidth = form->labStart->width();
    view.startShown = !form->labStart->isHidden();
    view.endCaption = form->labEnd->text();
    view.endLeft = form->labEnd->x();
    view.endTop = form->labEnd->y();
    view.endWidth = form->labEnd->width();
    view.endShown = !form->labEnd->isHidden();
    view.lengthText = form->labLength->text();
    view.lengthShown = !form->labLength->isHidden();
    return view;
}

void RangeEditor::Write(const RangeView& view) {
    form->tkbProgress->SetSelStart(view.selStart);
    form->tkbProgress->SetSelEnd(view.selEnd);
    // Rewriting an unchanged field would only lose the cursor and the undo history.
    if (form->edtStart->text() != view.startField)
        form->edtStart->setText(view.startField);
    if (form->edtEnd->text() != view.endField)
        form->edtEnd->setText(view.endField);
    form->labStart->setText(view.startCaption);
    form->labStart->adjustSize();
    form->labStart->move(view.startLeft, view.startTop);
    form->labStart->setVisible(view.startShown);
    form->labEnd->setText(view.endCaption);
    form->labEnd->adjustSize();
    form->labEnd->move(view.endLeft, view.endTop);
    form->labEnd->setVisible(view.endShown);
    form->labLength->setText(view.lengthText);
    form->labLength->setVisible(view.lengthShown);
}

int RangeEditor::LabelWidth(const QString& caption) const {
    // Both labels share the font, so a probe sized the way the labels size themselves tells the width.
    QLabel probe(caption);
    probe.setFont(form->labStart->font());
    probe.adjustSize();
    return probe.width();
}

void RangeEditor::MarkStart() {
    if (!form->SourceLoaded)
        return;
    RangeView view = Read();
    RangeMarks::MarkStart(view, [this](const QString& caption) { return LabelWidth(caption); });
    Write(view);
}

void RangeEditor::MarkEnd() {
    if (!form->SourceLoaded)
        return;
    RangeView view = Read();
    RangeMarks::MarkEnd(view, [this](const QString& caption) { return LabelWidth(caption); });
    Write(view);
}

void RangeEditor::Erase() {
    if (!form->SourceLoaded)
        return;
    Reset();
}

void RangeEditor::Reset() {
    RangeView view = Read();
    RangeMarks::Clear(view);
    Write(view);
}

void RangeEditor::SetRangeStart(double seconds) {
    if (!form->SourceLoaded)
        return;
    RangeView view = Read();
    RangeMarks::SetStart(view, seconds, durationMs(),
                         [this](const QString& caption) { return LabelWidth(caption); });
    Write(view);
}

void RangeEditor::SetRangeEnd(double seconds) {
    if (!form->SourceLoaded)
        return;
    RangeView view = Read();
    RangeMarks::SetEnd(view, seconds, durationMs(),
                       [this](const QString& caption) { return LabelWidth(caption); });
    Write(view);
}

void RangeEditor::StartExit() {
    if (!form->SourceLoaded)
        return;
    const double seconds = TimeTextToSeconds(form->edtStart->text());
    if (seconds != -1)
        form->SetRangeStart(seconds);
}

void RangeEditor::EndExit() {
    if (!form->SourceLoaded)
        return;
    const double seconds = TimeTextToSeconds(form->edtEnd->text());
    if (seconds != -1)
        form->SetRangeEnd(seconds);
}

bool RangeEditor::eventFilter(QObject* watched, QEvent* event) {
    const bool start = watched == form->edtStart;
    const bool end = watched == form->edtEnd;
    if (!start && !end)
        return false;
    bool leaves = false;
    if (event->type() == QEvent::FocusOut) {
        // Switching to another window or opening the field's menu does not leave the field.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        leaves = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        leaves = key == Qt::Key_Return || key == Qt::Key_Enter;
    }
    if (leaves) {
        if (start)
            form->edtStartExit();
        else
            form->edtEndExit();
    }
    // Enter is not consumed: the field and the window still see it.
    return false;
}
