#pragma once

#include <QSlider>
#include <QTimer>

class MediaSeeking;

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

    // One unit of the track is one timer interval.
    static constexpr int TimerInterval = 1000;
    bool TimerRunning() const { return timer.isActive(); }
    // True while the left button is held on the track.
    bool Tracking() const { return tracking; }

    // The graph to follow; nullptr when it goes away.
    void SetSeeking(MediaSeeking* graphSeeking);
    // Play started: the timer runs, if the track is enabled.
    void PlayStarted();
    void PlayPaused();
    // The back-end moved the position by itself (a stop rewinds, the end stays at the end): one last step
    // so the thumb shows where playback now stands.
    void PlayStopped();

    // Max and Position from the graph's duration and position, then OnTimer. Skipped while the left
    // button is held or when the graph cannot answer.
    void TimerStep();
    // Moves the graph to Position's share of the stop position. Does nothing when Max is 0.
    void Seek();

signals:
    void OnTimer(qint64 currentMs, qint64 durationMs);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int selStart = 0;
    int selEnd = 0;
    MediaSeeking* seeking = nullptr;
    QTimer timer;
    bool tracking = false;
};
