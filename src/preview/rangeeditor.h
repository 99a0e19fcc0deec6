#pragma once

#include "preview/rangemarks.h"
#include "preview/rangeview.h"

#include <QObject>
#include <QtGlobal>
#include <functional>

class QLabel;
class QLineEdit;
class TDSTrackBar;

// The main window's controls that the range marking reads and writes.
struct RangeWidgets {
    TDSTrackBar* tkbProgress = nullptr;
    QLineEdit* edtStart = nullptr;
    QLineEdit* edtEnd = nullptr;
    QLabel* labStart = nullptr;
    QLabel* labEnd = nullptr;
    QLabel* labLength = nullptr;
};

// The window side of the range marking: copies the marks, fields and labels into a RangeView, lets
// RangeMarks decide, and shows the result. It also turns leaving a time field, or Enter in it, into the
// field's exit handler. Nothing is marked before a source is loaded.
class RangeEditor : public QObject {
    Q_OBJECT
public:
    RangeEditor(const RangeWidgets& widgets, std::function<bool()> sourceLoaded,
                std::function<qint64()> durationMs, QObject* parent);

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
    // Reads the controls, lets step change them and shows the result; nothing before a load.
    void Change(const std::function<void(RangeView&)>& step);
    // How wide the start and end labels come out for a caption.
    RangeMarks::MeasureWidth LabelWidth() const;

    RangeWidgets ui;
    std::function<bool()> sourceLoaded;
    std::function<qint64()> durationMs;
};
