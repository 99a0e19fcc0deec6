#include "preview/rangeeditor.h"

#include "app/timetext.h"
#include "preview/dstrackbar.h"
#include "preview/rangemarks.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

RangeEditor::RangeEditor(const RangeWidgets& widgets, std::function<bool()> sourceLoaded,
                         std::function<qint64()> durationMs, QObject* parent)
    : QObject(parent), ui(widgets), sourceLoaded(std::move(sourceLoaded)), durationMs(std::move(durationMs)) {
    ui.edtStart->installEventFilter(this);
    ui.edtEnd->installEventFilter(this);
}

RangeView RangeEditor::Read() const {
    RangeView view;
    const TDSTrackBar* track = ui.tkbProgress;
    view.max = track->Max();
    view.position = track->Position();
    view.trackLeft = track->x();
    view.trackWidth = track->width();
    view.selStart = track->SelStart();
    view.selEnd = track->SelEnd();
    view.startField = ui.edtStart->text();
    view.endField = ui.edtEnd->text();
    view.startCaption = ui.labStart->text();
    view.startLeft = ui.labStart->x();
    view.startTop = ui.labStart->y();
    view.startWidth = ui.labStart->width();
    view.startShown = !ui.labStart->isHidden();
    view.endCaption = ui.labEnd->text();
    view.endLeft = ui.labEnd->x();
    view.endTop = ui.labEnd->y();
    view.endWidth = ui.labEnd->width();
    view.endShown = !ui.labEnd->isHidden();
    view.lengthText = ui.labLength->text();
    view.lengthShown = !ui.labLength->isHidden();
    return view;
}

void RangeEditor::Write(const RangeView& view) {
    ui.tkbProgress->SetSelStart(view.selStart);
    ui.tkbProgress->SetSelEnd(view.selEnd);
    // Rewriting an unchanged field would only lose the cursor and the undo history.
    if (ui.edtStart->text() != view.startField)
        ui.edtStart->setText(view.startField);
    if (ui.edtEnd->text() != view.endField)
        ui.edtEnd->setText(view.endField);
    ui.labStart->setText(view.startCaption);
    ui.labStart->adjustSize();
    ui.labStart->move(view.startLeft, view.startTop);
    ui.labStart->setVisible(view.startShown);
    ui.labEnd->setText(view.endCaption);
    ui.labEnd->adjustSize();
    ui.labEnd->move(view.endLeft, view.endTop);
    ui.labEnd->setVisible(view.endShown);
    ui.labLength->setText(view.lengthText);
    ui.labLength->setVisible(view.lengthShown);
}

RangeMarks::MeasureWidth RangeEditor::LabelWidth() const {
    // Both labels share the font, so a probe sized the way the labels size themselves tells the width.
    return [this](const QString& caption) {
        QLabel probe(caption);
        probe.setFont(ui.labStart->font());
        probe.adjustSize();
        return probe.width();
    };
}

void RangeEditor::Change(const std::function<void(RangeView&)>& step) {
    if (!sourceLoaded())
        return;
    RangeView view = Read();
    step(view);
    Write(view);
}

void RangeEditor::MarkStart() {
    Change([this](RangeView& view) { RangeMarks::MarkStart(view, LabelWidth()); });
}

void RangeEditor::MarkEnd() {
    Change([this](RangeView& view) { RangeMarks::MarkEnd(view, LabelWidth()); });
}

void RangeEditor::Erase() {
    Change(&RangeMarks::Clear);
}

void RangeEditor::Reset() {
    RangeView view = Read();
    RangeMarks::Clear(view);
    Write(view);
}

void RangeEditor::SetRangeStart(double seconds) {
    Change([&](RangeView& view) { RangeMarks::SetStart(view, seconds, durationMs(), LabelWidth()); });
}

void RangeEditor::SetRangeEnd(double seconds) {
    Change([&](RangeView& view) { RangeMarks::SetEnd(view, seconds, durationMs(), LabelWidth()); });
}

void RangeEditor::StartExit() {
    const double seconds = TimeTextToSeconds(ui.edtStart->text());
    if (seconds != -1)
        SetRangeStart(seconds);
}

void RangeEditor::EndExit() {
    const double seconds = TimeTextToSeconds(ui.edtEnd->text());
    if (seconds != -1)
        SetRangeEnd(seconds);
}

bool RangeEditor::eventFilter(QObject* watched, QEvent* event) {
    const bool start = watched == ui.edtStart;
    const bool end = watched == ui.edtEnd;
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
            StartExit();
        else
            EndExit();
    }
    // Enter is not consumed: the field and the window still see it.
    return false;
}
