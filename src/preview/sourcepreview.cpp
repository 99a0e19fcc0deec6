#include "preview/sourcepreview.h"

#include "app/appcontext.h"
#include "app/filehelpers.h"
#include "app/numbers.h"
#include "app/timetext.h"
#include "platform/errorreporter.h"
#include "platform/inifile.h"
#include "platform/platform.h"
#include "prefs/preferences.h"
#include "preview/dstrackbar.h"
#include "preview/mediagraph.h"
#include "preview/rangeeditor.h"
#include "split/splitrunner.h"
#include "ui/mainform.h"
#include "widgets/imagebutton.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QTimer>
#include <QToolButton>
#include <QVideoWidget>
#include <utility>

SourcePreview::SourcePreview(TMainForm* form) : form(form) {
    range = new RangeEditor(form, [this] { return DurationMs(); });

    connect(form->imgPlay, &ImageButton::clicked, form, &TMainForm::imgPlayClick);
    connect(form->imgPause, &ImageButton::clicked, form, &TMainForm::imgPauseClick);
    connect(form->imgStop, &ImageButton::clicked, form, &TMainForm::imgStopClick);
    connect(form->imgSelStart, &ImageButton::clicked, form, &TMainForm::imgSelStartClick);
    connect(form->imgSelEnd, &ImageButton::clicked, form, &TMainForm::imgSelEndClick);
    connect(form->imgErase, &ImageButton::clicked, form, &TMainForm::imgEraseClick);
    connect(form->tbtnOpen, &QToolButton::clicked, form, &TMainForm::tbtnOpenClick);
    connect(form->tkbProgress, &TDSTrackBar::OnTimer, form, &TMainForm::tkbProgressTimer);
    connect(form->tmrPreview, &QTimer::timeout, form, &TMainForm::tmrPreviewTimer);
}

SourcePreview::~SourcePreview() {
    // The player stops and lets go of the video window before the window's controls go.
    graph.reset();
}

void SourcePreview::CreateGraph() {
    graph = std::make_unique<MediaGraph>(form->VideoWindow);
    TDSTrackBar* track = form->tkbProgress;
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
            ReportException(error, form);
        }
    }
}

void SourcePreview::LoadOne(const QString& path) {
    form->edtSource->setText(path);
    if (!Preferences::StoredAptotic(IniFile(App().PreferencesPath())))
        form->edtOutputDir->setText(EnsureTrailingBackslash(FolderOf(path)));
    form->SourceLoaded = true;
    if (!graph)
        CreateGraph();
    if (!graph->Active())
        graph->Activate();
    graph->Clear();
    graph->RenderFile(path);
    graph->Run();

    const qint64 duration = graph->DurationMs();
    form->labMiddle->setText(SecondsToTimeText(duration / 2000.0));
    form->labRight->setText(SecondsToTimeText(duration / 1000.0));
    range->Reset();
    form->VideoWindow->show();
    form->Runner().SetState(RunState::Idle);
}

void SourcePreview::OpenClick() {
    const QString name =
        Platform::FileDialogs().OpenFileName(form, QStringLiteral("Open"), form->OpenDialogFilter);
    if (!name.isEmpty())
        form->LoadSource(name);
}

void SourcePreview::HandleDroppedFiles(const QStringList& paths) {
    // A run shows the progress panel; nothing may change the source then.
    if (!form->panProgress->isHidden() || paths.isEmpty())
        return;
    const QString name = paths.first();
    if (!HasSupportedExtension(name, form->SupportedExtensions))
        return;
    if (SourceFileExists(name))
        form->LoadSource(name);
}

void SourcePreview::Play() {
    if (form->SourceLoaded && graph)
        graph->Run();
}

void SourcePreview::Pause() {
    if (form->SourceLoaded && graph)
        graph->Pause();
}

void SourcePreview::Stop() {
    if (form->SourceLoaded && graph)
        graph->Stop();
}

void SourcePreview::TrackTimer() {
    form->labCurrent->setText(SecondsToTimeText(form->tkbProgress->Position()));
}

void SourcePreview::PreviewTimer() {
    const double seconds = DurationMs() / 1000.0;
    form->labCurrent->setText(SecondsToTimeText(seconds));
    form->tkbProgress->SetPosition(static_cast<int>(RoundHalfEven(seconds)));
}

qint64 SourcePreview::DurationMs() const {
    return graph ? graph->DurationMs() : 0;
}
