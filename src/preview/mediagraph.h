#pragma once

#include "preview/mediaseeking.h"

#include <QObject>
#include <QString>
#include <memory>

class QAudioOutput;
class QMediaPlayer;
class QVideoWidget;

// The preview's media graph over Qt Multimedia: one player for the main window's lifetime, drawing into
// the video window. It tells its linked components (the position track) when play starts, pauses, stops
// or reaches the end of the source.
class MediaGraph : public QObject, public MediaSeeking {
    Q_OBJECT
public:
    explicit MediaGraph(QVideoWidget* videoWindow, QObject* parent = nullptr);
    ~MediaGraph() override;

    bool Active() const { return player != nullptr; }
    void Activate();
    // Stops and drops the source; the graph stays active.
    void Clear();
    // Opens the file and waits until it is ready to play. Throws AppError with the back-end's error text
    // followed by " ($code)." when it cannot be rendered.
    void RenderFile(const QString& path);
    void Run();
    void Pause();
    void Stop();

    // The source's length in whole milliseconds; 0 when nothing is rendered.
    qint64 DurationMs() const;
    // The frames a second of the source's video as the back-end reads it; 0 when it tells none (a sound
    // alone, or nothing rendered).
    double FrameRate() const;
    // The playback position in milliseconds, counted from the source's start.
    qint64 CurrentPositionMs() const;
    bool Playing() const;
    bool Paused() const;
    // A readable text for an error code of the back-end.
    QString ErrorText(int code) const;

    // How long RenderFile waits for the back-end before it gives up.
    static constexpr int RenderTimeoutMs = 60000;

    bool GetDuration(qint64& milliseconds) const override;
    bool GetCurrentPosition(qint64& milliseconds) const override;
    bool GetStopPosition(qint64& milliseconds) const override;
    void SetPositions(qint64 milliseconds) override;

    QMediaPlayer* Player() const { return player; }

signals:
    void Activated(MediaSeeking* seeking);
    void Deactivated();
    void PlayStarted();
    void PlayPaused();
    void PlayStopped();
    // The source played to its end; the back-end has stopped on its own.
    void PlayEnded();

private:
    void Deactivate();
    void CreatePlayer();
    void DestroyPlayer();
    // A render that did not reach the loaded media: a fresh player, and AppError with the reason.
    [[noreturn]] void FailRender(int errorCode, QString errorText, bool interrupted);
    void OnMediaStatus(int status);
    // A playlist posing as a video would make the back-end open the files it names: such a file, and
    // anything that is not a regular file, is refused before the back-end sees it.
    void RefuseLists(const QString& path) const;

    QVideoWidget* videoWindow = nullptr;
    QMediaPlayer* player = nullptr;
    QAudioOutput* audio = nullptr;
    bool rendered = false;
    // MPEG program streams report positions that include the stream's start time while playback runs
    // from the start (after a load, a stop, a seek to 0 or a restart at the end), and true positions after
    // a seek to a later point. The start time is read when the file has been opened.
    qint64 startOffsetMs = 0;
    bool offsetApplies = false;
};
