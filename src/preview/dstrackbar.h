#pragma once

#include <QSlider>

// The position track under the preview: whole seconds from 0 to Max, the current Position, and the marked
// range SelStart..SelEnd drawn as a band. It follows the media graph on a one-second timer while the
// graph plays and seeks when the left button is released.
class TDSTrackBar : public QSlider {
    Q_OBJECT
public:
    explicit TDSTrackBar(QWidget* parent = nullptr);

    int Max() const { return maximum(); }
    void SetMax(int value) { setMaximum(value); }
    int Position() const { return value(); }
    void SetPosition(int position) { setValue(position); }
    int SelStart() const { return selStart; }
    int SelEnd() const { return selEnd; }
    void SetSelStart(int seconds);
    void SetSelEnd(int seconds);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int selStart = 0;
    int selEnd = 0;
};
