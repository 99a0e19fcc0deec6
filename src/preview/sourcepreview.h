#pragma once

#include <QObject>
#include <QStringList>
#include <QtGlobal>
#include <functional>
#include <memory>
#include <optional>

class MediaGraph;
class QLabel;
class QLineEdit;
class QVideoWidget;
class RangeEditor;
class TDSTrackBar;
struct RangeWidgets;

// The main window's controls of the preview area, and the fields that a load fills in.
struct PreviewWidgets {
    // Owns the open dialog and the error messages.
    QWidget* window = nullptr;
    QVideoWidget* VideoWindow = nullptr;
    TDSTrackBar* tkbProgress = nullptr;
    QLabel* labMiddle = nullptr;
    QLabel* labRight = nullptr;
    QLabel* labCurrent = nullptr;
    QLineEdit* edtSource = nullptr;
    QLineEdit* edtOutputDir = nullptr;
};

// The preview area of the main window: opens the source (from the Open button, a drop or the command
// line), plays, pauses and stops it, keeps the position display current, and owns the range marking.
// The window's handlers forward here.
class SourcePreview : public QObject {
    Q_OBJECT
public:
    // busy: a run is showing its progress, and nothing may change the source. loaded: called after every
    // load that got as far as the player.
    SourcePreview(const PreviewWidgets& widgets, const RangeWidgets& rangeWidgets, std::function<bool()> busy,
                  std::function<void()> loaded, QObject* parent);
    ~SourcePreview() override;

    // The extensions that a dropped file may have, and the open dialog's filter; set at start-up.
    QStringList SupportedExtensions;
    QString OpenDialogFilter;

    // Throws AppError when the file cannot be rendered; the steps before the render have taken effect.
    // Called again while a load is under way, it loads the latest path given once that load is over.
    void LoadSource(const QString& path);
    // The same, with an error shown in the program's error box instead.
    void LoadSourceReported(const QString& path);
    void OpenClick();
    void HandleDroppedFiles(const QStringList& paths);
    void Play();
    void Pause();
    void Stop();
    void TrackTimer();
    void PreviewTimer();

    // Set by the first load, also when its render fails.
    bool SourceLoaded() const { return sourceLoaded; }
    // The loaded source's length in milliseconds; 0 when none is loaded.
    qint64 DurationMs() const;
    double FrameRate() const;
    // Created by the first load.
    MediaGraph* FilterGraph() const { return graph.get(); }
    RangeEditor* Range() const { return range; }

private:
    void CreateGraph();
    void LoadOne(const QString& path);

    PreviewWidgets ui;
    std::function<bool()> busy;
    std::function<void()> loaded;
    std::unique_ptr<MediaGraph> graph;
    RangeEditor* range = nullptr;
    bool sourceLoaded = false;
    // The source's length from its stream, where the back-end tells none.
    qint64 streamLengthMs = 0;
    bool loading = false;
    std::optional<QString> pendingSource;
};
