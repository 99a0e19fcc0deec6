#pragma once

#include <QObject>
#include <QStringList>
#include <QtGlobal>
#include <memory>
#include <optional>

class MediaGraph;
class RangeEditor;
class TMainForm;

// The preview area of the main window: opens the source (from the Open button, a drop or the command
// line), plays, pauses and stops it, keeps the position display current, and owns the range marking.
// The window's handlers forward here; this class connects the preview's controls to those handlers.
class SourcePreview : public QObject {
    Q_OBJECT
public:
    explicit SourcePreview(TMainForm* form);
    ~SourcePreview() override;

    // Throws AppError when the file cannot be rendered; the steps before the render have taken effect.
    // Called again while a load is under way, it loads the latest path given once that load is over.
    void LoadSource(const QString& path);
    void OpenClick();
    void HandleDroppedFiles(const QStringList& paths);
    void Play();
    void Pause();
    void Stop();
    void TrackTimer();
    void PreviewTimer();

    // The loaded source's length in milliseconds; 0 when none is loaded.
    qint64 DurationMs() const;
    // Created by the first load.
    MediaGraph* FilterGraph() const { return graph.get(); }
    RangeEditor* Range() const { return range; }

private:
    void CreateGraph();
    void LoadOne(const QString& path);

    TMainForm* form;
    std::unique_ptr<MediaGraph> graph;
    RangeEditor* range = nullptr;
    bool loading = false;
    std::optional<QString> pendingSource;
};
