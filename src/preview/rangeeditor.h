#pragma once

#include "preview/rangeview.h"

#include <QObject>
#include <QtGlobal>
#include <functional>

class QLabel;
class TMainForm;

// The window side of the range marking: copies the marks, fields and labels of the main window into a
// RangeView, lets RangeMarks decide, and shows the result. It also turns leaving a time field, or Enter in
// it, into the field's exit handler.
class RangeEditor : public QObject {
    Q_OBJECT
public:
    RangeEditor(TMainForm* form, std::function<qint64()> durationMs);

    void MarkStart();
    void MarkEnd();
    void Erase();
    void SetRangeStart(double seconds);
    void SetRangeEnd(double seconds);
    void StartExit();
    void EndExit();
    // Back to the state after a load: no marks, fields at zero, labels and length line hidden.
    void Reset();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    RangeView Read() const;
    void Write(const RangeView& view);
    int LabelWidth(const QString& caption) const;

    TMainForm* form;
    std::function<qint64()> durationMs;
};
