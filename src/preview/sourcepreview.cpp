#include "preview/sourcepreview.h"

#include "app/appcontext.h"
#include "app/filehelpers.h"
#include "app/numbers.h"
#include "app/timetext.h"
#include "cli/durationprobe.h"
#include "platform/errorreporter.h"
#include "platform/inifile.h"
#include "platform/platform.h"
#include "prefs/preferences.h"
#include "preview/dstrackbar.h"
#include "preview/mediagraph.h"
#include "preview/rangeeditor.h"

#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QVideoWidget>
#include <utility>

SourcePreview::SourcePreview(const PreviewWidgets& widgets, const RangeWidgets& rangeWidgets,
                             std::function<bool()> busy, std::function<void()> loaded, QObject* parent)
    : QObject(parent), ui(widgets), busy(std::move(busy)), loaded(std::move(loaded)) {
    range = new RangeEditor(
        rangeWidgets, [this] { return sourceLoaded; }, [this] { return DurationMs(); }, this);
}

SourcePreview::~SourcePreview() {
    // The player stops and lets go of the video window before the window's controls go.
    graph.reset();
}

void SourcePreview::CreateGraph() {
    graph = std::make_unique<MediaGraph>(ui.VideoWindow);
    TDSTrackBar* track = ui.tkbProgress;
    connect(graph.get(), &MediaGraph::Activated, track, &TDSTrackBar::SetSeeking);
    connect(graph.get(), &MediaGraph::Deactivated, track, [track] { track->SetSeeking(nullptr); });
    connect(graph.get(), &MediaGraph::PlayStarted, track, &TDSTrackBar::PlayStarted);
    connect(graph.get(), &MediaGraph::PlayPaused, track, &TDSTrackBar::PlayPaused);
    connect(graph.get(), &MediaGraph::PlayStopped, track, &TDSTrackBar::PlayStopped);
    connect(graph.get(), &MediaGraph::PlayEnded, track, &TDSTrackBar::PlayStopped);
}

void SourcePreview::LoadSource(const QString& path) {
    // The wait for the back-end lets events through; a source chosen meanwhile (Open, a drop) is loaded
    // once the current load is over, and only the latest such choice counts.
    pendingSource = path;
    if (loading)
        return;
    const QScopedValueRollback<bool> guard(loading, true);
    while (pendingSource) {
        const QString next = *std::exchange(pendingSource, std::nullopt);
        try {
            LoadOne(next);
        } catch (const std::exception& error) {
            // The last load's error goes to the caller; an earlier one is told before the next load.
            if (!pendingSource)
                throw;
            ReportException(error, ui.window);
        }
    }
}

void SourcePreview::LoadSourceReported(const QString& path) {
    Guarded([&] { LoadSource(path); }, ui.window);
}

void SourcePreview::LoadOne(const QString& path) {
    ui.edtSource->setText(path);
    if (!Preferences::StoredAptotic(IniFile(App().PreferencesPath())))
        ui.edtOutputDir->setText(EnsureTrailingBackslash(FolderOf(path)));
    sourceLoaded = true;
    if (!graph)
        CreateGraph();
    if (!graph->Active())
        graph->Activate();
    graph->Clear();
    graph->RenderFile(path);
    graph->Run();
    // Where the back-end tells no length (a raw MPEG video stream, a file without an index), the stream's
    // own packets tell it, as tessel-split reads it.
    streamLengthMs = graph->DurationMs() > 0 ? 0 : ProbeSourceDuration(path).durationMs;

    const qint64 duration = DurationMs();
    ui.labMiddle->setText(SecondsToTimeText(duration / 2000.0));
    ui.labRight->setText(SecondsToTimeText(duration / 1000.0));
    range->Reset();
    ui.VideoWindow->show();
    loaded();
}

void SourcePreview::OpenClick() {
    const QString name =
        Platform::FileDialogs().OpenFileName(ui.window, QStringLiteral("Open"), OpenDialogFilter);
    if (!name.isEmpty())
        LoadSourceReported(name);
}

void SourcePreview::HandleDroppedFiles(const QStringList& paths) {
    if (busy() || paths.isEmpty())
        return;
    const QString name = paths.first();
    if (!HasSupportedExtension(name, SupportedExtensions))
        return;
    if (SourceFileExists(name))
        LoadSourceReported(name);
}

void SourcePreview::Play() {
    if (sourceLoaded && graph)
        graph->Run();
}

void SourcePreview::Pause() {
    if (sourceLoaded && graph)
        graph->Pause();
}

void SourcePreview::Stop() {
    if (sourceLoaded && graph)
        graph->Stop();
}

void SourcePreview::TrackTimer() {
    ui.labCurrent->setText(SecondsToTimeText(ui.tkbProgress->Position()));
}

void SourcePreview::PreviewTimer() {
    const double seconds = DurationMs() / 1000.0;
    ui.labCurrent->setText(SecondsToTimeText(seconds));
    ui.tkbProgress->SetPosition(static_cast<int>(RoundHalfEven(seconds)));
}

qint64 SourcePreview::DurationMs() const {
    const qint64 told = graph ? graph->DurationMs() : 0;
    return told > 0 ? told : streamLengthMs;
}

double SourcePreview::FrameRate() const {
    return graph ? graph->FrameRate() : 0;
}
